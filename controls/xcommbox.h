#pragma once
// XCommbox: the skinned drop-down selector. A thin body that draws only a
// chevron over its parent's background, a read-only edit showing the chosen
// text, and a pop-up XDropWnd listing the items. The body's one drawn element
// is the chevron zone, which opens and closes the list; it bears the current
// choice's text as its name, or 选择套餐 before there is one.
//
// Owner's use:
//   selector.Create(WS_CHILD | WS_VISIBLE, CRect(150, 444, 436, 469), this, 6661);
//   selector.dropWnd.AddItem(name, id);  // after Create
//   selector.SelectInitial();   // item 0, once the message loop runs
//   ... on WM_COMBO_SELECT (wParam 0) or later: selector.dropWnd.selectedIndex
#include <windows.h>
#include <gdiplus.h>

#include "controls/combo_messages.h"
#include "controls/xdropwnd.h"
#include "framework/afxedit.h"
#include "framework/afxgdi.h"
#include "framework/afxwnd.h"  // before afxmsgmap.h: windowsx.h macros
#include "framework/afxmsgmap.h"
#include "skin/drawn_elements.h"
#include "skin/element_accessible.h"
#include "skin/skinned_window.h"

class XCommbox : public CSkinnedWnd<CWnd> {
public:
    static constexpr UINT kEditId = 7001;
    static constexpr int kChevronZone = 30;  // presses at x > width - 30 open or close
    static constexpr std::uint32_t kChevronArgb = 0xFFDCDCDC;
    static constexpr const wchar_t* kNoChoiceName = L"选择套餐";
    enum BodyAction : int { kToggleList = 0 };

    XCommbox();
    ~XCommbox() override;

    // Creates the body at logical `rect` of the parent, the edit and the
    // (hidden) drop window. Non-zero on success; 0 when the body could not be
    // created (nothing else is made).
    virtual BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
    using CWnd::Create;
    // Puts the body at logical `rect` and its edit, with a font, at the body's
    // current display scale (after the scale changed).
    void LayOut(const RECT& rect);

    // The owners' initial selection: with at least one item, selects item 0
    // (selectedIndex 0, its row hovered) and posts its text to this combo,
    // which shows it and then notifies the parent. False (and nothing done)
    // with no items.
    bool SelectInitial();

    // While the body (or its edit) has the keyboard focus: Alt+Down, Alt+Up
    // and F4 open and close the list; in the open list the arrows move the
    // mark, Enter chooses it and Escape closes the list without choosing; in
    // the closed one the arrows choose the item above or below at once.
    BOOL PreTranslateMessage(MSG* pMsg) override;

    XDropWnd dropWnd;
    CFont font;        // the edit's, in device pixels
    LOGFONTW lfont{};  // logical: 18 pixels high at 96 DPI
    CEdit edit;
    CBrush nullBrush;
    int width = 0;  // logical
    int height = 0;
    DrawnElements elements;  // the chevron zone, from Create on
    COLORREF textColor = RGB(0, 0, 0);
    COLORREF backColor = RGB(255, 255, 255);

protected:
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg LRESULT OnComboSelect(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnDestroyBody(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnFocusChange(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnUpdateUiState(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnAccessibleAction(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnShowBody(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

    // The skinned window: the chevron zone, composed at every paint over the
    // parent's background; the body keeps a system control's focus rules.
    DrawnElements& Elements() override { return elements; }
    bool TakesElementFocus() const override { return false; }
    void Compose(OffscreenFrame& frame) override;

private:
    // Screen readers: a combo box whose value is the choice shown, with the
    // button that opens the list.
    LONG AccessibleRole() const override { return ROLE_SYSTEM_COMBOBOX; }
    bool AccessibleValue(std::wstring& value) const override;
    void ListAccessibleNodes(std::vector<AccessibleNode>& nodes) const override;
    void DoAccessibleAction(int action) override;

    void ToggleDrop();
    void CloseDrop();
    bool DropShown() const;
    void DiscardPendingChoices();
};

// The body's own drawing on `graphics`, which draws logical units at the
// window's scale, over a client area of logical `client`: the chevron
// (pointing up while the list is `open`) and, with `focusRing`, the
// keyboard's ring just inside the body.
void DrawComboBody(Gdiplus::Graphics& graphics, const DisplayScale& scale, const RECT& client,
                   bool open, bool focusRing);

// 0x00BBGGRR -> opaque 0xFFRRGGBB.
constexpr std::uint32_t ArgbFromColorref(COLORREF c) {
    return 0xFF000000u | (static_cast<std::uint32_t>(GetRValue(c)) << 16) |
           (static_cast<std::uint32_t>(GetGValue(c)) << 8) | GetBValue(c);
}
