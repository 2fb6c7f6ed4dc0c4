// Message maps with MFC's syntax, expanded WTL-style into one function per
// class: a chain of ifs that falls through to the base class's map.
//
//   class CMyWnd : public CWnd {
//   protected:
//       afx_msg BOOL OnEraseBkgnd(CDC* pDC);
//       afx_msg LRESULT OnMyMessage(WPARAM wParam, LPARAM lParam);
//       DECLARE_MESSAGE_MAP()
//   };
//   BEGIN_MESSAGE_MAP(CMyWnd, CWnd)
//       ON_WM_ERASEBKGND()
//       ON_MESSAGE(WM_MY_MESSAGE, &CMyWnd::OnMyMessage)
//   END_MESSAGE_MAP()
//
// ON_MESSAGE takes a qualified member pointer (&Class::Handler). The handlers
// call the base's handler (CWnd::OnMouseMove(nFlags, point) ...) for default
// processing. DECLARE_MESSAGE_MAP leaves the class in protected access.
#pragma once

#include "framework/afxwnd.h"

#define DECLARE_MESSAGE_MAP() \
protected:                    \
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                              \
    BOOL theClass::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) { \
        typedef theClass ThisClass;                                                         \
        typedef baseClass TheBaseClass;                                                     \
        (void)sizeof(ThisClass);                                                            \
        (void)wParam;                                                                       \
        (void)lParam;

#define END_MESSAGE_MAP()                                            \
    return TheBaseClass::OnWndMsg(message, wParam, lParam, pResult); \
    }

// Signed client or screen coordinates of a mouse message (GET_X_LPARAM,
// GET_Y_LPARAM without windowsx.h, whose SubclassWindow macro clashes with CWnd's).
#define AFX_MSG_POINT(lp)                                          \
    CPoint(static_cast<short>(LOWORD(static_cast<DWORD_PTR>(lp))), \
           static_cast<short>(HIWORD(static_cast<DWORD_PTR>(lp))))

#define ON_WM_ERASEBKGND()                                           \
    if (message == WM_ERASEBKGND) {                                  \
        CDC afxDC(reinterpret_cast<HDC>(wParam));                    \
        *pResult = static_cast<LRESULT>(this->OnEraseBkgnd(&afxDC)); \
        return TRUE;                                                 \
    }

#define ON_WM_MOUSEMOVE()                                                   \
    if (message == WM_MOUSEMOVE) {                                          \
        this->OnMouseMove(static_cast<UINT>(wParam),                        \
                          this->MessageClientPoint(AFX_MSG_POINT(lParam))); \
        *pResult = 0;                                                       \
        return TRUE;                                                        \
    }

#define ON_WM_MOUSELEAVE()          \
    if (message == WM_MOUSELEAVE) { \
        this->OnMouseLeave();       \
        *pResult = 0;               \
        return TRUE;                \
    }

#define ON_WM_LBUTTONDOWN()                                                   \
    if (message == WM_LBUTTONDOWN) {                                          \
        this->OnLButtonDown(static_cast<UINT>(wParam),                        \
                            this->MessageClientPoint(AFX_MSG_POINT(lParam))); \
        *pResult = 0;                                                         \
        return TRUE;                                                          \
    }

#define ON_WM_LBUTTONUP()                                                   \
    if (message == WM_LBUTTONUP) {                                          \
        this->OnLButtonUp(static_cast<UINT>(wParam),                        \
                          this->MessageClientPoint(AFX_MSG_POINT(lParam))); \
        *pResult = 0;                                                       \
        return TRUE;                                                        \
    }

// The point is in screen coordinates, as the message carries it.
#define ON_WM_MOUSEWHEEL()                                                               \
    if (message == WM_MOUSEWHEEL) {                                                      \
        *pResult = static_cast<LRESULT>(this->OnMouseWheel(                              \
            LOWORD(wParam), static_cast<short>(HIWORD(wParam)), AFX_MSG_POINT(lParam))); \
        return TRUE;                                                                     \
    }

#define ON_WM_SETCURSOR()                                                                       \
    if (message == WM_SETCURSOR) {                                                              \
        *pResult = static_cast<LRESULT>(this->OnSetCursor(                                      \
            CWnd::FromHandle(reinterpret_cast<HWND>(wParam)), LOWORD(lParam), HIWORD(lParam))); \
        return TRUE;                                                                            \
    }

// WM_CTLCOLORMSGBOX ... WM_CTLCOLORSTATIC, nCtlColor = CTLCOLOR_MSGBOX ... CTLCOLOR_STATIC.
#define ON_WM_CTLCOLOR()                                                               \
    if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) {                \
        CDC afxDC(reinterpret_cast<HDC>(wParam));                                      \
        *pResult = reinterpret_cast<LRESULT>(                                          \
            this->OnCtlColor(&afxDC, CWnd::FromHandle(reinterpret_cast<HWND>(lParam)), \
                             message - WM_CTLCOLORMSGBOX));                            \
        return TRUE;                                                                   \
    }

// Returning -1 from OnCreate makes the creation fail.
#define ON_WM_CREATE()                                                                             \
    if (message == WM_CREATE) {                                                                    \
        *pResult = static_cast<LRESULT>(this->OnCreate(reinterpret_cast<LPCREATESTRUCT>(lParam))); \
        return TRUE;                                                                               \
    }

// Runs while the window and its children still exist.
#define ON_WM_DESTROY()          \
    if (message == WM_DESTROY) { \
        this->OnDestroy();       \
        *pResult = 0;            \
        return TRUE;             \
    }

#define ON_WM_PAINT()          \
    if (message == WM_PAINT) { \
        this->OnPaint();       \
        *pResult = 0;          \
        return TRUE;           \
    }

// memberFxn: LRESULT (Class::*)(WPARAM, LPARAM), written &Class::Handler.
#define ON_MESSAGE(msg, memberFxn)                                                          \
    if (message == static_cast<UINT>(msg)) {                                                \
        *pResult = (this->*static_cast<LRESULT (ThisClass::*)(WPARAM, LPARAM)>(memberFxn))( \
            wParam, lParam);                                                                \
        return TRUE;                                                                        \
    }
