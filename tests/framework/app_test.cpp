// The application object and the framework's entry point.
#include <gtest/gtest.h>

#include "framework/afxwin.h"
#include "fw_test_util.h"

namespace {

const UINT WM_FW_CLOSE_MAIN = WM_APP + 20;

class CMainProbe : public CWnd {
protected:
    afx_msg LRESULT OnCloseMain(WPARAM, LPARAM) {
        DestroyWindow();
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CMainProbe, CWnd)
ON_MESSAGE(WM_FW_CLOSE_MAIN, &CMainProbe::OnCloseMain)
END_MESSAGE_MAP()

enum class Mode { Refuse, QuitCode, CloseMainWindow };

class CProbeApp : public CWinApp {
public:
    explicit CProbeApp(Mode m) : mode(m) {
        m_dwRestartManagerSupportFlags = AFX_RESTART_MANAGER_SUPPORT_RESTART;
    }
    Mode mode;
    int initCalls = 0;
    int exitCalls = 0;
    CMainProbe mainWnd;

    BOOL InitInstance() override {
        ++initCalls;
        CWinApp::InitInstance();
        AfxEnableControlContainer();
        auto* shellManager = new CShellManager;
        delete shellManager;
        SetRegistryKey(L"应用程序向导生成的本地应用程序");
        switch (mode) {
            case Mode::Refuse:
                return FALSE;
            case Mode::QuitCode:
                ::PostQuitMessage(7);
                return TRUE;
            case Mode::CloseMainWindow:
                mainWnd.CreateEx(0, AfxRegisterWndClass(0), L"main", WS_POPUP, 0, 0, 10, 10,
                                 nullptr, nullptr);
                m_pMainWnd = &mainWnd;
                mainWnd.PostMessage(WM_FW_CLOSE_MAIN);
                return TRUE;
        }
        return FALSE;
    }
    int ExitInstance() override {
        ++exitCalls;
        return CWinApp::ExitInstance() + 100;
    }
};

}  // namespace

TEST(App, InitInstanceFalseEndsThroughExitInstance) {
    CProbeApp app(Mode::Refuse);
    EXPECT_EQ(AfxGetApp(), &app);
    HINSTANCE module = ::GetModuleHandleW(nullptr);
    wchar_t cmd[] = L"{PRODUCT}";
    EXPECT_EQ(AfxWinMain(module, nullptr, cmd, SW_SHOW), 100);
    EXPECT_EQ(app.initCalls, 1);
    EXPECT_EQ(app.exitCalls, 1);
    EXPECT_EQ(app.m_hInstance, module);
    EXPECT_EQ(AfxGetInstanceHandle(), module);
    EXPECT_EQ(AfxGetResourceHandle(), module);
    EXPECT_STREQ(app.m_lpCmdLine, L"{PRODUCT}");
}

TEST(App, RunEndsAtWmQuitWithItsCode) {
    CProbeApp app(Mode::QuitCode);
    EXPECT_EQ(AfxWinMain(::GetModuleHandleW(nullptr), nullptr, nullptr, SW_SHOW), 107);
    EXPECT_EQ(app.exitCalls, 1);
}

TEST(App, DestroyingTheMainWindowEndsRun) {
    CProbeApp app(Mode::CloseMainWindow);
    EXPECT_EQ(AfxWinMain(::GetModuleHandleW(nullptr), nullptr, nullptr, SW_SHOW), 100);
    EXPECT_EQ(app.m_pMainWnd, nullptr);
    EXPECT_EQ(AfxGetMainWnd(), nullptr);
    EXPECT_EQ(app.mainWnd.m_hWnd, nullptr);
}

TEST(App, NoApplicationObjectOutsideItsLifetime) {
    { CProbeApp app(Mode::Refuse); }
    EXPECT_EQ(AfxGetApp(), nullptr);
    EXPECT_EQ(AfxGetInstanceHandle(), ::GetModuleHandleW(nullptr));
}
