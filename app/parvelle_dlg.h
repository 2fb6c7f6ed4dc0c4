#pragma once
// The program's only top-level window: a frameless, skinned 800 x 600 dialog
// with its own title strip, the store front (product picture, package
// selector, mobile-number edit, action button) and three pages that slide
// over it. Its initialisation runs the start-up sequence first and closes the
// window, unseen, when that fails.
#include <windows.h>
#include <gdiplus.h>

#include <memory>
#include <vector>

#include "app/page_switcher.h"
#include "base/scoped_handle.h"
#include "app/startup_sequence.h"
#include "app/scaled_picture.h"
#include "app/startup_window.h"
#include "controls/xcommbox.h"
#include "framework/afxdialogex.h"
#include "framework/afxmsgmap.h"
#include "framework/afxedit.h"
#include "pages/page_pay1.h"
#include "pages/page_history.h"
#include "pages/page_pay2.h"
#include "skin/display_scale.h"
#include "skin/drawn_elements.h"
#include "skin/picture_cache.h"
#include "skin/element_accessible.h"
#include "skin/focus_order.h"
#include "skin/frame_cache.h"
#include "skin/skinned_window.h"
#include "resource.h"

class CparvelleDlg : public CSkinnedWnd<CDialogEx>, public StartupWindow {
public:
    explicit CparvelleDlg(CWnd* pParent = nullptr);
    ~CparvelleDlg() override;

    static constexpr UINT IDD = IDD_PARVELLE_DIALOG;
    static constexpr UINT kSelectorId = 6661;

    BOOL PreTranslateMessage(MSG* pMsg) override;

    // StartupWindow: what the start-up sequence sets.
    void SetStoreType(int value) override;
    void SetPayTypeIsFirst(bool value) override;
    void SetTitle(const std::wstring& title) override;
    void SetIcon(HICON newIcon) override;

    // The store-front state, open to the tests that drive the window.
    HICON icon = nullptr;
    DrawnElements elements;  // the title strip's and the store front's buttons
    int storeType = 1;
    SkinPicture bottomStrip;
    BYTE payTypeIsFirst = 0;
    CPagePay2 pagePay2;
    CPagePay1 pagePay1;
    CPageHistory pageHistory;
    CEdit mobileEdit;
    XCommbox selector;
    // The pages in their stacking order, top first (they are created in it).
    PageSwitcher pages{
        payTypeIsFirst,
        {{View::PayPage1, &pagePay1}, {View::History, &pageHistory}, {View::PayPage2, &pagePay2}},
        [this](bool show) { ShowStoreFrontControls(show); }};

    // The product picture at its drawn size, made at the first paint, and
    // its device pixels as the frame shows them.
    ScaledPicture productPicture;
    KeptBackdrop productBackdrop;
    // The store front as last composed; hover changes mark it.
    FrameCache frame;

    // Inputs of the start-up sequence; unset members come from the process.
    StartupInputs startupInputs;

    // The display scale the window is laid out and its artwork drawn for.
    int scaleDpi = DisplayScale::kLogicalDpi;
    // Lays the window out for `dpi` and takes its artwork: placed by
    // `suggested` when that is a sane place at that scale (PlaceAtScale).
    void ApplyScale(int dpi, const RECT* suggested);

    // The keyboard's stops in the current view, in reading order: the view's
    // own (the store front's selector, mobile number, 立即激活 and official
    // site, or those of the page that shows), then the title strip's
    // 联系客服, 我的订单, minimise and close.
    void ListFocusStops(std::vector<FocusStop>& stops) const;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg LRESULT OnHistoryNavigate(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnPaidOrderShown(WPARAM wParam, LPARAM lParam);
    afx_msg void OnDestroy();
    afx_msg LRESULT OnChangeUiState(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnSetFocusMessage(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnDpiChanged(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

    // The skinned window: the title strip's and the store front's buttons,
    // composed into `frame`.
    DrawnElements& Elements() override { return elements; }
    FrameCache* Frame() override { return &frame; }
    void Compose(OffscreenFrame& f) override;

private:
    void CreatePage(CDialogEx& page);
    // Puts the edit, the selector and the pages at their logical places for
    // the window's current display scale.
    void LayOutChildren();
    // The store front's own child windows: the mobile number edit and the
    // package selector.
    void ShowStoreFrontControls(bool show);

    // The package selector: created and filled from the current product,
    // its choice (-1: none).
    void CreateSelector();
    int SelectedPackageIndex() const;

    // What a click on element `action` (a MainElement) does.
    void ClickElement(int action);
    void CloseAnimated();
    void Activate();

    // Keys that move the focus or press the focused element: Tab and
    // Shift+Tab through the stops, the arrows within a group, Space (and
    // Enter) on a drawn element. True when the key was used.
    bool HandleFocusKeys(const MSG& msg);
    // After a change of view the keyboard starts again from the view's
    // default: the mobile number edit on the store front, else the window
    // itself, so that the next Tab reaches the new view's first stop.
    void ResetKeyboardFocus();
    // The store front's default control, the mobile number edit, while it
    // shows; null otherwise.
    HWND DefaultControl() const;
    // The store front's elements that a page over it covers.
    bool Covered(const SkinElement& element) const;

    // Screen readers: the title strip's and the store front's buttons.
    void ListAccessibleNodes(std::vector<AccessibleNode>& nodes) const override;
    void DoAccessibleAction(int action) override;

    ScopedIcon fileIcon_;  // `icon` when it came from a file; a resource icon is shared
    // The edit's font for a display scale the window moved to; none while the
    // template's font (made for the scale it started at) serves.
    CFont scaledEditFont;
};
