#include "skin/offscreen_frame.h"

OffscreenFrame::OffscreenFrame(HWND hwnd, HDC dc) : buffer_(hwnd, dc) {
    graphics_.emplace(buffer_.ok() ? buffer_.dc() : dc);
    graphics_->Clear(Gdiplus::Color(0xFFFFFFFF));
}

OffscreenFrame::~OffscreenFrame() {
    graphics_->Flush(Gdiplus::FlushIntentionSync);
    buffer_.Present();
    graphics_.reset();
}
