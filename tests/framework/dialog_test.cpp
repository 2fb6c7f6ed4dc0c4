// Dialogs from templates: modal loop, EndDialog inside OnInitDialog, child
// dialogs, the key filter, data exchange.
#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>

#include "framework/afxdialogex.h"
#include "framework/afxwin.h"
#include "fw_test_resource.h"
#include "fw_test_util.h"

namespace {

const UINT WM_FW_STEP = WM_APP + 10;
const UINT_PTR kSafetyTimer = 99;

// An edit that counts what reaches its object.
class CSpyEdit : public CEdit {
public:
    int setTextCount = 0;
    int charCount = 0;

protected:
    afx_msg LRESULT OnSetText(WPARAM, LPARAM) {
        ++setTextCount;
        return Default();
    }
    afx_msg LRESULT OnChar(WPARAM, LPARAM) {
        ++charCount;
        return Default();
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CSpyEdit, CEdit)
ON_MESSAGE(WM_SETTEXT, &CSpyEdit::OnSetText)
ON_MESSAGE(WM_CHAR, &CSpyEdit::OnChar)
END_MESSAGE_MAP()

// A dialog scripted by the test: steps run in order, each from a posted message,
// so they interleave with posted input as the loop sees it.
class CTestDlg : public CDialogEx {
public:
    explicit CTestDlg(UINT id, CWnd* parent = nullptr) : CDialogEx(id, parent) {}

    std::function<BOOL(CTestDlg&)> onInit;  // after the base OnInitDialog
    bool filterKeys = false;                // the application's key filter
    bool bindEdit = false;                  // DDX_Control of the edit
    CSpyEdit edit;
    int okCount = 0;
    int cancelCount = 0;
    int initCount = 0;
    bool visibleInInit = false;
    int showEvents = 0;  // WM_SHOWWINDOW(TRUE) and SWP_SHOWWINDOW seen
    HWND createdHwnd = nullptr;

    // Shows the dialog without activating it, so the loop does not show it
    // activated: under Wine without a window manager, hiding an activated
    // window waits two seconds.
    void ShowQuietly() { ShowWindow(SW_SHOWNOACTIVATE); }

    void Step(std::function<void()> step) {
        steps.push_back(std::move(step));
        PostMessage(WM_FW_STEP);
    }

