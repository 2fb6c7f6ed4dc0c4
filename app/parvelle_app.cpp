#include "app/parvelle_app.h"

#include <commctrl.h>

#include <memory>

#include "app/parvelle_dlg.h"
#include "base/scoped_handle.h"
#include "store/store_state.h"
#include "net/http.h"
#include "skin/gdiplus_session.h"
#include "skin/ole_session.h"
#include "store/order_watch.h"
#include "store/orders.h"

CparvelleApp::CparvelleApp() : CWinApp(nullptr) {
    m_dwRestartManagerSupportFlags = AFX_RESTART_MANAGER_SUPPORT_RESTART;
}

BOOL CparvelleApp::InitInstance() {
    // A marker only: held, never waited on, gone with the process.
    ScopedHandle mutex(::CreateMutexW(nullptr, FALSE, kSingleInstanceMutexName));
    if (mutex && ::GetLastError() == ERROR_ALREADY_EXISTS)
        return FALSE;
    mutex.release();

    // Before any thread exists.
    HttpGlobalInit();

    // Before the first window, and gone last: screen readers reach the
    // windows' objects through it, on this thread.
    OleSession ole;

    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_WIN95_CLASSES;
    ::InitCommonControlsEx(&controls);

    CWinApp::InitInstance();
    AfxEnableControlContainer();

    auto shellManager = std::make_unique<CShellManager>();

    SetRegistryKey(L"应用程序向导生成的本地应用程序");

    GdiplusSession gdiplus;
    if (!gdiplus.started())
        return FALSE;
    {
        CparvelleDlg dlg;
        dlg.startupInputs = startupInputs;
        m_pMainWnd = &dlg;
        dlg.DoModal();
        shellManager.reset();
        m_pMainWnd = nullptr;
    }
    // The window and its copies of the records are gone; the catalogue's
    // pictures go now, while GDI+ still runs.
    storeState.products.clear();
    // A watch still waiting for a payment has nobody left to tell; let it
    // leave its transfer before the process tears the libraries down.
    StopOrderPolling();
    if (WaitForOrderWatchThreads(1500))
        CloseIdleConnections();
    // No message pump after the dialog: the process ends through ExitInstance.
    return FALSE;
}
