#pragma once
// The order history page (template 132): the machine's orders, twelve per
// page, in a table with a View details button per row, a pager below it and
// Back. It sends the main window WM_HISTORY_NAVIGATE to leave: lParam 0 for
// Back, or a copy of the catalogue package of the order to open, in the
// order's state.
#include <windows.h>
#include <gdiplus.h>

#include <memory>
#include <vector>

#include "controls/xlisthistory.h"
#include "framework/afxdialogex.h"
#include "framework/afxmsgmap.h"
#include "pages/history_pager.h"
#include "pages/switched_page.h"
#include "skin/drawn_elements.h"
#include "skin/picture_cache.h"
#include "skin/element_accessible.h"
#include "skin/focus_order.h"
#include "skin/frame_cache.h"
#include "skin/skin_element.h"
#include "skin/skinned_window.h"
#include "store/history_order.h"
#include "resource.h"

class CPageHistory : public CSwitchedDialogPage {
public:
    CPageHistory() noexcept : CSwitchedDialogPage(kTemplateId) {}
    ~CPageHistory() override;

    static constexpr UINT kTemplateId = IDD_PAGE_EMPTY;
    static constexpr UINT kListId = 2650;

    BOOL PreTranslateMessage(MSG* pMsg) override;
    BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr) override;
    using CDialogEx::Create;

    // Requests page `page` of the order history and refills the table, the
    // pager and the total (synchronous; the table is emptied even when the
    // request fails, the pager and total keep their last values).
    void FetchOrderPage(int page);

    // The keyboard's stops, in reading order: Back, each row's View details,
    // the pager cells (one stop, the arrows move among them), the official
    // site.
    void AppendFocusStops(std::vector<FocusStop>& stops) const override;

    // The window moved to a display of `dpi`: the table at its logical place
    // again, the pictures in the variant for that scale, everything repainted.
    void ScaleChanged(UINT dpi) override;

    // SwitchedPage: opens with its first page fetched, leaves sliding out to
    // the right.
    void OpenWith(int view, const PackageRecord* record) override;
    void Leave() override;

    // Back, the official site and the pager cells (none until the first
    // successful fetch).
    DrawnElements elements;
    // From the first successful fetch on the total line shows, also when no
    // pager cell reaches into the page.
    bool pagerBuilt = false;
    SkinPicture arrowPicture;
    BYTE pressed = 0;
    int totalOrders = 0;
    XListHistory list;
    // The page (Back, the site tab, the pager and the total line) as last
    // composed; a fetched page marks it.
    FrameCache frame;

    // The orders of the rows shown; each row's first cell points to its own.
    std::vector<std::unique_ptr<HistoryOrder>> orders;

protected:
    BOOL OnInitDialog() override;

    afx_msg void OnMouseLeave();
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg LRESULT OnHistoryRowOpen(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnWindowPosChanged(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

    // The skinned window: Back, the official site and the pager cells, and
    // the total line, composed into `frame`.
    DrawnElements& Elements() override { return elements; }
    FrameCache* Frame() override { return &frame; }
    void Compose(OffscreenFrame& f) override;

private:
    // The handler of WM_HISTORY_ROW_OPEN: posts the row's order to the main
    // window as a package copy, with its own link when it is paid.
    void OpenHistoryOrder(int row);
    // What a click on element action `action` does.
    void ClickElement(int action);

    // Screen readers: Back, the official site and the pager cells; the table
    // answers for itself.
    void ListAccessibleNodes(std::vector<AccessibleNode>& nodes) const override;
    void DoAccessibleAction(int action) override;
};
