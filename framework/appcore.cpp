// CWinApp, the framework's entry point and the application-wide accessors.
// wWinMain lives here, next to CWinApp's constructor, so that linking the
// application object pulls the entry point out of the static library.
#include "framework/afxapp.h"

#include "framework/afxstate.h"

#include "base/system_dlls.h"

namespace {
CWinApp* g_app = nullptr;
}

CWinApp::CWinApp(LPCTSTR lpszAppName) noexcept : m_pszAppName(lpszAppName) {
    g_app = this;
}

CWinApp::~CWinApp() {
    if (g_app == this) {
        g_app = nullptr;
    }
}

int CWinApp::Run() {
    for (;;) {
        MSG peek;
        if (!::PeekMessageW(&peek, nullptr, 0, 0, PM_NOREMOVE)) {
            AfxDeleteTempMap();
        }
        CWnd* pMainWnd = m_pMainWnd;
        int quitCode = 0;
        if (!AfxPumpMessage(pMainWnd != nullptr ? pMainWnd->m_hWnd : nullptr, &quitCode)) {
            m_nExitCode = quitCode;
            break;
        }
    }
    return ExitInstance();
}

BOOL AfxPumpMessage(HWND hWndStop, int* pQuitCode) {
    MSG msg;
    BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0 || got == -1) {
        *pQuitCode = got == 0 ? static_cast<int>(msg.wParam) : -1;
        return FALSE;
    }
    if (msg.hwnd == nullptr || !CWnd::WalkPreTranslateTree(hWndStop, &msg)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return TRUE;
}

CWinApp* AfxGetApp() noexcept {
    return g_app;
}

CWnd* AfxGetMainWnd() noexcept {
    return g_app != nullptr ? g_app->m_pMainWnd : nullptr;
}

HINSTANCE AfxGetInstanceHandle() noexcept {
    if (g_app != nullptr && g_app->m_hInstance != nullptr) {
        return g_app->m_hInstance;
    }
    return ::GetModuleHandleW(nullptr);
}

HINSTANCE AfxGetResourceHandle() noexcept {
    return AfxGetInstanceHandle();
}

int AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPTSTR lpCmdLine, int nCmdShow) {
    (void)hPrevInstance;
    CWinApp* app = AfxGetApp();
    if (app == nullptr) {
        return -1;
    }
    app->m_hInstance = hInstance;
    app->m_lpCmdLine = lpCmdLine;
    app->m_nCmdShow = nCmdShow;
    if (!app->InitInstance()) {
        if (app->m_pMainWnd != nullptr) {
            app->m_pMainWnd->DestroyWindow();
        }
        return app->ExitInstance();
    }
    return app->Run();
}

int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPWSTR lpCmdLine, int nCmdShow) {
    // Before anything loads a DLL: System32 only, then every delay-loaded DLL
    // bound at once, so that a missing one stops the program here.
    RestrictDllSearchToSystem32();
    BindDelayLoadedImports();
    return AfxWinMain(hInstance, hPrevInstance, lpCmdLine, nCmdShow);
}
