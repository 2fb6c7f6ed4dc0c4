#include "pages/page_history.h"

#include "framework/afxmsgmap.h"
#include "pages/dialog_keys.h"
#include "skin/offscreen_frame.h"

BEGIN_MESSAGE_MAP(CPageHistory, CDialogEx)
ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

BOOL CPageHistory::PreTranslateMessage(MSG* pMsg) {
    return FilterDialogKeys(*this, pMsg);
}

BOOL CPageHistory::Create(UINT nIDTemplate, CWnd* pParentWnd) {
    return CDialogEx::Create(nIDTemplate, pParentWnd);
}

void CPageHistory::FetchOrderPage(int page) {
    (void)page;
}

BOOL CPageHistory::OnEraseBkgnd(CDC* pDC) {
    OffscreenFrame frame(m_hWnd, pDC->GetSafeHdc());
    return TRUE;
}
