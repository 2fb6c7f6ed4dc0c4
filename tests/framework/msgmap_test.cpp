// Windows with message maps: dispatch, base chaining, default processing,
// binding from the first message, window classes.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <string>
#include <vector>

// windowsx.h first: its SubclassWindow macro must not break CWnd.
#include <windowsx.h>

#include "framework/afxwin.h"
#include "fw_test_util.h"

namespace {

const UINT WM_FW_BASE_ONLY = WM_APP + 1;
const UINT WM_FW_DERIVED = WM_APP + 2;

class CBaseWnd : public CWnd {
public:
    std::vector<std::string> log;
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
        return CreateEx(0, AfxRegisterWndClass(0), L"base", style, rect, parent, id);
    }

protected:
    afx_msg void OnMouseMove(UINT nFlags, CPoint point) {
        log.push_back("base move " + std::to_string(point.x) + "," + std::to_string(point.y));
        CWnd::OnMouseMove(nFlags, point);
    }
    afx_msg LRESULT OnBaseOnly(WPARAM wParam, LPARAM) {
        log.push_back("base only");
        return static_cast<LRESULT>(wParam) + 1;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CBaseWnd, CWnd)
ON_WM_MOUSEMOVE()
ON_MESSAGE(WM_FW_BASE_ONLY, &CBaseWnd::OnBaseOnly)
END_MESSAGE_MAP()

class CDerivedWnd : public CBaseWnd {
public:
    UINT wheelFlags = 0;
    short wheelDelta = 0;
    CPoint wheelPoint;
    CWnd* cursorWnd = nullptr;
    UINT cursorHit = 0;
    UINT cursorMsg = 0;

protected:
    afx_msg void OnMouseMove(UINT nFlags, CPoint point) {
        log.push_back("derived move");
        CBaseWnd::OnMouseMove(nFlags, point);
    }
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point) {
        log.push_back("down " + std::to_string(nFlags) + " " + std::to_string(point.x) + "," +
                      std::to_string(point.y));
        CWnd::OnLButtonDown(nFlags, point);
    }
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point) {
        log.push_back("up " + std::to_string(point.x) + "," + std::to_string(point.y));
        CWnd::OnLButtonUp(nFlags, point);
    }
    afx_msg void OnMouseLeave() {
        log.push_back("leave");
        CWnd::OnMouseLeave();
    }
    afx_msg BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt) {
        wheelFlags = nFlags;
        wheelDelta = zDelta;
        wheelPoint = pt;
        return CWnd::OnMouseWheel(nFlags, zDelta, pt);
    }
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message) {
        cursorWnd = pWnd;
        cursorHit = nHitTest;
        cursorMsg = message;
        return TRUE;
    }
    afx_msg LRESULT OnDerived(WPARAM, LPARAM lParam) { return lParam * 2; }
    // Default processing of WM_SETTEXT through Default().
    afx_msg LRESULT OnSetText(WPARAM, LPARAM) {
        log.push_back("settext");
        return Default();
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDerivedWnd, CBaseWnd)
ON_WM_MOUSEMOVE()
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONUP()
ON_WM_MOUSELEAVE()
ON_WM_MOUSEWHEEL()
ON_WM_SETCURSOR()
ON_MESSAGE(WM_FW_DERIVED, &CDerivedWnd::OnDerived)
ON_MESSAGE(WM_SETTEXT, &CDerivedWnd::OnSetText)
END_MESSAGE_MAP()

const RECT kRect = {10, 10, 210, 110};

}  // namespace

TEST(MessageMap, DispatchesCrackedArgumentsAndChainsToBase) {
    CDerivedWnd wnd;
    ASSERT_TRUE(wnd.Create(WS_POPUP, kRect, nullptr, 0));

    // Negative client coordinates keep their sign.
    wnd.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(-5, 7));
    wnd.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 4));
    wnd.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(30, 40));
    wnd.SendMessage(WM_MOUSELEAVE);
    const std::vector<std::string> expected = {"derived move", "base move -5,7", "down 1 3,4",
                                               "up 30,40", "leave"};
    EXPECT_EQ(wnd.log, expected);

    // A message only the base class maps reaches the base's handler.
    EXPECT_EQ(wnd.SendMessage(WM_FW_BASE_ONLY, 41, 0), 42);
    EXPECT_EQ(wnd.SendMessage(WM_FW_DERIVED, 0, 21), 42);

    wnd.SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(MK_SHIFT, static_cast<WORD>(-120)),
                    MAKELPARAM(500, 600));
    EXPECT_EQ(wnd.wheelDelta, -120);
    EXPECT_EQ(wnd.wheelFlags, static_cast<UINT>(MK_SHIFT));
    EXPECT_EQ(wnd.wheelPoint, CPoint(500, 600));

    EXPECT_EQ(wnd.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(wnd.m_hWnd),
                              MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
              TRUE);
    EXPECT_EQ(wnd.cursorWnd, &wnd);
    EXPECT_EQ(wnd.cursorHit, static_cast<UINT>(HTCLIENT));
    EXPECT_EQ(wnd.cursorMsg, static_cast<UINT>(WM_MOUSEMOVE));
}

