#pragma once
// A picture kept ready at the size it is drawn at. Stretching a picture is by
// far the dearest step of a paint, and the store front stretches the same
// product picture to the same size at every repaint; with the copy, each
// paint only copies pixels.
#include <windows.h>
#include <gdiplus.h>

#include <memory>

class ScaledPicture {
public:
    ScaledPicture() = default;
    ScaledPicture(const ScaledPicture&) = delete;
    ScaledPicture& operator=(const ScaledPicture&) = delete;

    // `source` stretched to width x height (the same interpolation as a direct
    // draw), made on the first call and again whenever source or size change.
    // Null when the copy cannot be made; the caller then draws `source` itself.
    Gdiplus::Image* Get(Gdiplus::Image* source, UINT width, UINT height);

private:
    Gdiplus::Image* source_ = nullptr;
    UINT width_ = 0;
    UINT height_ = 0;
    std::unique_ptr<Gdiplus::Bitmap> scaled_;
};
