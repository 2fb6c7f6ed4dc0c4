// CWnd: binding of objects to windows, the window procedure and the default
// processing of messages.
#include "framework/afxwnd.h"

#include <memory>
#include <unordered_map>

#include "framework/afxapp.h"
#include "framework/afxstate.h"

const CWnd CWnd::wndTop(HWND_TOP);
const CWnd CWnd::wndBottom(HWND_BOTTOM);
const CWnd CWnd::wndTopMost(HWND_TOPMOST);
const CWnd CWnd::wndNoTopMost(HWND_NOTOPMOST);

namespace {

// The property that holds the bound object's address (a full pointer).
LPCWSTR BindingProperty() {
    static const ATOM atom = ::GlobalAddAtomW(L"Parvelle.Afx.CWnd");
    return MAKEINTATOM(atom);
}

bool IsImeWindow(HWND hWnd) {
    if (::GetClassLongPtrW(hWnd, GCL_STYLE) & CS_IME) {
        return true;
    }
    wchar_t name[8] = {};
    ::GetClassNameW(hWnd, name, 8);
    return ::lstrcmpiW(name, L"ime") == 0;
}

LRESULT CALLBACK CbtFilterHook(int code, WPARAM wParam, LPARAM lParam) noexcept {
    AfxThreadState& state = AfxGetThreadState();
    if (code == HCBT_CREATEWND && state.pWndInit != nullptr) {
        HWND hWnd = reinterpret_cast<HWND>(wParam);
        if (!IsImeWindow(hWnd)) {
            CWnd* pWnd = state.pWndInit;
            state.pWndInit = nullptr;
            AfxWndAccess::Bind(pWnd, hWnd);
        }
    }
    return ::CallNextHookEx(state.hHookCbt, code, wParam, lParam);
}

}  // namespace

AfxThreadState& AfxGetThreadState() {
    static thread_local AfxThreadState state;
    return state;
}

void AfxHookWindowCreate(CWnd* pWnd) {
    AfxThreadState& state = AfxGetThreadState();
    if (state.hookCount++ == 0) {
        state.hHookCbt =
            ::SetWindowsHookExW(WH_CBT, CbtFilterHook, nullptr, ::GetCurrentThreadId());
    }
    state.pWndInit = pWnd;
}

void AfxUnhookWindowCreate() {
    AfxThreadState& state = AfxGetThreadState();
    state.pWndInit = nullptr;
    if (--state.hookCount == 0 && state.hHookCbt != nullptr) {
        ::UnhookWindowsHookEx(state.hHookCbt);
        state.hHookCbt = nullptr;
    }
}

void AfxWndAccess::Bind(CWnd* pWnd, HWND hWnd) {
    pWnd->m_hWnd = hWnd;
    ::SetPropW(hWnd, BindingProperty(), reinterpret_cast<HANDLE>(pWnd));
    WNDPROC old = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(hWnd, GWLP_WNDPROC));
    if (old != AfxWndProc) {
        ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxWndProc));
        pWnd->m_pfnSuper = old;
    } else {
        pWnd->m_pfnSuper = nullptr;
    }
}

void AfxWndAccess::Unbind(CWnd* pWnd) {
    HWND hWnd = pWnd->m_hWnd;
    if (hWnd == nullptr) {
        return;
    }
    if (pWnd->m_pfnSuper != nullptr &&
        reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(hWnd, GWLP_WNDPROC)) == AfxWndProc) {
        ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(pWnd->m_pfnSuper));
    }
    if (::GetPropW(hWnd, BindingProperty()) == reinterpret_cast<HANDLE>(pWnd)) {
        ::RemovePropW(hWnd, BindingProperty());
    }
    pWnd->m_pfnSuper = nullptr;
    pWnd->m_hWnd = nullptr;
    CWinApp* app = AfxGetApp();
    if (app != nullptr && app->m_pMainWnd == pWnd) {
        app->m_pMainWnd = nullptr;
    }
}

