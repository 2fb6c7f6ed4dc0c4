#include "pages/page_pay2.h"

#include "framework/afxmsgmap.h"
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
    {IDP_CHOICE_MARK, 618, 350, 758, 382, L"支付宝", ElementRole::Choice, kPurchaseViewBit,
     kPayMethodsStop, kPayMethodGroup, 1, false, kChoiceMarkWidth},
    {IDP_CHOICE_MARK, 618, 403, 758, 435, L"微信支付", ElementRole::Choice, kPurchaseViewBit,
     kPayMethodsStop, kPayMethodGroup, 2, true, kChoiceMarkWidth},
    {IDP_OFFICIAL_TAB, 769, 470, 801, 530, L"官网查看更多", ElementRole::Link, kPurchaseViewBit,
     kOfficialSiteStop},
    {0, 473, 323, 617, 467, L"扫码支付二维码", ElementRole::Graphic, kPurchaseViewBit,
     kQrSquareStop},
};
constexpr RECT kSelectorRect{522, 64, 772, 90};

const std::vector<PackageRecord>* CurrentPackages() {
    return storeState.products.empty() ? nullptr : &storeState.products.front().packages;
}

}  // namespace

BEGIN_MESSAGE_MAP(CPagePay2, CPayPage)
ON_MESSAGE(WM_COMBO_SELECT, &CPagePay2::OnComboSelect)
END_MESSAGE_MAP()

BOOL CPagePay2::OnInitDialog() {
    CDialogEx::OnInitDialog();
    core.Load(kPurchaseRows, IDP_PAY2_PANEL, static_cast<UINT>(DisplayScale::Of(m_hWnd).dpi()));

    selector.Create(WS_CHILD | WS_VISIBLE, kSelectorRect, this, kSelectorId);
    selector.UpdateWindow();
    if (const std::vector<PackageRecord>* packages = CurrentPackages()) {
        for (const PackageRecord& package : *packages)
            selector.dropWnd.AddItem(package.name, package.id);
    }
    // Reaches this page as WM_COMBO_SELECT once the message loop runs.
    selector.SelectInitial();
    return TRUE;
}

void CPagePay2::ScaleChanged(UINT dpi) {
    selector.LayOut(kSelectorRect);
    CPayPage::ScaleChanged(dpi);
}

bool CPagePay2::LoadPackage(int index) {
    const std::vector<PackageRecord>* packages = CurrentPackages();
    if (!packages || index < 0 || static_cast<size_t>(index) >= packages->size())
        return false;
    core.SetPackage(m_hWnd, (*packages)[static_cast<size_t>(index)]);
    DiscardOrderQr();
    StopOrderPolling();
    return true;
}

void CPagePay2::ShowPackage(int newView, const PackageRecord& record) {
    core.paidLinks = OrderLinks{};
    if (const std::vector<PackageRecord>* packages = CurrentPackages()) {
        for (size_t i = 0; i < packages->size(); ++i) {
            if ((*packages)[i].id == record.id) {
                LoadPackage(static_cast<int>(i));
                selector.dropWnd.SelectIndex(static_cast<int>(i));
                break;
            }
        }
    }
    if (newView == 3) {
        core.SetView(ViewOfOrder(record.payStatus), m_hWnd);
        core.paidLinks.linkUrl = record.linkUrl;
    } else {
        core.SetView(newView, m_hWnd);
    }
    selector.ShowWindow(core.view == kPurchaseView ? SW_SHOW : SW_HIDE);
}

void CPagePay2::DrawPurchaseView(Gdiplus::Graphics& graphics, PaintTools& tools,
                                 const DisplayScale& scale, int width, int height) {
    core.DrawPurchaseBackdrop(graphics, scale, width, height);
    core.detailBox.Draw(graphics, tools, scale, core.package().packageDetail,
                        RECT{520, 160, 775, 310}, kTextArgb);
    DrawPriceLine(graphics, tools, 520, 119, 130, core.package().price, core.package().sourcePrice);
}

void CPagePay2::OnPaidOrderArrived(int packageId) {
    const int index = core.TakeCataloguePackage(m_hWnd, packageId);
    if (index >= 0)
        selector.dropWnd.SelectIndex(index);
    selector.ShowWindow(SW_HIDE);
}

LRESULT CPagePay2::OnComboSelect(WPARAM, LPARAM) {
    // The choice is read from the list; the message only says it changed.
    // LoadPackage repaints the page with the package it loaded.
    LoadPackage(selector.dropWnd.selectedIndex);
    return 0;
}

void CPagePay2::AppendFocusStops(std::vector<FocusStop>& stops) const {
    if (selector.m_hWnd != nullptr && selector.IsWindowVisible()) {
        FocusStop stop;
        stop.window = selector.m_hWnd;
        stops.push_back(stop);
    }
    CPayPage::AppendFocusStops(stops);
}
