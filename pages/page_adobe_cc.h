#pragma once
// The payment page (template 131): a child dialog over the store front that
// shows one package for purchase or an order opened from the history.
#include "framework/afxdialogex.h"
#include "framework/afxmsgmap.h"
#include "store/store_state.h"

class CPageAdobeCC : public CDialogEx {
public:
    CPageAdobeCC() noexcept : CDialogEx(kTemplateId) {}

    static constexpr UINT kTemplateId = 131;

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
