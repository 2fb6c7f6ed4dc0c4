#include "pages/page_pay1.h"

#include "pages/page_messages.h"
#include "skin/display_scale.h"
#include "store/orders.h"
#include "resource.h"

namespace {

// The purchase view's elements: picture, left, top, right, bottom in page
// coordinates, name, role, views, keyboard order, then for the pay methods
// their group, pay type, whether checked at start and the mark's width. The
// choices' rectangles take in the payment brand's logo printed right of the
// mark; the QR square is drawn by the page.
constexpr SkinElementRecord kPurchaseRows[kPurchaseRowCount] = {
    {IDP_CHOICE_MARK, 610, 459, 750, 491, L"支付宝", ElementRole::Choice, kPurchaseViewBit,
     kPayMethodsStop, kPayMethodGroup, 1, false, kChoiceMarkWidth},
    {IDP_CHOICE_MARK, 610, 495, 750, 527, L"微信支付", ElementRole::Choice, kPurchaseViewBit,
     kPayMethodsStop, kPayMethodGroup, 2, true, kChoiceMarkWidth},
    {IDP_OFFICIAL_TAB, 769, 470, 801, 530, L"官网查看更多", ElementRole::Link, kPurchaseViewBit,
     kOfficialSiteStop},
    {0, 460, 386, 604, 530, L"扫码支付二维码", ElementRole::Graphic, kPurchaseViewBit,
     kQrSquareStop},
};

}  // namespace

BOOL CPagePay1::OnInitDialog() {
    CDialogEx::OnInitDialog();
    core.Load(kPurchaseRows, IDP_PAY_PANEL, static_cast<UINT>(DisplayScale::Of(m_hWnd).dpi()));
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

void CPagePay1::DrawPurchaseView(Gdiplus::Graphics& graphics, PaintTools& tools,
                                 const DisplayScale& scale, int width, int height) {
    core.DrawPurchaseBackdrop(graphics, scale, width, height);
    const PackageRecord& package = core.package();
    Gdiplus::Font& titleFont = tools.Font(10, Gdiplus::FontStyleBold);
    tools.DrawText(graphics, package.title1.c_str(), Gdiplus::RectF(464, 33, 280, 38), titleFont,
                   tools.NearFormat(), kBlueArgb);
    tools.DrawText(graphics, package.title2.c_str(), Gdiplus::RectF(464, 330, 280, 38), titleFont,
                   tools.NearFormat(), kBlueArgb);
    core.detailBox.Draw(graphics, tools, scale, package.packageDetail, RECT{464, 150, 784, 300},
                        kTextArgb);
    DrawPriceLine(graphics, tools, 620, 405, 415, package.price, package.sourcePrice);
}
