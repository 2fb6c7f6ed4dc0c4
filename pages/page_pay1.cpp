#include "pages/page_pay1.h"

#include "framework/afxmsgmap.h"
#include "pages/dialog_keys.h"
#include "pages/page_messages.h"
#include "pages/page_slide.h"
#include "skin/offscreen_frame.h"
#include "store/orders.h"

namespace {

constexpr int kPanelPictureId = 169;

// Picture, then left, top, right, bottom in page coordinates; the choices'
// rectangles take in the payment brand's logo printed right of the mark.
constexpr SkinElementRecord kElementRecords[kPayElementCount] = {
    {175, 610, 459, 750, 491},  // Alipay
    {175, 610, 495, 750, 527},  // WeChat Pay
    {165, 769, 470, 801, 530},  // official site
    {172, 508, 216, 556, 240},  // Open, the paid order's link
    {171, 573, 216, 621, 240},  // Copy, the paid order's link
    {172, 508, 265, 556, 289},  // Open, the help link
    {171, 573, 265, 621, 289},  // Copy, the help link
};

constexpr RECT kQrSquare{460, 386, 604, 530};

}  // namespace

BEGIN_MESSAGE_MAP(CPagePay1, CDialogEx)
ON_WM_ERASEBKGND()
ON_WM_MOUSEMOVE()
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONUP()
ON_WM_MOUSELEAVE()
ON_MESSAGE(WM_ORDER_PAID, &CPagePay1::OnOrderPaid)
ON_MESSAGE(WM_DESTROY, &CPagePay1::OnDestroyPage)
END_MESSAGE_MAP()

BOOL CPagePay1::OnInitDialog() {
    CDialogEx::OnInitDialog();
    core.Load(kElementRecords, kPanelPictureId, kQrSquare);
    return TRUE;
}

BOOL CPagePay1::PreTranslateMessage(MSG* pMsg) {
    return FilterDialogKeys(*this, pMsg);
}

void CPagePay1::ShowPackage(int newView, const PackageRecord& record) {
    core.paidLinks = OrderLinks{};
    const int payStatus = core.package.payStatus;
    core.package = record;
    core.package.payStatus = payStatus;
    if (newView == 3) {
        core.SetView(ViewOfOrder(record.payStatus));
        core.paidLinks.linkUrl = record.linkUrl;
    } else {
        core.SetView(newView);
    }
    if (core.view == kPurchaseView) {
        // The checked choice, so that the mark and the QR code always agree.
        core.RequestOrder(m_hWnd, core.CheckedPayType());
    } else {
        StopOrderPolling();
    }
    SlidePageIn(*this);
}

BOOL CPagePay1::OnEraseBkgnd(CDC* pDC) {
    if (!core.background)
        return CDialogEx::OnEraseBkgnd(pDC);
    OffscreenFrame frame(m_hWnd, pDC->GetSafeHdc());
    if (core.view == kPurchaseView)
        DrawPurchaseView(frame.graphics(), frame.tools(), frame.width(), frame.height());
    else if (core.view == kPaidView)
        core.DrawPaidView(frame.graphics(), frame.tools(), frame.width(), frame.height());
    return TRUE;
}

void CPagePay1::DrawPurchaseView(Gdiplus::Graphics& graphics, PaintTools& tools, int width,
                                 int height) {
    core.DrawPurchaseBackdrop(graphics, width, height);
    const PackageRecord& package = core.package;
    Gdiplus::Font& titleFont = tools.Font(10, Gdiplus::FontStyleBold);
    tools.DrawText(graphics, package.title1.c_str(), Gdiplus::RectF(464, 33, 280, 38), titleFont,
                   tools.NearFormat(), kBlueArgb);
    tools.DrawText(graphics, package.title2.c_str(), Gdiplus::RectF(464, 330, 280, 38), titleFont,
                   tools.NearFormat(), kBlueArgb);
    tools.DrawText(graphics, DetailAsDrawn(package.packageDetail).c_str(),
                   Gdiplus::RectF(464, 150, 320, 150), tools.Font(10), tools.NearFormat(),
                   kTextArgb);
    DrawPriceLine(graphics, tools, 620, 405, 415, package.price, package.sourcePrice);
    core.DrawChoicesAndQr(graphics);
}

void CPagePay1::OnMouseMove(UINT nFlags, CPoint point) {
    core.OnMouseMove(m_hWnd, point);
    CDialogEx::OnMouseMove(nFlags, point);
}

void CPagePay1::OnMouseLeave() {
    core.OnMouseLeave(m_hWnd);
}

void CPagePay1::OnLButtonDown(UINT nFlags, CPoint point) {
    // A click acts where the button is released.
    CDialogEx::OnLButtonDown(nFlags, point);
}

void CPagePay1::OnLButtonUp(UINT nFlags, CPoint point) {
    core.OnClick(m_hWnd, point);
    CDialogEx::OnLButtonUp(nFlags, point);
}

LRESULT CPagePay1::OnOrderPaid(WPARAM wParam, LPARAM lParam) {
    if (std::unique_ptr<OrderLinks> links = PayPageCore::RedeemPaidOrder(m_hWnd, wParam, lParam))
        core.ShowPaidOrder(m_hWnd, *links);
    return 0;
}

LRESULT CPagePay1::OnDestroyPage(WPARAM, LPARAM) {
    // Paid-order records still queued for this window die with it.
    PaidOrderPosts().Discard(m_hWnd);
    return Default();
}
