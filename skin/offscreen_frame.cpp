#include "skin/offscreen_frame.h"

OffscreenFrame::OffscreenFrame(HWND hwnd, HDC dc) : own_(std::in_place, hwnd, dc), buffer_(*own_) {
    graphics_.emplace(buffer_.ok() ? buffer_.dc() : dc);
    graphics_->Clear(Gdiplus::Color(0xFFFFFFFF));
}

OffscreenFrame::OffscreenFrame(HWND /*hwnd*/, BackBuffer& lent) : buffer_(lent) {
    graphics_.emplace(buffer_.dc());
    graphics_->Clear(Gdiplus::Color(0xFFFFFFFF));
}

OffscreenFrame::~OffscreenFrame() {
    graphics_->Flush(Gdiplus::FlushIntentionSync);
    if (own_)
        own_->Present();
    graphics_.reset();
}
