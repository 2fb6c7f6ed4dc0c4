#include "pages/pay_page.h"

#include "pages/blocking_request.h"
#include "pages/dialog_keys.h"
#include "pages/page_messages.h"
#include "skin/display_scale.h"
#include "store/order_watch.h"
#include "store/orders.h"

BEGIN_MESSAGE_MAP(CPayPage, CSwitchedDialogPage)
ON_WM_ERASEBKGND()
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONUP()
ON_MESSAGE(WM_ORDER_PAID, &CPayPage::OnOrderPaid)
ON_MESSAGE(WM_DESTROY, &CPayPage::OnDestroyPage)
ON_MESSAGE(WM_WINDOWPOSCHANGED, &CPayPage::OnWindowPosChanged)
END_MESSAGE_MAP()

BOOL CPayPage::PreTranslateMessage(MSG* pMsg) {
    return FilterPageKeys(*this, pMsg);
}

BOOL CPayPage::OnEraseBkgnd(CDC* pDC) {
    // The pictures come back from the shared cache when the page shows again.
    core.TakePictures();
    return CSkinnedWnd::OnEraseBkgnd(pDC);
}

void CPayPage::Compose(OffscreenFrame& frame) {
    if (core.view == kPurchaseView)
        DrawPurchaseView(frame.graphics(), frame.tools(), frame.scale(), frame.width(),
                         frame.height());
    else if (core.view == kPaidView)
        core.DrawPaidView(frame.graphics(), frame.tools(), frame.scale(), frame.width(),
                          frame.height());
    core.DrawElements(frame.graphics(), frame.scale());
    core.elements.DrawFocusRing(frame.graphics(), frame.scale(), HasKeyboardFocus(m_hWnd));
}

void CPayPage::ScaleChanged(UINT dpi) {
    core.LoadPictures(dpi);
    core.frame.Changed(m_hWnd);
}

void CPayPage::OpenWith(int view, const PackageRecord* record) {
    if (record != nullptr)
        ShowPackage(view, *record);
}

void CPayPage::Leave() {
    ShowWindow(SW_HIDE);
}

void CPayPage::OnLButtonDown(UINT nFlags, CPoint point) {
    // A click acts where the button is released.
    NoteLeftButtonPress();
    CDialogEx::OnLButtonDown(nFlags, point);
}

void CPayPage::OnLButtonUp(UINT nFlags, CPoint point) {
    if (!ReleaseEndsDroppedClick())
        core.OnClick(m_hWnd, point);
    CDialogEx::OnLButtonUp(nFlags, point);
}

LRESULT CPayPage::OnOrderPaid(WPARAM wParam, LPARAM lParam) {
    if (std::unique_ptr<OrderLinks> links = PayPageCore::RedeemPaidOrder(m_hWnd, wParam, lParam)) {
        // A confirmed payment outranks whatever the user did since: the watch
        // of a newer order ends, so that its QR code is not paid as well, and
        // the page shows the paid order.
        StopOrderPolling();
        OnPaidOrderArrived(links->packageId);
        core.ShowPaidOrder(m_hWnd, *links);
        ::PostMessageW(::GetParent(m_hWnd), WM_PAID_ORDER_SHOWN, 0,
                       reinterpret_cast<LPARAM>(m_hWnd));
    }
    return 0;
}

void CPayPage::OnPaidOrderArrived(int packageId) {
    core.TakeCataloguePackage(m_hWnd, packageId);
}

LRESULT CPayPage::OnWindowPosChanged(WPARAM, LPARAM lParam) {
    if (WindowPosHides(lParam))
        core.ReleaseUnseen(m_hWnd);
    return Default();
}

LRESULT CPayPage::OnDestroyPage(WPARAM, LPARAM) {
    // Paid-order records still queued for this window die with it.
    PaidOrderPosts().Discard(m_hWnd);
    accessible.Disconnect();
    return Default();
}

void CPayPage::ListAccessibleNodes(std::vector<AccessibleNode>& nodes) const {
    AppendShownElements(core.elements, nodes, m_hWnd);
}

void CPayPage::AppendFocusStops(std::vector<FocusStop>& stops) const {
    AppendElementStops(stops, m_hWnd, core.elements);
}

void CPayPage::DoAccessibleAction(int action) {
    core.ClickElement(m_hWnd, action);
}
