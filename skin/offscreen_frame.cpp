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
    graphics_.emplace(target);
    graphics_->Clear(Gdiplus::Color(0xFFFFFFFF));
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