LRESULT AfxWndAccess::Call(CWnd* pWnd, HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    AfxThreadState& state = AfxGetThreadState();
    const MSG saved = state.lastSentMsg;
    state.lastSentMsg = MSG{hWnd, message, wParam, lParam, 0, {0, 0}};
    LRESULT result = pWnd->WindowProc(message, wParam, lParam);
    if (message == WM_NCDESTROY && pWnd->m_hWnd == hWnd) {
        CWinApp* app = AfxGetApp();
        if (app != nullptr && app->m_pMainWnd == pWnd) {
            ::PostQuitMessage(0);
        }
        Unbind(pWnd);
        pWnd->PostNcDestroy();  // may delete pWnd
    }
    state.lastSentMsg = saved;
    return result;
}

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
    if (pWnd == nullptr) {
        return ::DefWindowProcW(hWnd, message, wParam, lParam);
    }
    return AfxWndAccess::Call(pWnd, hWnd, message, wParam, lParam);
}

// --- CWnd

CWnd::~CWnd() {
    if (m_hWnd != nullptr && FromHandlePermanent(m_hWnd) == this) {
        ::DestroyWindow(m_hWnd);  // detaches at WM_NCDESTROY
        AfxWndAccess::Unbind(this);
    }
    CWinApp* app = AfxGetApp();
    if (app != nullptr && app->m_pMainWnd == this) {
        app->m_pMainWnd = nullptr;
    }
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd) noexcept {
    if (hWnd == nullptr) {
        return nullptr;
    }
    CWnd* pWnd = reinterpret_cast<CWnd*>(::GetPropW(hWnd, BindingProperty()));
    return (pWnd != nullptr && pWnd->m_hWnd == hWnd) ? pWnd : nullptr;
}

CWnd* CWnd::FromHandle(HWND hWnd) {
    if (hWnd == nullptr) {
        return nullptr;
    }
    if (CWnd* pWnd = FromHandlePermanent(hWnd)) {
        return pWnd;
    }
    auto& temps = AfxGetThreadState().tempMap;
    auto it = temps.find(hWnd);
    if (it != temps.end()) {
        return it->second.get();
    }
    auto temp = std::make_unique<CWnd>();
    temp->m_hWnd = hWnd;
    CWnd* result = temp.get();
    temps.emplace(hWnd, std::move(temp));
    return result;
}

void AfxDeleteTempMap() {
    auto& temps = AfxGetThreadState().tempMap;
    for (auto& entry : temps) {
        entry.second->m_hWnd = nullptr;  // a wrapper never destroys the window
    }
    temps.clear();
}

BOOL CWnd::Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                  CWnd* pParentWnd, UINT nID, CCreateContext* pContext) {
    (void)pContext;
    return CreateEx(0, lpszClassName, lpszWindowName, (dwStyle & ~WS_POPUP) | WS_CHILD, rect,
                    pParentWnd, nID);
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle,
                    int x, int y, int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu,
                    LPVOID lpParam) {
    if (m_hWnd != nullptr) {
        return FALSE;  // already bound to a window
    }
    AfxHookWindowCreate(this);
    HWND hWnd = ::CreateWindowExW(dwExStyle, lpszClassName, lpszWindowName, dwStyle, x, y, nWidth,
                                  nHeight, hWndParent, nIDorHMenu, AfxGetInstanceHandle(), lpParam);
    AfxUnhookWindowCreate();
    if (hWnd == nullptr) {
        // A creation refused after binding (OnCreate returned -1) detached at
        // WM_NCDESTROY already; a refusal before binding left nothing.
        return FALSE;
    }
    if (m_hWnd != hWnd) {
        // The hook did not run for this window (cannot happen on this thread);
        // bind now so the object still owns it.
        AfxWndAccess::Bind(this, hWnd);
    }
    return TRUE;
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle,
                    const RECT& rect, CWnd* pParentWnd, UINT nID, LPVOID lpParam) {
    HWND hWndParent = pParentWnd != nullptr ? pParentWnd->m_hWnd : nullptr;
    return CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, rect.left, rect.top,
                    rect.right - rect.left, rect.bottom - rect.top, hWndParent,
                    reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)), lpParam);
}

BOOL CWnd::DestroyWindow() {
    if (m_hWnd == nullptr) {
        return FALSE;
    }
    HWND hWnd = m_hWnd;
    const bool bound = FromHandlePermanent(hWnd) == this;
    BOOL result = ::DestroyWindow(hWnd);
    if (!bound && m_hWnd == hWnd) {
        m_hWnd = nullptr;  // a temporary or attached wrapper
    }
    return result;
}