    BOOL OnInitDialog() override {
        CDialogEx::OnInitDialog();
        ++initCount;
        createdHwnd = m_hWnd;
        ::SetTimer(m_hWnd, kSafetyTimer, 5000, nullptr);  // never hang a test
        BOOL result = onInit ? onInit(*this) : TRUE;
        visibleInInit = visibleInInit || (m_hWnd != nullptr && IsWindowVisible());
        return result;
    }
    void OnOK() override {
        ++okCount;
        CDialogEx::OnOK();
    }
    void OnCancel() override {
        ++cancelCount;
        CDialogEx::OnCancel();
    }
    BOOL PreTranslateMessage(MSG* pMsg) override {
        if (filterKeys && pMsg->message == WM_KEYDOWN) {
            if (pMsg->wParam == VK_RETURN) {
                return TRUE;
            }
            if (pMsg->wParam == VK_ESCAPE) {
                OnCancel();
            }
        }
        return CDialogEx::PreTranslateMessage(pMsg);
    }

protected:
    void DoDataExchange(CDataExchange* pDX) override {
        CDialogEx::DoDataExchange(pDX);
        if (bindEdit) {
            DDX_Control(pDX, IDC_FW_EDIT, edit);
        }
    }
    afx_msg LRESULT OnStep(WPARAM, LPARAM) {
        if (!steps.empty()) {
            auto step = std::move(steps.front());
            steps.pop_front();
            step();
        }
        return 0;
    }
    afx_msg LRESULT OnTimer(WPARAM id, LPARAM) {
        if (id == kSafetyTimer) {
            EndDialog(-2);
        }
        return 0;
    }
    afx_msg LRESULT OnShowWindow(WPARAM shown, LPARAM) {
        showEvents += shown ? 1 : 0;
        return Default();
    }
    afx_msg LRESULT OnPosChanged(WPARAM, LPARAM lParam) {
        if (reinterpret_cast<WINDOWPOS*>(lParam)->flags & SWP_SHOWWINDOW) {
            ++showEvents;
        }
        return Default();
    }
    DECLARE_MESSAGE_MAP()

private:
    std::deque<std::function<void()>> steps;
};

BEGIN_MESSAGE_MAP(CTestDlg, CDialogEx)
ON_MESSAGE(WM_FW_STEP, &CTestDlg::OnStep)
ON_MESSAGE(WM_TIMER, &CTestDlg::OnTimer)
ON_MESSAGE(WM_SHOWWINDOW, &CTestDlg::OnShowWindow)
ON_MESSAGE(WM_WINDOWPOSCHANGED, &CTestDlg::OnPosChanged)
END_MESSAGE_MAP()

void PostKey(HWND hWnd, WPARAM vk) {
    ::PostMessageW(hWnd, WM_KEYDOWN, vk, 1);
}

}  // namespace

TEST(Modal, ReturnsTheEndDialogCodeAndShowsTheDialog) {
    // The loop shows the dialog activated; under Wine without a window manager
    // its hide then waits two seconds (the other tests show theirs quietly).
    CTestDlg dlg(IDD_FW_MODAL);
    bool visibleInLoop = false;
    dlg.onInit = [&](CTestDlg& d) {
        d.Step([&] {
            visibleInLoop = dlg.IsWindowVisible() != FALSE;
            dlg.EndDialog(1234);
        });
        return TRUE;
    };
    EXPECT_EQ(dlg.DoModal(), 1234);
    EXPECT_TRUE(visibleInLoop);  // the loop shows a template without WS_VISIBLE
    EXPECT_EQ(dlg.m_hWnd, nullptr);
    EXPECT_FALSE(::IsWindow(dlg.createdHwnd));

    // The same object runs again; a timer drives it this time.
    dlg.onInit = [](CTestDlg& d) {
        d.ShowQuietly();
        ::SetTimer(d.m_hWnd, kSafetyTimer, 10, nullptr);
        return TRUE;
    };
    EXPECT_EQ(dlg.DoModal(), -2);
    EXPECT_EQ(dlg.initCount, 2);
}

TEST(Modal, MissingTemplateOrALiveWindowFails) {
    CTestDlg dlg(4242);
    EXPECT_EQ(dlg.DoModal(), -1);
    EXPECT_EQ(dlg.initCount, 0);

    // An object that already has a (modeless) window keeps it.
    CTestDlg page(IDD_FW_CHILD);
    CWnd host;
    ASSERT_TRUE(host.CreateEx(0, AfxRegisterWndClass(0), nullptr, WS_POPUP, 0, 0, 50, 50, nullptr,
                              nullptr));
    ASSERT_TRUE(page.Create(IDD_FW_CHILD, &host));
    HWND pageWnd = page.m_hWnd;
    EXPECT_EQ(page.DoModal(), -1);
    EXPECT_EQ(page.m_hWnd, pageWnd);
    EXPECT_TRUE(::IsWindow(pageWnd));
    EXPECT_EQ(page.initCount, 1);
}

TEST(Modal, EndDialogInsideOnInitDialogEndsBeforeTheWindowIsShown) {
    CTestDlg dlg(IDD_FW_VISIBLE);  // WS_VISIBLE template, like the main window
    dlg.onInit = [](CTestDlg& d) {
        d.CDialog::OnOK();
        return FALSE;
    };
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.initCount, 1);
    EXPECT_FALSE(dlg.visibleInInit);
    EXPECT_EQ(dlg.showEvents, 0);
    EXPECT_FALSE(::IsWindow(dlg.createdHwnd));
    EXPECT_EQ(dlg.m_hWnd, nullptr);
}

TEST(Modal, AnimateWindowInsideOnInitDialogShowsIt) {
    CTestDlg dlg(IDD_FW_VISIBLE);
    bool visibleInLoop = false;
    CRect client;
    dlg.onInit = [&](CTestDlg& d) {
        d.MoveWindow(0, 0, 400, 300);
        d.CenterWindow();
        d.AnimateWindow(30, AW_SLIDE | AW_VER_POSITIVE);
        d.Step([&] {
            visibleInLoop = dlg.IsWindowVisible() != FALSE;
            dlg.GetClientRect(&client);
            dlg.EndDialog(5);
        });
        return TRUE;
    };
    EXPECT_EQ(dlg.DoModal(), 5);
    EXPECT_TRUE(dlg.visibleInInit);
    EXPECT_TRUE(visibleInLoop);
    EXPECT_EQ(client.Width(), 400);
}

