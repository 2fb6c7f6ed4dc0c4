#pragma once
// The order history page (template 132): the machine's orders, twelve per
// page; it sends the main window WM_HISTORY_NAVIGATE to leave.
#include "framework/afxdialogex.h"
#include "framework/afxmsgmap.h"

class CPageHistory : public CDialogEx {
public:
    CPageHistory() noexcept : CDialogEx(kTemplateId) {}

    static constexpr UINT kTemplateId = 132;

    BOOL PreTranslateMessage(MSG* pMsg) override;
    BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr) override;
    using CDialogEx::Create;

    // Requests page `page` of the order history (synchronous).
    void FetchOrderPage(int page);

protected:
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    DECLARE_MESSAGE_MAP()
};
