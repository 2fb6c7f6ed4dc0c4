// Device context and GDI object wrappers.
//   CDC          borrowed device context (never deleted or released by the wrapper),
//                as handed to OnEraseBkgnd / OnCtlColor
//   CClientDC    GetDC ... ReleaseDC of a window, scoped
//   CPaintDC     BeginPaint ... EndPaint, scoped
//   CFont/CBrush own their GDI object and delete it (stock objects are never deleted)
#pragma once

#include <windows.h>

class CWnd;

class CDC {
public:
    HDC m_hDC = nullptr;

    CDC() noexcept = default;
    explicit CDC(HDC hDC) noexcept : m_hDC(hDC) {}
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;
    virtual ~CDC() = default;

    HDC GetSafeHdc() const noexcept { return m_hDC; }
    operator HDC() const noexcept { return m_hDC; }

    int SetBkMode(int nBkMode) noexcept { return ::SetBkMode(m_hDC, nBkMode); }
    COLORREF SetBkColor(COLORREF crColor) noexcept { return ::SetBkColor(m_hDC, crColor); }
    COLORREF SetTextColor(COLORREF crColor) noexcept { return ::SetTextColor(m_hDC, crColor); }
    HGDIOBJ SelectObject(HGDIOBJ hObject) noexcept { return ::SelectObject(m_hDC, hObject); }
};

// The client area's device context for the lifetime of the object.
class CClientDC : public CDC {
public:
    explicit CClientDC(CWnd* pWnd) noexcept;
    ~CClientDC() override;

private:
    HWND m_hWnd;
};

// BeginPaint/EndPaint for the lifetime of the object (for OnPaint handlers).
class CPaintDC : public CDC {
public:
    PAINTSTRUCT m_ps{};

    explicit CPaintDC(CWnd* pWnd) noexcept;
    ~CPaintDC() override;

private:
    HWND m_hWnd;
};

// Owner of one GDI object; copying is deleted, moving is not offered either.
class CGdiObject {
public:
    HGDIOBJ m_hObject = nullptr;

    CGdiObject() noexcept = default;
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;
    virtual ~CGdiObject() { DeleteObject(); }

    HGDIOBJ GetSafeHandle() const noexcept { return m_hObject; }
    // Takes a stock object: it is never deleted.
    BOOL CreateStockObject(int nIndex) noexcept;
    // Deletes the owned object (a stock object is only forgotten).
    BOOL DeleteObject() noexcept;
    BOOL Attach(HGDIOBJ hObject) noexcept;
    HGDIOBJ Detach() noexcept;

private:
    bool m_bStock = false;
};

class CFont : public CGdiObject {
public:
    BOOL CreateFontIndirect(const LOGFONTW* lpLogFont) noexcept;
    operator HFONT() const noexcept { return static_cast<HFONT>(m_hObject); }
};

class CBrush : public CGdiObject {
public:
    CBrush() noexcept = default;
    explicit CBrush(COLORREF crColor) noexcept { CreateSolidBrush(crColor); }
    BOOL CreateSolidBrush(COLORREF crColor) noexcept;
    operator HBRUSH() const noexcept { return static_cast<HBRUSH>(m_hObject); }
};