TEST(MessageMap, UnmappedMessagesAndDefaultReachTheDefaultProcedure) {
    CDerivedWnd wnd;
    ASSERT_TRUE(wnd.Create(WS_POPUP, kRect, nullptr, 0));
    // WM_SETTEXT is mapped and calls Default(); WM_GETTEXT is not mapped.
    wnd.SetWindowText(L"套餐 A");
    wchar_t text[32] = {};
    EXPECT_EQ(wnd.GetWindowText(text, 32), 4);
    EXPECT_STREQ(text, L"套餐 A");
    EXPECT_EQ(wnd.log.back(), "settext");
    EXPECT_EQ(wnd.GetWindowTextLength(), 4);
}

namespace {

// A drop list as the combo box makes it: a class whose procedure is DefWindowProcW.
class XProbeWnd : public CWnd {
public:
    std::vector<UINT> messages;
    int createResult = 0;
    bool created = false;
    bool sawCreateStruct = false;
    int ncDestroyCount = 0;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        messages.push_back(message);
        return CWnd::WindowProc(message, wParam, lParam);
    }
    void PostNcDestroy() override { ++ncDestroyCount; }
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct) {
        if (CWnd::OnCreate(lpCreateStruct) == -1) {
            return -1;
        }
        created = true;
        sawCreateStruct =
            lpCreateStruct != nullptr && std::wstring(lpCreateStruct->lpszName) == L"_fw_drop_wnd_";
        return createResult;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(XProbeWnd, CWnd)
ON_WM_CREATE()
END_MESSAGE_MAP()

const wchar_t kDropClass[] = L"_fw_drop_class_";

void RegisterDropClass() {
    WNDCLASSW wc{};
    wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(DKGRAY_BRUSH));
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kDropClass;
    ::RegisterClassW(&wc);  // a second registration fails: the class exists
}

}  // namespace

TEST(Binding, DefWindowProcClassReachesItsObjectFromTheFirstMessage) {
    RegisterDropClass();
    CBaseWnd parent;
    ASSERT_TRUE(parent.Create(WS_POPUP, kRect, nullptr, 0));
    XProbeWnd drop;
    ASSERT_TRUE(drop.CreateEx(0, kDropClass, L"_fw_drop_wnd_", WS_POPUP, 0, 0, 100, 200,
                              parent.m_hWnd, nullptr));
    EXPECT_TRUE(drop.created);
    EXPECT_TRUE(drop.sawCreateStruct);
    ASSERT_FALSE(drop.messages.empty());
    // The very first message of a pop-up is WM_GETMINMAXINFO or WM_NCCREATE.
    EXPECT_TRUE(drop.messages.front() == WM_GETMINMAXINFO || drop.messages.front() == WM_NCCREATE)
        << drop.messages.front();
    EXPECT_EQ(CWnd::FromHandlePermanent(drop.m_hWnd), &drop);

    // Later messages reach it too; the default procedure still works.
    drop.messages.clear();
    drop.SendMessage(WM_FW_DERIVED, 0, 0);
    ASSERT_EQ(drop.messages.size(), 1u);
    drop.SetWindowText(L"abc");
    wchar_t text[8] = {};
    drop.GetWindowText(text, 8);
    EXPECT_STREQ(text, L"abc");

    // Destroying from outside detaches the object.
    HWND hWnd = drop.m_hWnd;
    ::DestroyWindow(hWnd);
    EXPECT_EQ(drop.m_hWnd, nullptr);
    EXPECT_EQ(drop.ncDestroyCount, 1);
    EXPECT_EQ(CWnd::FromHandlePermanent(hWnd), nullptr);
}

