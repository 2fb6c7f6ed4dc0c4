#include "skin/offscreen_frame.h"

OffscreenFrame::OffscreenFrame(HWND hwnd, HDC dc)
    : scale_(DisplayScale::Of(hwnd)), own_(std::in_place, hwnd, dc), buffer_(*own_) {
    Begin(buffer_.ok() ? buffer_.dc() : dc);
}

OffscreenFrame::OffscreenFrame(HWND hwnd, BackBuffer& lent)
    : scale_(DisplayScale::Of(hwnd)), buffer_(lent) {
    Begin(buffer_.dc());
}

void OffscreenFrame::Begin(HDC target) {
    logicalClient_ = scale_.ToLogical(buffer_.client());
    // Opaque white by GDI: GDI+ fills every pixel one by one, some 15 ms for
    // a frame at 200 %.
    PatBlt(target, 0, 0, buffer_.width(), buffer_.height(), WHITENESS);
    graphics_.emplace(target);
    if (!scale_.identity()) {
        graphics_->ScaleTransform(scale_.factor(), scale_.factor());
        graphics_->SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
    }
}

OffscreenFrame::~OffscreenFrame() {
    graphics_->Flush(Gdiplus::FlushIntentionSync);
    if (own_)
        own_->Present();
    graphics_.reset();
}
