#include "app/scaled_picture.h"

#include <algorithm>
#include <climits>

#include "base/gdiplus_new.h"

ScaledPicture::Picture ScaledPicture::Get(const Picture& source, UINT width, UINT height, UINT rows,
                                          Gdiplus::InterpolationMode mode) {
    rows = std::min(rows, height);
    if (scaled_ && MadeFor(source, width, height, rows, mode))
        return scaled_;
    mode_ = mode;
    scaled_.reset();
    made_ = false;
    source_ = source;
    width_ = width;
    height_ = height;
    rows_ = rows;
    if (source == nullptr || width == 0 || rows == 0 || width > INT_MAX || height > INT_MAX) {
        return nullptr;
    }
    std::unique_ptr<Gdiplus::Bitmap> scaled = NewGdiplus<Gdiplus::Bitmap>(
        static_cast<INT>(width), static_cast<INT>(rows), PixelFormat32bppPARGB);
    if (!scaled || scaled->GetLastStatus() != Gdiplus::Ok) {
        return nullptr;
    }
    // Drawn at its full stretched size; the copy's edge cuts off the rows below.
    Gdiplus::Graphics graphics(scaled.get());
    if (mode != Gdiplus::InterpolationModeDefault)
        graphics.SetInterpolationMode(mode);
    if (graphics.DrawImage(source.get(), 0, 0, static_cast<INT>(width), static_cast<INT>(height)) !=
        Gdiplus::Ok) {
        return nullptr;
    }
    scaled_ = std::move(scaled);
    made_ = true;
    return scaled_;
}