TEST(Binding, OnCreateReturningMinusOneFailsTheCreation) {
    RegisterDropClass();
    const int before = CountThreadWindows();
    XProbeWnd drop;
    drop.createResult = -1;
    EXPECT_FALSE(
        drop.CreateEx(0, kDropClass, L"_fw_drop_wnd_", WS_POPUP, 0, 0, 100, 200, nullptr, nullptr));
    EXPECT_TRUE(drop.created);
    EXPECT_EQ(drop.m_hWnd, nullptr);
    EXPECT_EQ(CountThreadWindows(), before);
    // The object can be used again.
    drop.createResult = 0;
    EXPECT_TRUE(
        drop.CreateEx(0, kDropClass, L"_fw_drop_wnd_", WS_POPUP, 0, 0, 100, 200, nullptr, nullptr));
}

TEST(Binding, ObjectAbove4GiBIsStoredWhole) {
    // Place the object above 4 GiB so a truncated pointer could not find it.
    void* memory = nullptr;
    for (ULONG_PTR base = 0x7f0000000000ull; memory == nullptr && base > 0x100000000ull;
         base >>= 1) {
        memory = ::VirtualAlloc(reinterpret_cast<void*>(base), 0x10000, MEM_RESERVE | MEM_COMMIT,
                                PAGE_READWRITE);
    }
    ASSERT_NE(memory, nullptr);
    ASSERT_GT(reinterpret_cast<ULONG_PTR>(memory), 0xFFFFFFFFull);
    auto* wnd = new (memory) CDerivedWnd();
    ASSERT_TRUE(wnd->Create(WS_POPUP, kRect, nullptr, 0));
    EXPECT_EQ(CWnd::FromHandlePermanent(wnd->m_hWnd), wnd);
    EXPECT_EQ(::SendMessageW(wnd->m_hWnd, WM_FW_DERIVED, 0, 5), 10);
    wnd->~CDerivedWnd();
    ::VirtualFree(memory, 0, MEM_RELEASE);
}

TEST(Binding, DestroyingTheObjectDestroysTheWindow) {
    HWND hWnd = nullptr;
    {
        CDerivedWnd wnd;
        ASSERT_TRUE(wnd.Create(WS_POPUP, kRect, nullptr, 0));
        hWnd = wnd.m_hWnd;
        EXPECT_TRUE(::IsWindow(hWnd));
    }
    EXPECT_FALSE(::IsWindow(hWnd));
}

TEST(Binding, FromHandleGivesBoundObjectsOrTemporaryWrappers) {
    CBaseWnd parent;
    ASSERT_TRUE(parent.Create(WS_POPUP, kRect, nullptr, 0));
    CDerivedWnd child;
    ASSERT_TRUE(child.Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 50, 50), &parent, 77));
    EXPECT_EQ(child.GetParent(), &parent);
    EXPECT_EQ(parent.GetDlgItem(77), &child);
    EXPECT_EQ(child.GetDlgCtrlID(), 77);
    EXPECT_NE(child.GetStyle() & WS_CHILD, 0u);

    HWND plain = ::CreateWindowExW(0, L"STATIC", L"plain", WS_CHILD, 0, 0, 5, 5, parent.m_hWnd,
                                   reinterpret_cast<HMENU>(78), nullptr, nullptr);
    CWnd* temp = parent.GetDlgItem(78);
    ASSERT_NE(temp, nullptr);
    EXPECT_EQ(temp->m_hWnd, plain);
    EXPECT_EQ(CWnd::FromHandle(plain), temp);  // the same wrapper until idle
    EXPECT_EQ(CWnd::FromHandlePermanent(plain), nullptr);
    AfxDeleteTempMap();
    EXPECT_TRUE(::IsWindow(plain));  // freeing a wrapper never destroys the window
    EXPECT_EQ(parent.GetDlgItem(79), nullptr);
}

