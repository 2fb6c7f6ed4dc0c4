#include "skin/kept_backdrop.h"

#include "base/dib_section.h"
#include "skin/display_scale.h"

KeptBackdrop::~KeptBackdrop() {
    Release();
}

void KeptBackdrop::Release() {
    if (dc_ != nullptr) {
        SelectObject(dc_, old_);
        DeleteDC(dc_);
    }
    if (bitmap_ != nullptr)
        DeleteObject(bitmap_);
    dc_ = nullptr;
    bitmap_ = nullptr;
    old_ = nullptr;
    source_ = nullptr;
    width_ = height_ = 0;
}

bool KeptBackdrop::Make(Gdiplus::Graphics& graphics, Gdiplus::Image* picture, int width,
                        int height) {
    Release();
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ = CreateTopDownDib(dc_, width, height);
    if (dc_ == nullptr || bitmap_ == nullptr) {
        Release();
        return false;
    }
    old_ = SelectObject(dc_, bitmap_);
    {
        Gdiplus::Graphics kept(dc_);
        kept.Clear(Gdiplus::Color(0xFFFFFFFF));
        kept.SetInterpolationMode(graphics.GetInterpolationMode());
        kept.SetPixelOffsetMode(graphics.GetPixelOffsetMode());
        if (kept.DrawImage(picture, 0, 0, width, height) != Gdiplus::Ok) {
            Release();
            return false;
        }
        kept.Flush(Gdiplus::FlushIntentionSync);
    }
    source_ = picture;
    width_ = width;
    height_ = height;
    return true;
}

void KeptBackdrop::Draw(Gdiplus::Graphics& graphics, Gdiplus::Image* picture, const RECT& dest) {
    if (picture == nullptr)
        return;
    const RECT device = ScaleOf(graphics).ToDevice(dest);
    const int width = device.right - device.left;
    const int height = device.bottom - device.top;
    if (width <= 0 || height <= 0)
        return;
    if (picture != source_ || width != width_ || height != height_) {
        if (!Make(graphics, picture, width, height)) {
            // Drawn as it would be without a kept copy.
            graphics.DrawImage(picture, static_cast<INT>(dest.left), static_cast<INT>(dest.top),
                               static_cast<INT>(dest.right - dest.left),
                               static_cast<INT>(dest.bottom - dest.top));
            return;
        }
    }
    Blit(graphics, device);
}

bool KeptBackdrop::DrawKept(Gdiplus::Graphics& graphics, const RECT& dest) {
    const RECT device = ScaleOf(graphics).ToDevice(dest);
    if (bitmap_ == nullptr || device.right - device.left != width_ ||
        device.bottom - device.top != height_)
        return false;
    Blit(graphics, device);
    return true;
}

void KeptBackdrop::Blit(Gdiplus::Graphics& graphics, const RECT& device) {
    HDC target = graphics.GetHDC();
    if (target == nullptr)
        return;
    BitBlt(target, device.left, device.top, width_, height_, dc_, 0, 0, SRCCOPY);
    graphics.ReleaseHDC(target);
}
