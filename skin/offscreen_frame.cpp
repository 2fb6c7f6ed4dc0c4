#include "skin/offscreen_frame.h"

OffscreenFrame::OffscreenFrame(HWND hwnd, HDC dc) : target_(dc) {
    GetClientRect(hwnd, &client_);
    if (width() > 0 && height() > 0) {
        memoryDc_ = CreateCompatibleDC(dc);
        // Compatible with the given context, not the memory one, which would
        // give a monochrome bitmap.
        bitmap_ = memoryDc_ ? CreateCompatibleBitmap(dc, width(), height()) : nullptr;
        if (bitmap_) {
            oldBitmap_ = SelectObject(memoryDc_, bitmap_);
        } else if (memoryDc_) {
            DeleteDC(memoryDc_);
            memoryDc_ = nullptr;
        }
    }
    graphics_.emplace(memoryDc_ ? memoryDc_ : dc);
    graphics_->Clear(Gdiplus::Color(0xFFFFFFFF));
}

OffscreenFrame::~OffscreenFrame() {
    graphics_->Flush(Gdiplus::FlushIntentionSync);
    if (memoryDc_) {
        BitBlt(target_, 0, 0, width(), height(), memoryDc_, 0, 0, SRCCOPY);
    }
    graphics_.reset();
    if (memoryDc_) {
        SelectObject(memoryDc_, oldBitmap_);
        DeleteObject(bitmap_);
        DeleteDC(memoryDc_);
    }
}
