#pragma once
// The payment page with its own package selector (created from the empty
// template 132): the alternative to CPageAdobeCC that server.ini can choose.
#include "framework/afxdialogex.h"
#include "framework/afxmsgmap.h"
#include "store/store_state.h"

class CPagePay2 : public CDialogEx {
public:
    CPagePay2() noexcept : CDialogEx(kTemplateId) {}

    static constexpr UINT kTemplateId = 132;

    // Copies `record` (view 1: purchase; 3: an order from the history) and
    // slides the page in from the right.
    void ShowPackage(int view, const PackageRecord& record);

    BOOL PreTranslateMessage(MSG* pMsg) override;

    int view = 0;
    PackageRecord package;

protected:
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    DECLARE_MESSAGE_MAP()
};
