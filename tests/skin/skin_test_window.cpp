#include "skin_test_window.h"

#include <windowsx.h>

#include <utility>

#include "dib_canvas.h"
#include "skin/offscreen_frame.h"

namespace {

const wchar_t kClassName[] = L"ParvelleSkinTestWindow";

void RegisterOnce(WNDPROC proc) {
    static bool registered = false;
    if (registered)
        return;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kClassName;
    registered = RegisterClassExW(&wc) != 0;
}

}  // namespace

SkinTestWindow::SkinTestWindow(std::vector<SkinElement> elements, int width, int height,
                               const wchar_t* caption)
    : width_(width), height_(height), elements_(std::move(elements)), caption_(caption) {
    RegisterOnce(&Proc);
    hwnd_ = CreateWindowExW(0, kClassName, caption, WS_POPUP, 40, 40, width, height, nullptr,
                            nullptr, GetModuleHandleW(nullptr), this);
    ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
    UpdateWindow(hwnd_);
}

SkinTestWindow::~SkinTestWindow() {
    if (hwnd_)
        DestroyWindow(hwnd_);
    PumpPending();
}

LRESULT CALLBACK SkinTestWindow::Proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lparam);
        auto* self = static_cast<SkinTestWindow*>(create->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<SkinTestWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self)
        return self->Handle(hwnd, message, wparam, lparam);
    return DefWindowProcW(hwnd, message, wparam, lparam);
}

LRESULT SkinTestWindow::Handle(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_ERASEBKGND:
            Paint(reinterpret_cast<HDC>(wparam));
            return 1;
        case WM_MOUSEMOVE:
            elements_.OnMouseMove(hwnd_, POINT{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)});
            break;
        case WM_MOUSELEAVE:
            elements_.OnMouseLeave(hwnd_);
            return 0;
        case WM_NCDESTROY:
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            hwnd_ = nullptr;
            break;
        default:
            break;
    }
    return DefWindowProcW(hwnd, message, wparam, lparam);
}

void SkinTestWindow::Paint(HDC dc) {
    OffscreenFrame frame(hwnd_, dc);
    Gdiplus::Graphics& g = frame.graphics();
    PaintTools& tools = frame.tools();
    g.FillRectangle(&tools.Brush(kTitleBand), 0, 0, frame.width(), kTitleHeight);
    tools.DrawText(g, caption_, Gdiplus::RectF(80, 0, 240, 24),
                   tools.Font(9, Gdiplus::FontStyleBold), tools.CentredFormat(), 0xFFF6F6F6);
    tools.DrawText(g, L"画面文字", Gdiplus::RectF(10, 30, 200, 20), tools.Font(10),
                   tools.NearFormat(), 0xFF282D33);
    g.DrawLine(&tools.Pen(0xFFC6CFD2), 10, 52, 200, 52);
    elements_.Draw(g);
    ++paints;
    lastMemoryDc = frame.memoryDc();
    lastBitmap = frame.bitmap();
}

std::vector<std::uint32_t> SkinTestWindow::Capture() {
    return CaptureErasePaint(hwnd_, width_, height_);
}
