#pragma once
// The payment page (template 131): a child dialog over the store front that
// shows one package for purchase, with its QR code, and the paid order's
// links once the store reports the payment. Every showing of the purchase
// view orders at once.
#include "pages/pay_page.h"
#include "store/store_state.h"
#include "resource.h"

class CPagePay1 : public CPayPage {
public:
    CPagePay1() noexcept : CPayPage(kTemplateId) {}

    static constexpr UINT kTemplateId = IDD_PAGE_PAY1;

    // Copies `record` and slides the page in from the right. View 1: the
    // purchase of that package, ordered at once with the checked pay type;
    // 3: an order from the history, unpaid (purchase view, ordered again) or
    // paid (its links; the record's linkUrl is the order's link).
    void ShowPackage(int view, const PackageRecord& record) override;

protected:
    BOOL OnInitDialog() override;
    void DrawPurchaseView(Gdiplus::Graphics& graphics, PaintTools& tools, const DisplayScale& scale,
                          int width, int height) override;
};
