#include "skin_test_window.h"

#include <utility>

#include "dib_canvas.h"
#include "framework/afxapp.h"
#include "skin/offscreen_frame.h"

SkinTestWindow::SkinTestWindow(std::vector<SkinElement> elements, int width, int height,
                               const wchar_t* caption)
    : width_(width), height_(height), elements_(std::move(elements)), caption_(caption) {
    CreateEx(0, AfxRegisterWndClass(0), caption, WS_POPUP, 40, 40, width, height, nullptr, nullptr);
    ShowWindow(SW_SHOWNOACTIVATE);
    UpdateWindow();
}

SkinTestWindow::~SkinTestWindow() {
    DestroyWindow();
    PumpPending();
}

void SkinTestWindow::Compose(OffscreenFrame& frame) {
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
    return CaptureErasePaint(m_hWnd, width_, height_);
}
