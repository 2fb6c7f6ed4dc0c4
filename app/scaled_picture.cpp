#include "app/scaled_picture.h"

Gdiplus::Image* ScaledPicture::Get(Gdiplus::Image* source, UINT width, UINT height) {
    if (source == source_ && width == width_ && height == height_ && scaled_) {
        return scaled_.get();
    }
    scaled_.reset();
    source_ = source;
    width_ = width;
    height_ = height;
    if (source == nullptr || width == 0 || height == 0) {
        return nullptr;
    }
    auto scaled = std::make_unique<Gdiplus::Bitmap>(
        static_cast<INT>(width), static_cast<INT>(height), PixelFormat32bppPARGB);
    if (scaled->GetLastStatus() != Gdiplus::Ok) {
        return nullptr;
    }
    Gdiplus::Graphics graphics(scaled.get());
    if (graphics.DrawImage(source, 0, 0, static_cast<INT>(width), static_cast<INT>(height)) !=
        Gdiplus::Ok) {
        return nullptr;
    }
    scaled_ = std::move(scaled);
    return scaled_.get();
}
