#include "store/deferred_picture.h"

#include <climits>
#include <utility>

#include "base/gdiplus_new.h"
#include "store/picture_file.h"

DeferredPicture::DeferredPicture(std::wstring path, std::unique_ptr<Gdiplus::Image> decoded)
    : path_(std::move(path)), decoded_(std::move(decoded)) {}

Gdiplus::Image* DeferredPicture::Decoded() {
    if (!decoded_)
        decoded_ = LoadPictureFile(path_);
    return decoded_.get();
}

std::shared_ptr<Gdiplus::Image> DeferredPicture::At(UINT width, UINT height) {
    if (scaled_ && width == width_ && height == height_)
        return scaled_;
    scaled_.reset();
    width_ = width;
    height_ = height;
    Gdiplus::Image* source = Decoded();
    if (source == nullptr || source->GetLastStatus() != Gdiplus::Ok || width == 0 || height == 0 ||
        width > INT_MAX || height > INT_MAX)
        return nullptr;
    std::unique_ptr<Gdiplus::Bitmap> scaled = NewGdiplus<Gdiplus::Bitmap>(
        static_cast<INT>(width), static_cast<INT>(height), PixelFormat32bppPARGB);
    if (!scaled || scaled->GetLastStatus() != Gdiplus::Ok)
        return nullptr;
    {
        Gdiplus::Graphics graphics(scaled.get());
        if (graphics.DrawImage(source, 0, 0, static_cast<INT>(width), static_cast<INT>(height)) !=
            Gdiplus::Ok)
            return nullptr;
    }
    scaled_ = std::move(scaled);
    decoded_.reset();
    return scaled_;
}
