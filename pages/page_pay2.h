#pragma once
// The payment page with its own package selector (created from the empty
// template 132), the alternative to CPagePay1 that server.ini can choose.
// Showing the page or choosing a package orders nothing: the order is made
// when the user clicks the QR square or a payment choice.
#include "controls/xcommbox.h"
#include "framework/afxmsgmap.h"
#include "pages/pay_page.h"
#include "store/store_state.h"
#include "resource.h"

class CPagePay2 : public CPayPage {
public:
    CPagePay2() noexcept : CPayPage(kTemplateId) {}

    static constexpr UINT kTemplateId = IDD_PAGE_EMPTY;
    static constexpr UINT kSelectorId = 6662;

    // Makes the catalogue package with `record`'s id the page's package (and
    // the selector's choice) and slides the page in. View 1: the purchase
    // view; 3: an order from the history, unpaid (purchase view) or paid (its
    // links; the record's linkUrl is the order's link). A package no longer
    // in the catalogue leaves the page's package as it was.
    void ShowPackage(int view, const PackageRecord& record) override;

    // Makes package `index` of the current product the page's package, removes
    // the QR code and stops the order watch. False, and nothing done, for an
    // index outside the list.
    bool LoadPackage(int index);

    XCommbox selector;

    // The selector, above the pay page's own stops.
    void AppendFocusStops(std::vector<FocusStop>& stops) const override;

    // The selector at its logical place again, as well.
    void ScaleChanged(UINT dpi) override;

protected:
    BOOL OnInitDialog() override;
    void DrawPurchaseView(Gdiplus::Graphics& graphics, PaintTools& tools, const DisplayScale& scale,
                          int width, int height) override;
    void OnPaidOrderArrived(int packageId) override;

    afx_msg LRESULT OnComboSelect(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()
};