TEST(WindowClass, AfxRegisterWndClassReusesItsClasses) {
    LPCTSTR a = AfxRegisterWndClass(0);
    LPCTSTR b = AfxRegisterWndClass(0);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a, b);
    EXPECT_EQ(std::wstring(a).rfind(L"Afx:", 0), 0u);

    HCURSOR arrow = ::LoadCursorW(nullptr, IDC_ARROW);
    HBRUSH white = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
    LPCTSTR c = AfxRegisterWndClass(CS_DBLCLKS, arrow, white);
    ASSERT_NE(c, nullptr);
    EXPECT_NE(std::wstring(a), std::wstring(c));
    EXPECT_EQ(std::wstring(c), std::wstring(AfxRegisterWndClass(CS_DBLCLKS, arrow, white)));

    WNDCLASSW info{};
    ASSERT_TRUE(::GetClassInfoW(AfxGetInstanceHandle(), c, &info));
    EXPECT_EQ(info.lpfnWndProc, &AfxWndProc);
    EXPECT_EQ(info.style, static_cast<UINT>(CS_DBLCLKS));
    EXPECT_EQ(info.hCursor, arrow);
    EXPECT_EQ(info.hbrBackground, white);

    // A window of that class without an object still works (default procedure),
    // and default erasing uses the class brush.
    HWND plain =
        ::CreateWindowExW(0, c, L"x", WS_POPUP, 0, 0, 20, 20, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(plain, nullptr);
    HDC dc = ::GetDC(plain);
    EXPECT_NE(::SendMessageW(plain, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0), 0);
    ::ReleaseDC(plain, dc);
    ::DestroyWindow(plain);
}

namespace {

class CColorParent : public CWnd {
public:
    UINT lastCode = 99;
    CWnd* lastWnd = nullptr;
    CBrush brush{RGB(1, 2, 3)};
    HBRUSH defaultBrush = nullptr;

protected:
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) {
        defaultBrush = CWnd::OnCtlColor(pDC, pWnd, nCtlColor);
        lastCode = nCtlColor;
        lastWnd = pWnd;
        if (nCtlColor == CTLCOLOR_STATIC) {
            pDC->SetBkMode(TRANSPARENT);
            pDC->SetTextColor(RGB(9, 8, 7));
            return brush;
        }
        return defaultBrush;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CColorParent, CWnd)
ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

}  // namespace

TEST(Controls, CtlColorMessagesMapToOnCtlColorWithMfcCodes) {
    CColorParent parent;
    ASSERT_TRUE(parent.CreateEx(0, AfxRegisterWndClass(0), nullptr, WS_POPUP, kRect, nullptr, 0));
    CEdit edit;
    ASSERT_TRUE(edit.Create(WS_VISIBLE | ES_READONLY | ES_AUTOHSCROLL, CRect(6, 2, 100, 20),
                            &parent, 7001));
    HDC dc = ::GetDC(edit.m_hWnd);
    LRESULT r = parent.SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                   reinterpret_cast<LPARAM>(edit.m_hWnd));
    EXPECT_EQ(reinterpret_cast<HBRUSH>(r), static_cast<HBRUSH>(parent.brush));
    EXPECT_EQ(parent.lastCode, static_cast<UINT>(CTLCOLOR_STATIC));
    EXPECT_EQ(parent.lastWnd, &edit);
    EXPECT_EQ(::GetBkMode(dc), TRANSPARENT);
    EXPECT_EQ(::GetTextColor(dc), RGB(9, 8, 7));

    r = parent.SendMessage(WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                           reinterpret_cast<LPARAM>(edit.m_hWnd));
    EXPECT_EQ(parent.lastCode, static_cast<UINT>(CTLCOLOR_EDIT));
    EXPECT_EQ(reinterpret_cast<HBRUSH>(r), parent.defaultBrush);  // default processing's brush
    EXPECT_NE(parent.defaultBrush, nullptr);
    ::ReleaseDC(edit.m_hWnd, dc);

    // The read-only edit asks its parent with WM_CTLCOLORSTATIC when it paints.
    parent.lastCode = 99;
    parent.ShowWindow(SW_SHOWNOACTIVATE);
    edit.Invalidate();
    edit.UpdateWindow();
    EXPECT_EQ(parent.lastCode, static_cast<UINT>(CTLCOLOR_STATIC));
}

