#include "skin/kept_backdrop.h"

#include "base/dib_section.h"

void KeptBackdrop::Release() {
    selection_.reset();
    bitmap_.reset();
    dc_.reset();
    source_.reset();
    width_ = height_ = 0;
}

bool KeptBackdrop::Make(Gdiplus::Graphics& graphics, Gdiplus::Image& picture, int width,
                        int height) {
    Release();
    dc_.reset(CreateCompatibleDC(nullptr));
    if (dc_)
        bitmap_.reset(CreateTopDownDib(dc_.get(), width, height));
    if (bitmap_)
        selection_.emplace(dc_.get(), bitmap_.get());
    if (!selection_ || !selection_->ok()) {
        Release();
        return false;
    }
    {
        Gdiplus::Graphics kept(dc_.get());
        kept.Clear(Gdiplus::Color(0xFFFFFFFF));
        kept.SetInterpolationMode(graphics.GetInterpolationMode());
        kept.SetPixelOffsetMode(graphics.GetPixelOffsetMode());
        if (kept.DrawImage(&picture, 0, 0, width, height) != Gdiplus::Ok) {
            Release();
            return false;
        }
        kept.Flush(Gdiplus::FlushIntentionSync);
    }
    width_ = width;
    height_ = height;
    return true;
}

bool KeptBackdrop::MadeFrom(const std::shared_ptr<Gdiplus::Image>& picture) const {
    // The same owner: an expired reference is never equivalent to a live one.
    return bitmap_.valid() && !source_.owner_before(picture) && !picture.owner_before(source_);
}

void KeptBackdrop::Draw(Gdiplus::Graphics& graphics, const DisplayScale& scale,
                        const std::shared_ptr<Gdiplus::Image>& picture, const RECT& dest) {
    if (picture == nullptr)
        return;
    const RECT device = scale.ToDevice(dest);
    const int width = device.right - device.left;
    const int height = device.bottom - device.top;
    if (width <= 0 || height <= 0)
        return;
    if (!MadeFrom(picture) || width != width_ || height != height_) {
        if (!Make(graphics, *picture, width, height)) {
            // Drawn as it would be without a kept copy.
            graphics.DrawImage(picture.get(), static_cast<INT>(dest.left),
                               static_cast<INT>(dest.top), static_cast<INT>(dest.right - dest.left),
                               static_cast<INT>(dest.bottom - dest.top));
            return;
        }
        source_ = picture;
    }
    Blit(graphics, device);
}

bool KeptBackdrop::DrawKept(Gdiplus::Graphics& graphics, const DisplayScale& scale,
                            const RECT& dest) {
    const RECT device = scale.ToDevice(dest);
    if (!bitmap_ || device.right - device.left != width_ || device.bottom - device.top != height_)
        return false;
    Blit(graphics, device);
    return true;
}

void KeptBackdrop::Blit(Gdiplus::Graphics& graphics, const RECT& device) {
    HDC target = graphics.GetHDC();
    if (target == nullptr)
        return;
    BitBlt(target, device.left, device.top, width_, height_, dc_.get(), 0, 0, SRCCOPY);
    graphics.ReleaseHDC(target);
}
