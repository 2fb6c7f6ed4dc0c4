#include "pages/page_pay1.h"

#include "pages/page_messages.h"
#include "skin/display_scale.h"
#include "store/orders.h"
#include "resource.h"

namespace {

// Picture, then left, top, right, bottom in page coordinates; the choices'
// rectangles take in the payment brand's logo printed right of the mark.
constexpr SkinElementRecord kElementRecords[kPayElementCount] = {
    {IDP_CHOICE_MARK, 610, 459, 750, 491},                                       // Alipay
    {IDP_CHOICE_MARK, 610, 495, 750, 527},                                       // WeChat Pay
    {IDP_OFFICIAL_TAB, 769, 470, 801, 530, L"官网查看更多", ElementRole::Link},  // official site
    {IDP_OPEN, 508, 216, 556, 240, L"打开", ElementRole::Link},  // Open, the paid order's link
    {IDP_COPY, 573, 216, 621, 240, L"复制"},                     // Copy, the paid order's link
    {IDP_OPEN, 508, 265, 556, 289, L"打开", ElementRole::Link},  // Open, the help link
    {IDP_COPY, 573, 265, 621, 289, L"复制"},                     // Copy, the help link
};

constexpr RECT kQrSquare{460, 386, 604, 530};

}  // namespace

BOOL CPagePay1::OnInitDialog() {
    CDialogEx::OnInitDialog();
    core.Load(kElementRecords, IDP_PAY_PANEL, kQrSquare,
              static_cast<UINT>(DisplayScale::Of(m_hWnd).dpi()));
    return TRUE;
}

void CPagePay1::ShowPackage(int newView, const PackageRecord& record) {
    core.paidLinks = OrderLinks{};
    core.SetPackage(m_hWnd, record);
    if (newView == 3) {
        core.SetView(ViewOfOrder(record.payStatus), m_hWnd);
        core.paidLinks.linkUrl = record.linkUrl;
    } else {
        core.SetView(newView, m_hWnd);
    }
    if (core.view == kPurchaseView) {
        // The checked choice, so that the mark and the QR code always agree.
        core.RequestOrder(m_hWnd, core.CheckedPayType());
    } else {
        StopOrderPolling();
    }
}

void CPagePay1::DrawPurchaseView(Gdiplus::Graphics& graphics, PaintTools& tools, int width,
                                 int height) {
    core.DrawPurchaseBackdrop(graphics, width, height);
    const PackageRecord& package = core.package();
    Gdiplus::Font& titleFont = tools.Font(10, Gdiplus::FontStyleBold);
    tools.DrawText(graphics, package.title1.c_str(), Gdiplus::RectF(464, 33, 280, 38), titleFont,
                   tools.NearFormat(), kBlueArgb);
    tools.DrawText(graphics, package.title2.c_str(), Gdiplus::RectF(464, 330, 280, 38), titleFont,
                   tools.NearFormat(), kBlueArgb);
    core.detailBox.Draw(graphics, tools, package.packageDetail, RECT{464, 150, 784, 300},
                        kTextArgb);
    DrawPriceLine(graphics, tools, 620, 405, 415, package.price, package.sourcePrice);
    core.DrawChoicesAndQr(graphics);
}
