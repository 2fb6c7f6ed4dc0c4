// Device context and GDI object wrappers.
#include "framework/afxgdi.h"

#include "framework/afxwnd.h"

CClientDC::CClientDC(CWnd* pWnd) noexcept : m_hWnd(pWnd != nullptr ? pWnd->m_hWnd : nullptr) {
    m_hDC = ::GetDC(m_hWnd);
}

CClientDC::~CClientDC() {
    if (m_hDC != nullptr) {
        ::ReleaseDC(m_hWnd, m_hDC);
    }
}

CPaintDC::CPaintDC(CWnd* pWnd) noexcept : m_hWnd(pWnd->m_hWnd) {
    m_hDC = ::BeginPaint(m_hWnd, &m_ps);
}

CPaintDC::~CPaintDC() {
    ::EndPaint(m_hWnd, &m_ps);
}

BOOL CGdiObject::CreateStockObject(int nIndex) noexcept {
    HGDIOBJ hObject = ::GetStockObject(nIndex);
    if (hObject == nullptr) {
        return FALSE;
    }
    DeleteObject();
    m_hObject = hObject;
    m_bStock = true;
    return TRUE;
}

BOOL CGdiObject::DeleteObject() noexcept {
    if (m_hObject == nullptr) {
        return FALSE;
    }
    BOOL result = m_bStock ? TRUE : ::DeleteObject(m_hObject);
    m_hObject = nullptr;
    m_bStock = false;
    return result;
}

BOOL CGdiObject::Attach(HGDIOBJ hObject) noexcept {
    if (hObject == nullptr) {
        return FALSE;
    }
    DeleteObject();
    m_hObject = hObject;
    return TRUE;
}

HGDIOBJ CGdiObject::Detach() noexcept {
    HGDIOBJ hObject = m_hObject;
    m_hObject = nullptr;
    m_bStock = false;
    return hObject;
}

BOOL CFont::CreateFontIndirect(const LOGFONTW* lpLogFont) noexcept {
    HFONT hFont = ::CreateFontIndirectW(lpLogFont);
    return hFont != nullptr && Attach(hFont);
}

BOOL CBrush::CreateSolidBrush(COLORREF crColor) noexcept {
    HBRUSH hBrush = ::CreateSolidBrush(crColor);
    return hBrush != nullptr && Attach(hBrush);
}
