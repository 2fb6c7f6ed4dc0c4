#include "combo_fixture.h"

#include <gdiplus.h>
#include <gtest/gtest.h>

BEGIN_MESSAGE_MAP(ComboTestParent, CWnd)
ON_WM_ERASEBKGND()
ON_MESSAGE(WM_COMBO_SELECT, &ComboTestParent::OnComboSelect)
END_MESSAGE_MAP()

ComboTestParent::ComboTestParent(int x, int y, int width, int height) {
    CreateEx(0, AfxRegisterWndClass(0, LoadCursorW(nullptr, IDC_ARROW)), L"combo test parent",
             WS_POPUP, x, y, width, height, nullptr, nullptr);
    // Not activated: under Wine without a window manager, hiding or destroying
    // an activated top-level window waits 2 s for the X server.
    ShowWindow(SW_SHOWNOACTIVATE);
    UpdateWindow();
}

BOOL ComboTestParent::OnEraseBkgnd(CDC* pDC) {
    RECT client;
    GetClientRect(&client);
    HBRUSH left = CreateSolidBrush(kLeftColour);
    HBRUSH right = CreateSolidBrush(kRightColour);
    FillRect(*pDC, &client, left);
    client.left = kSplitX;
    FillRect(*pDC, &client, right);
    DeleteObject(left);
    DeleteObject(right);
    return TRUE;
}

LRESULT ComboTestParent::OnComboSelect(WPARAM wParam, LPARAM lParam) {
    notices.push_back(
        ComboNotice{wParam, lParam, WindowText(combo.edit.m_hWnd), combo.dropWnd.selectedIndex});
    return 0;
}

void PumpPending() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void PumpFor(DWORD ms) {
    const DWORD start = GetTickCount();
    do {
        PumpPending();
        Sleep(5);
    } while (GetTickCount() - start < ms);
}

std::wstring WindowText(HWND hwnd) {
    wchar_t buffer[256] = {};
    GetWindowTextW(hwnd, buffer, 256);
    return buffer;
}

void FillCombo(XCommbox& combo, int count, const std::wstring& prefix) {
    for (int i = 0; i < count; ++i) {
        combo.dropWnd.items.push_back(XComboItem{0, RECT{}, prefix + std::to_wstring(i), 100 + i});
    }
}

Capture CaptureErase(HWND hwnd) {
    RECT client;
    GetClientRect(hwnd, &client);
    Capture capture;
    capture.width = client.right;
    capture.height = client.bottom;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = capture.width;
    info.bmiHeader.biHeight = -capture.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP dib = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, dib);
    // Poison first: a handler that draws nothing shows up.
    const size_t count = static_cast<size_t>(capture.width) * capture.height;
    std::fill_n(static_cast<std::uint32_t*>(bits), count, 0x00FF00FFu);
    SendMessageW(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    GdiFlush();
    const auto* p = static_cast<const std::uint32_t*>(bits);
    capture.pixels.assign(p, p + count);
    for (auto& px : capture.pixels) {
        px &= 0x00FFFFFF;
    }
    SelectObject(dc, old);
    DeleteObject(dib);
    DeleteDC(dc);
    return capture;
}

namespace {

// GDI+ runs for the whole executable, as the application runs it.
class GdiplusEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        Gdiplus::GdiplusStartupInput input;
        ASSERT_EQ(Gdiplus::GdiplusStartup(&token_, &input, nullptr), Gdiplus::Ok);
    }
    void TearDown() override { Gdiplus::GdiplusShutdown(token_); }

private:
    ULONG_PTR token_ = 0;
};

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new GdiplusEnvironment);

}  // namespace