TEST(Modal, WmQuitEndsTheLoopAndIsPassedOn) {
    CTestDlg dlg(IDD_FW_MODAL);
    dlg.onInit = [](CTestDlg& d) {
        d.ShowQuietly();
        ::PostQuitMessage(17);
        return TRUE;
    };
    EXPECT_EQ(dlg.DoModal(), -1);
    MSG msg;
    ASSERT_TRUE(::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 17u);
}

TEST(Modal, NestedDialogDisablesItsOwnerAndReturnsToIt) {
    CTestDlg outer(IDD_FW_MODAL);
    INT_PTR innerResult = 0;
    bool outerDisabled = false;
    outer.onInit = [&](CTestDlg& d) {
        d.ShowQuietly();
        d.Step([&] {
            CTestDlg inner(IDD_FW_MODAL, &outer);
            inner.onInit = [&](CTestDlg& i) {
                i.ShowQuietly();
                i.Step([&] {
                    outerDisabled = !outer.IsWindowEnabled();
                    inner.EndDialog(3);
                });
                return TRUE;
            };
            innerResult = inner.DoModal();
            outer.Step([&] { outer.EndDialog(outer.IsWindowEnabled() ? 4 : -4); });
        });
        return TRUE;
    };
    EXPECT_EQ(outer.DoModal(), 4);
    EXPECT_EQ(innerResult, 3);
    EXPECT_TRUE(outerDisabled);
}

TEST(KeyFilter, EnterIsSwallowedAndEscapeCancels) {
    CTestDlg dlg(IDD_FW_MODAL);
    dlg.filterKeys = true;
    int okAfterEnter = -1;
    bool runningAfterEnter = false;
    dlg.onInit = [&](CTestDlg& d) {
        d.ShowQuietly();
        HWND edit = ::GetDlgItem(d.m_hWnd, IDC_FW_EDIT);
        ::SetFocus(edit);
        PostKey(edit, VK_RETURN);
        PostKey(d.m_hWnd, VK_RETURN);
        d.Step([&] {
            okAfterEnter = dlg.okCount;
            runningAfterEnter = dlg.IsWindowVisible() != FALSE;
            PostKey(::GetDlgItem(dlg.m_hWnd, IDC_FW_EDIT), VK_ESCAPE);
        });
        return FALSE;
    };
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(okAfterEnter, 0);
    EXPECT_TRUE(runningAfterEnter);
    EXPECT_EQ(dlg.okCount, 0);
    EXPECT_GE(dlg.cancelCount, 1);
}

TEST(KeyFilter, WithoutAFilterTheDialogManagerTurnsKeysIntoOkAndCancel) {
    CTestDlg enter(IDD_FW_MODAL);
    enter.onInit = [](CTestDlg& d) {
        d.ShowQuietly();
        HWND edit = ::GetDlgItem(d.m_hWnd, IDC_FW_EDIT);
        ::SetFocus(edit);
        PostKey(edit, VK_RETURN);
        return FALSE;
    };
    EXPECT_EQ(enter.DoModal(), IDOK);
    EXPECT_EQ(enter.okCount, 1);

    CTestDlg escape(IDD_FW_MODAL);
    escape.onInit = [](CTestDlg& d) {
        d.ShowQuietly();
        PostKey(::GetDlgItem(d.m_hWnd, IDC_FW_EDIT), VK_ESCAPE);
        return TRUE;
    };
    EXPECT_EQ(escape.DoModal(), IDCANCEL);
    EXPECT_EQ(escape.cancelCount, 1);
}

