// CWinApp: the single application object, and the framework's entry point.
//
// The framework's wWinMain (link the exe with -municode) runs AfxWinMain:
// InitInstance(); FALSE -> the process ends with ExitInstance()'s code; TRUE ->
// a message loop until WM_QUIT, then ExitInstance(). Destroying the window that
// m_pMainWnd names posts WM_QUIT, as in MFC.
#pragma once

#include <windows.h>

#include "framework/afxwnd.h"

#define AFX_RESTART_MANAGER_SUPPORT_RESTART 0x01

class CWinApp {
public:
    // Registers this object as the application (AfxGetApp).
    explicit CWinApp(LPCTSTR lpszAppName = nullptr) noexcept;
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;
    virtual ~CWinApp();

    virtual BOOL InitInstance() { return TRUE; }
    // Runs the message loop until WM_QUIT, then ExitInstance.
    virtual int Run();
    // The exit code: the wParam of the WM_QUIT that ended Run, else 0.
    virtual int ExitInstance() { return m_nExitCode; }

    // Kept for source compatibility; nothing is stored.
    void SetRegistryKey(LPCTSTR lpszRegistryKey) { (void)lpszRegistryKey; }

    LPCTSTR m_pszAppName = nullptr;
    HINSTANCE m_hInstance = nullptr;
    LPTSTR m_lpCmdLine = nullptr;
    int m_nCmdShow = SW_SHOWNORMAL;
    CWnd* m_pMainWnd = nullptr;
    // Kept for source compatibility: no restart registration is made.
    DWORD m_dwRestartManagerSupportFlags = 0;

protected:
    int m_nExitCode = 0;
};

// No OLE control containment here; kept for source compatibility.
inline void AfxEnableControlContainer() {}

// The shell manager of MFC's visual manager; it does nothing here.
class CShellManager {
public:
    CShellManager() = default;
    CShellManager(const CShellManager&) = delete;
    CShellManager& operator=(const CShellManager&) = delete;
};

CWinApp* AfxGetApp() noexcept;
CWnd* AfxGetMainWnd() noexcept;
// The exe's module (the application's m_hInstance once AfxWinMain ran).
HINSTANCE AfxGetInstanceHandle() noexcept;
// Where dialog templates are looked up; the exe's module.
HINSTANCE AfxGetResourceHandle() noexcept;
// The body of the framework's wWinMain (callable from tests).
int AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPTSTR lpCmdLine, int nCmdShow);
