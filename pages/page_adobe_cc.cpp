#include "pages/page_adobe_cc.h"

#include "framework/afxmsgmap.h"
#include "pages/dialog_keys.h"
#include "pages/page_slide.h"
#include "skin/offscreen_frame.h"

BEGIN_MESSAGE_MAP(CPageAdobeCC, CDialogEx)
ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

BOOL CPageAdobeCC::PreTranslateMessage(MSG* pMsg) {
    return FilterDialogKeys(*this, pMsg);
}

void CPageAdobeCC::ShowPackage(int newView, const PackageRecord& record) {
    package = record;
    view = newView;
    SlidePageIn(*this);
}

BOOL CPageAdobeCC::OnEraseBkgnd(CDC* pDC) {
    OffscreenFrame frame(m_hWnd, pDC->GetSafeHdc());
    return TRUE;
}
