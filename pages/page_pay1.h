#pragma once
// The payment page (template 131): a child dialog over the store front that
// shows one package for purchase, with its QR code, and the paid order's
// links once the store reports the payment. Every showing of the purchase
// view orders at once.
#include "framework/afxdialogex.h"
#include "framework/afxmsgmap.h"
#include "pages/pay_page_core.h"
#include "store/store_state.h"

class CPagePay1 : public CDialogEx {
public:
    CPagePay1() noexcept : CDialogEx(kTemplateId) {}

    static constexpr UINT kTemplateId = 131;

    // Copies `record` and slides the page in from the right. View 1: the
    // purchase of that package, ordered at once with the checked pay type;
    // 3: an order from the history, unpaid (purchase view, ordered again) or
    // paid (its links; the record's linkUrl is the order's link).
    void ShowPackage(int view, const PackageRecord& record);

    BOOL PreTranslateMessage(MSG* pMsg) override;

    // Elements, pictures, view, paid links and the package (see PayPageCore).
    PayPageCore core;

protected:
    BOOL OnInitDialog() override;

    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnMouseLeave();
    afx_msg LRESULT OnOrderPaid(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnDestroyPage(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    void DrawPurchaseView(Gdiplus::Graphics& graphics, PaintTools& tools, int width, int height);
};
