// Test-only program: one window with two combo boxes as the program uses them
// (the store front's 286 x 25 selector with 4 items, the payment page's
// 250 x 26 one with 7), logging what happens for a test that drives it with
// real pointer input:
//   combo_demo <log file> [seconds]      closes by itself after `seconds` (60)
// Log lines (UTF-8): "ready", "notice a=<index>:<text> b=<index>:<text>",
// "drop a|b visible=0|1".
#include <windows.h>
#include <gdiplus.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "controls/xcommbox.h"
#include "framework/afxapp.h"
#include "framework/afxwnd.h"
#include "framework/afxmsgmap.h"
#include "skin/gdiplus_session.h"

namespace {

const RECT kRectA{40, 60, 326, 85};
const RECT kRectB{360, 60, 610, 86};
constexpr UINT_PTR kWatchTimer = 1;
constexpr UINT_PTR kEndTimer = 2;

std::string Utf8(const std::wstring& text) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(n > 0 ? n - 1 : 0, '\0');
    if (n > 1) {
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out.data(), n, nullptr, nullptr);
    }
    return out;
}

class DemoWindow : public CWnd {
public:
    DemoWindow(FILE* log, UINT seconds) : log_(log) {
        CreateEx(0, AfxRegisterWndClass(0, LoadCursorW(nullptr, IDC_ARROW)), L"combo demo",
                 WS_POPUP | WS_VISIBLE, 100, 100, 640, 420, nullptr, nullptr);
        a_.Create(WS_CHILD | WS_VISIBLE, kRectA, this, 6661);
        a_.UpdateWindow();
        b_.Create(WS_CHILD | WS_VISIBLE, kRectB, this, 6662);
        b_.UpdateWindow();
        const wchar_t* const names[] = {L"一个月套餐", L"三个月套餐", L"半年套餐", L"一年套餐",
                                        L"两年套餐",   L"三年套餐",   L"永久套餐"};
        for (int i = 0; i < 4; ++i) {
            a_.dropWnd.AddItem(names[i], 10 + i);
        }
        for (int i = 0; i < 7; ++i) {
            b_.dropWnd.AddItem(names[i], 20 + i);
        }
        a_.SelectInitial();
        b_.SelectInitial();
        SetTimer(m_hWnd, kWatchTimer, 30, nullptr);
        SetTimer(m_hWnd, kEndTimer, seconds * 1000, nullptr);
        Log("ready");
    }

protected:
    afx_msg BOOL OnEraseBkgnd(CDC* pDC) {
        RECT client;
        GetClientRect(&client);
        FillRect(*pDC, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        HBRUSH frame = CreateSolidBrush(RGB(0xCC, 0xCC, 0xCC));
        for (RECT r : {kRectA, kRectB}) {
            InflateRect(&r, 3, 3);
            FrameRect(*pDC, &r, frame);
        }
        DeleteObject(frame);
        return TRUE;
    }
    afx_msg LRESULT OnComboSelect(WPARAM, LPARAM) {
        Log("notice a=" + State(a_) + " b=" + State(b_));
        return 0;
    }
    afx_msg LRESULT OnTimer(WPARAM id, LPARAM) {
        if (id == kEndTimer) {
            DestroyWindow();
            return 0;
        }
        Watch(a_, "a", visibleA_);
        Watch(b_, "b", visibleB_);
        return 0;
    }
    DECLARE_MESSAGE_MAP()

private:
    static std::string State(XCommbox& combo) {
        wchar_t text[128] = {};
        ::GetWindowTextW(combo.edit.m_hWnd, text, 128);
        return std::to_string(combo.dropWnd.selectedIndex) + ":" + Utf8(text);
    }
    void Watch(XCommbox& combo, const char* name, bool& last) {
        const bool visible = combo.dropWnd.IsWindowVisible() != FALSE;
        if (visible != last) {
            last = visible;
            Log(std::string("drop ") + name + " visible=" + (visible ? "1" : "0"));
        }
    }
    void Log(const std::string& line) {
        std::fprintf(log_, "%s\n", line.c_str());
        std::fflush(log_);
    }

    FILE* log_;
    XCommbox a_;
    XCommbox b_;
    bool visibleA_ = false;
    bool visibleB_ = false;
};

BEGIN_MESSAGE_MAP(DemoWindow, CWnd)
ON_WM_ERASEBKGND()
ON_MESSAGE(WM_COMBO_SELECT, &DemoWindow::OnComboSelect)
ON_MESSAGE(WM_TIMER, &DemoWindow::OnTimer)
END_MESSAGE_MAP()

class DemoApp : public CWinApp {
public:
    BOOL InitInstance() override {
        int argc = 0;
        LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
        if (argv == nullptr || argc < 2) {
            return FALSE;
        }
        log_ = _wfopen(argv[1], L"w");
        const UINT seconds = argc > 2 ? static_cast<UINT>(_wtoi(argv[2])) : 60;
        LocalFree(argv);
        if (log_ == nullptr) {
            return FALSE;
        }
        gdiplus_ = std::make_unique<GdiplusSession>();
        if (!gdiplus_->started()) {
            return FALSE;
        }
        window_ = std::make_unique<DemoWindow>(log_, seconds > 0 ? seconds : 60);
        m_pMainWnd = window_.get();
        return TRUE;
    }
    int ExitInstance() override {
        window_.reset();
        gdiplus_.reset();
        if (log_ != nullptr) {
            std::fclose(log_);
        }
        return CWinApp::ExitInstance();
    }

private:
    FILE* log_ = nullptr;
    std::unique_ptr<GdiplusSession> gdiplus_;  // outlives the window's pictures
    std::unique_ptr<DemoWindow> window_;
};

DemoApp theApp;

}  // namespace