BOOL CWnd::SubclassWindow(HWND hWnd) {
    if (m_hWnd != nullptr || hWnd == nullptr || !::IsWindow(hWnd) ||
        FromHandlePermanent(hWnd) != nullptr) {
        return FALSE;
    }
    AfxWndAccess::Bind(this, hWnd);
    return TRUE;
}

HWND CWnd::UnsubclassWindow() {
    HWND hWnd = m_hWnd;
    AfxWndAccess::Unbind(this);
    return hWnd;
}

BOOL CWnd::Attach(HWND hWndNew) {
    if (m_hWnd != nullptr || hWndNew == nullptr || FromHandlePermanent(hWndNew) != nullptr) {
        return FALSE;
    }
    m_hWnd = hWndNew;
    ::SetPropW(hWndNew, BindingProperty(), reinterpret_cast<HANDLE>(this));
    return TRUE;
}

HWND CWnd::Detach() {
    HWND hWnd = m_hWnd;
    if (hWnd == nullptr) {
        return nullptr;
    }
    // A subclassed window goes back to its own procedure: left on AfxWndProc
    // without an object, it would fall back to DefWindowProcW and lose its
    // behaviour (an edit would stop editing).
    if (m_pfnSuper != nullptr &&
        reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(hWnd, GWLP_WNDPROC)) == AfxWndProc) {
        ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    }
    if (::GetPropW(hWnd, BindingProperty()) == reinterpret_cast<HANDLE>(this)) {
        ::RemovePropW(hWnd, BindingProperty());
    }
    m_pfnSuper = nullptr;
    m_hWnd = nullptr;
    return hWnd;
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
    return ::SendMessageW(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
    return ::PostMessageW(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default() {
    const MSG& msg = AfxGetThreadState().lastSentMsg;
    return DefWindowProc(msg.message, msg.wParam, msg.lParam);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (OnWndMsg(message, wParam, lParam, &result)) {
        return result;
    }
    return DefWindowProc(message, wParam, lParam);
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    (void)message;
    (void)wParam;
    (void)lParam;
    (void)pResult;
    return FALSE;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_pfnSuper != nullptr) {
        return ::CallWindowProcW(m_pfnSuper, m_hWnd, message, wParam, lParam);
    }
    return ::DefWindowProcW(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PreTranslateMessage(MSG* pMsg) {
    (void)pMsg;
    return FALSE;
}

BOOL CWnd::WalkPreTranslateTree(HWND hWndStop, MSG* pMsg) {
    for (HWND hWnd = pMsg->hwnd; hWnd != nullptr; hWnd = ::GetParent(hWnd)) {
        CWnd* pWnd = FromHandlePermanent(hWnd);
        if (pWnd != nullptr && pWnd->PreTranslateMessage(pMsg)) {
            return TRUE;
        }
        if (hWnd == hWndStop) {
            break;
        }
    }
    return FALSE;
}

// --- base handlers: default processing

BOOL CWnd::OnEraseBkgnd(CDC* pDC) {
    (void)pDC;
    return static_cast<BOOL>(Default());
}

void CWnd::OnMouseMove(UINT nFlags, CPoint point) {
    (void)nFlags;
    (void)point;
    Default();
}

void CWnd::OnMouseLeave() {
    Default();
}

void CWnd::OnLButtonDown(UINT nFlags, CPoint point) {
    (void)nFlags;
    (void)point;
    Default();
}

void CWnd::OnLButtonUp(UINT nFlags, CPoint point) {
    (void)nFlags;
    (void)point;
    Default();
}

BOOL CWnd::OnMouseWheel(UINT nFlags, short zDelta, CPoint pt) {
    (void)nFlags;
    (void)zDelta;
    (void)pt;
    return static_cast<BOOL>(Default());
}

BOOL CWnd::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message) {
    (void)pWnd;
    (void)nHitTest;
    (void)message;
    return static_cast<BOOL>(Default());
}

HBRUSH CWnd::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) {
    (void)pDC;
    (void)pWnd;
    (void)nCtlColor;
    return reinterpret_cast<HBRUSH>(Default());
}

int CWnd::OnCreate(LPCREATESTRUCT lpCreateStruct) {
    (void)lpCreateStruct;
    return static_cast<int>(Default());
}

void CWnd::OnPaint() {
    Default();
}

void CWnd::OnDestroy() {
    Default();
}
