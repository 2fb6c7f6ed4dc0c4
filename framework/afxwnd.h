// CWnd: a C++ object bound to one window, with MFC's names and meaning.
//
// Binding: CreateEx (and the dialog creation) binds the object to the new window
// from its first message, whatever its window class, by subclassing it from a
// thread-local CBT hook. SubclassWindow binds an existing window (DDX_Control).
// The object pointer is stored in a window property (full 64-bit value). The
// object is detached at WM_NCDESTROY; destroying the object destroys its window.
//
// Messages: AfxWndProc -> WindowProc -> OnWndMsg (the message map of the most
// derived class, chained to its bases) -> DefWindowProc (the subclassed window's
// previous procedure, or ::DefWindowProcW). Default() re-runs the current message
// through DefWindowProc: the base handlers (CWnd::OnMouseMove ...) call it.
#pragma once

#include <windows.h>

#include "framework/afxgdi.h"
#include "framework/afxtypes.h"

// windowsx.h defines SubclassWindow as a macro; CWnd has a member of that name.
#ifdef SubclassWindow
#undef SubclassWindow
#endif

// Marks message handlers, as in MFC; expands to nothing.
#define afx_msg

struct CCreateContext;

class CWnd {
public:
    HWND m_hWnd = nullptr;

    // Special insert-after values for SetWindowPos.
    static const CWnd wndTop;
    static const CWnd wndBottom;
    static const CWnd wndTopMost;
    static const CWnd wndNoTopMost;

    CWnd() noexcept = default;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;
    // Destroys the window if the object is still bound to one.
    virtual ~CWnd();

    HWND GetSafeHwnd() const noexcept { return m_hWnd; }
    operator HWND() const noexcept { return m_hWnd; }

    // The bound object of hWnd, or nullptr.
    static CWnd* FromHandlePermanent(HWND hWnd) noexcept;
    // The bound object, or a temporary wrapper owned by the framework and valid
    // until the message loop next goes idle (as in MFC). nullptr for a null hWnd.
    static CWnd* FromHandle(HWND hWnd);

    // --- creation and binding
    // Child window: WS_CHILD is added to dwStyle.
    virtual BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle,
                        const RECT& rect, CWnd* pParentWnd, UINT nID,
                        CCreateContext* pContext = nullptr);
    virtual BOOL CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName,
                          DWORD dwStyle, int x, int y, int nWidth, int nHeight, HWND hWndParent,
                          HMENU nIDorHMenu, LPVOID lpParam = nullptr);
    virtual BOOL CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName,
                          DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID,
                          LPVOID lpParam = nullptr);
    virtual BOOL DestroyWindow();
    // Binds an existing window: its messages reach this object from now on.
    BOOL SubclassWindow(HWND hWnd);
    HWND UnsubclassWindow();
    // Associates without subclassing (no messages reach the object).
    BOOL Attach(HWND hWndNew);
    // Lets go of the window without destroying it; a subclassed window gets
    // its own procedure back.
    HWND Detach();

    // --- messages
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    // Runs the message being handled through the default procedure.
    LRESULT Default();
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    // Walks from pMsg->hwnd up through its parents to hWndStop, offering the
    // message to each bound object's PreTranslateMessage.
    static BOOL WalkPreTranslateTree(HWND hWndStop, MSG* pMsg);

    // --- state and geometry
    BOOL ShowWindow(int nCmdShow);
    BOOL IsWindowVisible() const;
    BOOL EnableWindow(BOOL bEnable = TRUE);
    BOOL IsWindowEnabled() const;
    void MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint = TRUE);
    void MoveWindow(LPCRECT lpRect, BOOL bRepaint = TRUE);
    BOOL SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags);
    BOOL AnimateWindow(DWORD dwTime, DWORD dwFlags);
    // Centres over pAlternateOwner, else the owner (the parent for a child
    // window), else the work area of the window's monitor.
    void CenterWindow(CWnd* pAlternateOwner = nullptr);
    void GetClientRect(LPRECT lpRect) const;
    void GetWindowRect(LPRECT lpRect) const;
    void ClientToScreen(LPPOINT lpPoint) const;
    void ClientToScreen(LPRECT lpRect) const;
    void ScreenToClient(LPPOINT lpPoint) const;
    void ScreenToClient(LPRECT lpRect) const;
    void Invalidate(BOOL bErase = TRUE);
    void InvalidateRect(LPCRECT lpRect, BOOL bErase = TRUE);
    void UpdateWindow();
    DWORD GetStyle() const;
    DWORD GetExStyle() const;
    int GetDlgCtrlID() const;

    // --- relations and focus
    CWnd* GetParent() const;
    CWnd* SetFocus();
    static CWnd* GetFocus();
    CWnd* GetDlgItem(int nID) const;

    // --- text, font, icon
    void SetWindowText(LPCTSTR lpszString);
    int GetWindowText(LPTSTR lpszStringBuf, int nMaxCount) const;
    int GetWindowTextLength() const;
    UINT GetDlgItemText(int nID, LPTSTR lpStr, int nMaxCount) const;
    // Narrow text of a control (the system's ANSI conversion).
    UINT GetDlgItemTextA(int nID, LPSTR lpStr, int nMaxCount) const;
    void SetFont(CFont* pFont, BOOL bRedraw = TRUE);
    HICON SetIcon(HICON hIcon, BOOL bBigIcon);
    int MessageBox(LPCTSTR lpszText, LPCTSTR lpszCaption = nullptr, UINT nType = MB_OK);

protected:
    // The window procedure of the object: OnWndMsg, else DefWindowProc.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // The message map (see afxmsgmap.h); TRUE when a handler took the message.
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    // The previous window procedure, or ::DefWindowProcW.
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Called after the window is gone and the object detached (e.g. to delete this).
    virtual void PostNcDestroy() {}
    // The client point a mouse message's handler is given, from the message's
    // device pixels: unchanged here; a window that lays itself out in other
    // units (a display-scaled one) maps the point to them.
    virtual CPoint MessageClientPoint(CPoint devicePoint) const { return devicePoint; }

    // Base handlers: default processing of the current message.
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnMouseLeave();
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt);
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnPaint();
    afx_msg void OnDestroy();

    WNDPROC m_pfnSuper = nullptr;  // previous window procedure of a subclassed window

private:
    explicit CWnd(HWND hWndSpecial) noexcept : m_hWnd(hWndSpecial) {}
    friend struct AfxWndAccess;
};

// The framework's window procedure (for classes registered by hand).
LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

// Registers (once per set of arguments) a window class with the framework's
// window procedure and returns its generated "Afx:..." name; the pointer stays
// valid for the life of the process. nullptr when the registration fails.
LPCTSTR AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor = nullptr,
                            HBRUSH hbrBackground = nullptr, HICON hIcon = nullptr);

// Frees the temporary CWnd wrappers of FromHandle (the message loops do it when idle).
void AfxDeleteTempMap();