TEST(Controls, EditTextLimitAndFontRoundTrip) {
    CBaseWnd parent;
    ASSERT_TRUE(parent.Create(WS_POPUP, kRect, nullptr, 0));
    CEdit edit;
    ASSERT_TRUE(edit.Create(WS_VISIBLE | ES_AUTOHSCROLL, CRect(0, 0, 150, 24), &parent, 1000));
    EXPECT_EQ(CWnd::FromHandlePermanent(edit.m_hWnd), &edit);

    edit.SetWindowText(L"手机 12345");
    wchar_t text[32] = {};
    EXPECT_EQ(edit.GetWindowText(text, 32), 8);
    EXPECT_STREQ(text, L"手机 12345");

    edit.SetWindowText(L"13800138000");
    char narrow[31] = {};
    EXPECT_EQ(parent.GetDlgItemTextA(1000, narrow, 31), 11u);
    EXPECT_STREQ(narrow, "13800138000");
    // Truncated to the buffer, always terminated.
    char small[5] = {};
    parent.GetDlgItemTextA(1000, small, 5);
    EXPECT_STREQ(small, "1380");

    edit.SetLimitText(15);
    EXPECT_EQ(edit.GetLimitText(), 15u);

    LOGFONTW lf{};
    lf.lfHeight = 18;
    lf.lfWeight = 352;
    lf.lfQuality = PROOF_QUALITY;
    lf.lfPitchAndFamily = 0x12;
    wcscpy(lf.lfFaceName, L"微软雅黑");
    CFont font;
    ASSERT_TRUE(font.CreateFontIndirect(&lf));
    edit.SetFont(&font);
    EXPECT_EQ(reinterpret_cast<HFONT>(edit.SendMessage(WM_GETFONT)), static_cast<HFONT>(font));
}

TEST(Controls, DetachGivesASubclassedEditItsOwnProcedureBack) {
    CBaseWnd parent;
    ASSERT_TRUE(parent.Create(WS_POPUP, kRect, nullptr, 0));
    HWND plain = ::CreateWindowExW(0, L"EDIT", L"", WS_CHILD, 0, 0, 50, 20, parent.m_hWnd,
                                   reinterpret_cast<HMENU>(1001), nullptr, nullptr);
    ASSERT_NE(plain, nullptr);
    const LONG_PTR own = ::GetWindowLongPtrW(plain, GWLP_WNDPROC);
    {
        CEdit edit;
        ASSERT_TRUE(edit.SubclassWindow(plain));
        EXPECT_NE(::GetWindowLongPtrW(plain, GWLP_WNDPROC), own);
        EXPECT_EQ(edit.Detach(), plain);
    }  // the object goes, the window stays
    ASSERT_TRUE(::IsWindow(plain));
    EXPECT_EQ(::GetWindowLongPtrW(plain, GWLP_WNDPROC), own);
    EXPECT_EQ(CWnd::FromHandlePermanent(plain), nullptr);
    // Still an edit: DefWindowProcW would answer 0 here.
    ::SendMessageW(plain, EM_SETLIMITTEXT, 15, 0);
    EXPECT_EQ(::SendMessageW(plain, EM_GETLIMITTEXT, 0, 0), 15);
}

TEST(Geometry, MoveCenterAndCoordinates) {
    CBaseWnd wnd;
    ASSERT_TRUE(wnd.Create(WS_POPUP, kRect, nullptr, 0));
    wnd.MoveWindow(0, 0, 800, 600);
    CRect client;
    wnd.GetClientRect(&client);
    EXPECT_EQ(client.Width(), 800);
    EXPECT_EQ(client.Height(), 600);

    wnd.CenterWindow();
    CRect window;
    wnd.GetWindowRect(&window);
    MONITORINFO mi{};
    mi.cbSize = sizeof(mi);
    ::GetMonitorInfoW(::MonitorFromWindow(wnd.m_hWnd, MONITOR_DEFAULTTOPRIMARY), &mi);
    const CRect work(mi.rcWork);
    EXPECT_LE(std::abs((window.left + window.right) / 2 - (work.left + work.right) / 2), 1);
    EXPECT_LE(std::abs((window.top + window.bottom) / 2 - (work.top + work.bottom) / 2), 1);

    CPoint p(10, 20);
    wnd.ClientToScreen(&p);
    EXPECT_EQ(p, CPoint(window.left + 10, window.top + 20));
    wnd.ScreenToClient(&p);
    EXPECT_EQ(p, CPoint(10, 20));

    CRect r(0, 0, 10, 10);
    EXPECT_TRUE(r.PtInRect(CPoint(0, 0)));
    EXPECT_FALSE(r.PtInRect(CPoint(10, 5)));  // right edge outside
}
