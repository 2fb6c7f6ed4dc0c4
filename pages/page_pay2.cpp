#include "pages/page_pay2.h"

#include "framework/afxmsgmap.h"
#include "pages/dialog_keys.h"
#include "pages/page_slide.h"
#include "skin/offscreen_frame.h"

BEGIN_MESSAGE_MAP(CPagePay2, CDialogEx)
ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

BOOL CPagePay2::PreTranslateMessage(MSG* pMsg) {
    return FilterDialogKeys(*this, pMsg);
}

void CPagePay2::ShowPackage(int newView, const PackageRecord& record) {
    package = record;
    view = newView;
    SlidePageIn(*this);
}

BOOL CPagePay2::OnEraseBkgnd(CDC* pDC) {
    OffscreenFrame frame(m_hWnd, pDC->GetSafeHdc());
    return TRUE;
}
