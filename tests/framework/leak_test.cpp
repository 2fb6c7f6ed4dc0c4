// Create/destroy cycles of windows, controls, dialogs and GDI wrappers leave no
// GDI or USER objects behind.
#include <gtest/gtest.h>

#include "framework/afxdialogex.h"
#include "framework/afxstate.h"
#include "framework/afxwin.h"
#include "fw_test_resource.h"
#include "fw_test_util.h"
#include "process_stats.h"

namespace {

long LiveUserObjects() {
    // Windows of this thread where GetGuiResources is a stub.
    DWORD count = ::GetGuiResources(::GetCurrentProcess(), GR_USEROBJECTS);
    return count != 0 ? static_cast<long>(count) : CountThreadWindows();
}

class CPainted : public CWnd {
public:
    int paints = 0;

protected:
    afx_msg void OnPaint() {
        CPaintDC dc(this);
        ++paints;
        dc.SetBkMode(TRANSPARENT);
        ::TextOutW(dc, 4, 4, L"套餐", 2);
    }
    afx_msg BOOL OnEraseBkgnd(CDC* pDC) {
        CBrush brush(RGB(10, 20, 30));
        RECT rc;
        GetClientRect(&rc);
        ::FillRect(pDC->GetSafeHdc(), &rc, brush);
        return TRUE;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CPainted, CWnd)
ON_WM_PAINT()
ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

class CQuickDlg : public CDialogEx {
public:
    explicit CQuickDlg(UINT id) : CDialogEx(id) {}
    bool endInInit = true;
    CEdit edit;

    BOOL OnInitDialog() override {
        CDialogEx::OnInitDialog();
        if (endInInit) {
            CDialog::OnOK();
            return FALSE;
        }
        ShowWindow(SW_SHOWNOACTIVATE);
        PostMessage(WM_COMMAND, IDOK);
        return FALSE;
    }

protected:
    void DoDataExchange(CDataExchange* pDX) override { DDX_Control(pDX, IDC_FW_EDIT, edit); }
};

void OneCycle() {
    CPainted host;
    host.CreateEx(0, AfxRegisterWndClass(CS_HREDRAW, ::LoadCursorW(nullptr, IDC_ARROW)), L"host",
                  WS_POPUP, 0, 0, 300, 200, nullptr, nullptr);
    // Not activated: under Wine without a window manager, hiding an activated
    // (managed) window waits two seconds for the window manager.
    host.ShowWindow(SW_SHOWNOACTIVATE);
    host.UpdateWindow();
    EXPECT_EQ(host.paints, 1);
    host.UpdateWindow();  // EndPaint validated the window: no second paint
    EXPECT_EQ(host.paints, 1);

    LOGFONTW lf{};
    lf.lfHeight = 18;
    wcscpy(lf.lfFaceName, L"微软雅黑");
    CFont font;
    font.CreateFontIndirect(&lf);
    CBrush nullBrush;
    nullBrush.CreateStockObject(NULL_BRUSH);
    CEdit edit;
    edit.Create(WS_VISIBLE | ES_READONLY, CRect(6, 2, 100, 20), &host, 7001);
    edit.SetFont(&font);
    edit.SetWindowText(L"套餐");
    edit.UpdateWindow();

    CDialogEx page;
    page.Create(IDD_FW_CHILD, &host);
    page.ShowWindow(SW_SHOW);
    PumpPending();
    // host, edit, page, font, brushes go out of scope here
}

}  // namespace

TEST(Leaks, CreateDestroyCyclesLeaveNoGdiOrUserObjects) {
    OneCycle();  // warm up the system caches
    {
        CQuickDlg warm(IDD_FW_MODAL);
        warm.DoModal();
    }
    PumpPending();
    const long gdiBefore = LiveGdiObjects();
    const long userBefore = LiveUserObjects();

    for (int i = 0; i < 40; ++i) {
        OneCycle();
    }
    for (int i = 0; i < 8; ++i) {
        CQuickDlg ended(IDD_FW_VISIBLE);
        EXPECT_EQ(ended.DoModal(), IDOK);
        CQuickDlg looped(IDD_FW_MODAL);
        looped.endInInit = false;
        EXPECT_EQ(looped.DoModal(), IDOK);
    }
    PumpPending();
    AfxDeleteTempMap();

    const long gdiAfter = LiveGdiObjects();
    EXPECT_LE(gdiAfter - gdiBefore, 2);
    EXPECT_EQ(LiveUserObjects(), userBefore);
    EXPECT_EQ(AfxGetThreadState().hookCount, 0);
    EXPECT_EQ(AfxGetThreadState().hHookCbt, nullptr);
}

TEST(Leaks, GdiWrappersDeleteOwnedObjectsOnly) {
    HGDIOBJ owned = nullptr;
    HGDIOBJ stock = ::GetStockObject(NULL_BRUSH);
    {
        CBrush brush;
        ASSERT_TRUE(brush.CreateSolidBrush(RGB(1, 2, 3)));
        owned = brush.GetSafeHandle();
        CBrush nullBrush;
        ASSERT_TRUE(nullBrush.CreateStockObject(NULL_BRUSH));
        EXPECT_EQ(static_cast<HBRUSH>(nullBrush), stock);
    }
    EXPECT_EQ(::GetObjectType(owned), 0u);  // deleted
    EXPECT_EQ(::GetObjectType(stock), static_cast<DWORD>(OBJ_BRUSH));

    CFont font;
    LOGFONTW lf{};
    lf.lfHeight = 12;
    ASSERT_TRUE(font.CreateFontIndirect(&lf));
    HGDIOBJ first = font.GetSafeHandle();
    ASSERT_TRUE(font.CreateFontIndirect(&lf));  // replaces and deletes the first
    EXPECT_EQ(::GetObjectType(first), 0u);
    EXPECT_EQ(::GetObjectType(font.GetSafeHandle()), static_cast<DWORD>(OBJ_FONT));
}