TEST(ChildDialog, CreatedFromATemplateAndCancelOnlyHidesIt) {
    CTestDlg host(IDD_FW_VISIBLE);
    CTestDlg page(IDD_FW_CHILD);
    page.filterKeys = true;
    BOOL created = FALSE;
    bool pageIsChild = false;
    bool pageVisibleAfterCreate = true;
    bool pageHiddenByEscape = false;
    bool pageAlive = false;
    int pageOkAfterEnter = -1;
    host.onInit = [&](CTestDlg& h) {
        h.ShowQuietly();
        created = page.Create(IDD_FW_CHILD, &h);
        pageIsChild = page.GetParent() == &h && (page.GetStyle() & WS_CHILD) != 0;
        pageVisibleAfterCreate = page.IsWindowVisible() != FALSE;
        page.MoveWindow(0, 24, 200, 100);
        page.ShowWindow(SW_SHOW);
        PostKey(page.m_hWnd, VK_RETURN);
        PostKey(page.m_hWnd, VK_ESCAPE);
        h.Step([&] {
            pageOkAfterEnter = page.okCount;
            pageHiddenByEscape = !page.IsWindowVisible();
            pageAlive = ::IsWindow(page.m_hWnd) != FALSE;
            host.EndDialog(9);
        });
        return TRUE;
    };
    EXPECT_EQ(host.DoModal(), 9);  // the page's cancel did not end the host
    EXPECT_TRUE(created);
    EXPECT_EQ(page.initCount, 1);
    EXPECT_TRUE(pageIsChild);
    EXPECT_FALSE(pageVisibleAfterCreate);
    EXPECT_EQ(pageOkAfterEnter, 0);
    EXPECT_GE(page.cancelCount, 1);
    EXPECT_TRUE(pageHiddenByEscape);
    EXPECT_TRUE(pageAlive);
    EXPECT_EQ(host.cancelCount, 0);
    EXPECT_EQ(page.m_hWnd, nullptr);  // destroyed with its parent
}

TEST(ChildDialog, EndDialogInsideOnInitDialogFailsTheCreation) {
    CTestDlg parent(IDD_FW_VISIBLE);
    CTestDlg page(IDD_FW_CHILD);
    page.onInit = [](CTestDlg& p) {
        p.EndDialog(IDCANCEL);
        return TRUE;
    };
    BOOL created = TRUE;
    bool pageWindowGone = false;
    parent.onInit = [&](CTestDlg& p) {
        created = page.Create(IDD_FW_CHILD, &p);
        pageWindowGone = !::IsWindow(page.createdHwnd) && page.m_hWnd == nullptr;
        p.EndDialog(1);
        return TRUE;
    };
    EXPECT_EQ(parent.DoModal(), 1);
    EXPECT_FALSE(created);
    EXPECT_TRUE(pageWindowGone);
}

TEST(DataExchange, DdxControlBindsTheTemplateControlToTheMember) {
    CTestDlg dlg(IDD_FW_VISIBLE);
    dlg.bindEdit = true;
    bool boundInInit = false;
    char narrow[31] = {};
    int charsSeen = -1;
    dlg.onInit = [&](CTestDlg& d) {
        d.ShowQuietly();
        boundInInit = d.edit.m_hWnd == ::GetDlgItem(d.m_hWnd, IDC_FW_EDIT) &&
                      d.GetDlgItem(IDC_FW_EDIT) == &d.edit;
        d.edit.SetLimitText(15);
        d.edit.SetWindowText(L"13912345678");
        d.edit.SetSel(11, 11);
        ::PostMessageW(d.edit.m_hWnd, WM_CHAR, '5', 1);
        d.Step([&] {
            charsSeen = dlg.edit.charCount;
            dlg.GetDlgItemTextA(IDC_FW_EDIT, narrow, 31);
            dlg.EndDialog(IDOK);
        });
        return FALSE;
    };
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_TRUE(boundInInit);
    EXPECT_GE(dlg.edit.setTextCount, 1);
    EXPECT_EQ(charsSeen, 1);
    // The posted digit went through the bound object into the control.
    EXPECT_STREQ(narrow, "139123456785");
    EXPECT_EQ(dlg.edit.m_hWnd, nullptr);  // detached when the dialog was destroyed

    // A second run binds the new dialog's control again.
    dlg.onInit = [&](CTestDlg& d) {
        boundInInit = d.edit.m_hWnd == ::GetDlgItem(d.m_hWnd, IDC_FW_EDIT);
        d.EndDialog(IDOK);
        return TRUE;
    };
    boundInInit = false;
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_TRUE(boundInInit);
}
