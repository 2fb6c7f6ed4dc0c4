#include "pages/detail_box.h"

#include "base/gdiplus_new.h"
#include "skin/display_scale.h"

namespace {

Gdiplus::RectF BoxF(const RECT& r) {
    return Gdiplus::RectF(static_cast<Gdiplus::REAL>(r.left), static_cast<Gdiplus::REAL>(r.top),
                          static_cast<Gdiplus::REAL>(r.right - r.left),
                          static_cast<Gdiplus::REAL>(r.bottom - r.top));
}

// Copies device `box` between the target's device context and the kept picture, one
// pixel to one pixel, so the kept text looks exactly as it was drawn.
bool CopyBox(Gdiplus::Graphics& target, Gdiplus::Bitmap& kept, const RECT& box, bool toKept) {
    Gdiplus::Graphics keptGraphics(&kept);
    HDC keptDc = keptGraphics.GetHDC();
    if (keptDc == nullptr)
        return false;
    HDC targetDc = target.GetHDC();
    bool copied = false;
    if (targetDc != nullptr) {
        const int w = box.right - box.left;
        const int h = box.bottom - box.top;
        copied = toKept ? BitBlt(keptDc, 0, 0, w, h, targetDc, box.left, box.top, SRCCOPY) != FALSE
                        : BitBlt(targetDc, box.left, box.top, w, h, keptDc, 0, 0, SRCCOPY) != FALSE;
        target.ReleaseHDC(targetDc);
    }
    keptGraphics.ReleaseHDC(keptDc);
    return copied;
}

}  // namespace

void DetailBox::Draw(Gdiplus::Graphics& graphics, PaintTools& tools, const DisplayScale& scale,
                     const std::wstring& text, const RECT& box, Gdiplus::ARGB argb) {
    if (text.size() <= kLaidOutEveryPaint) {
        tools.DrawText(graphics, text.c_str(), BoxF(box), tools.Font(10), tools.NearFormat(), argb);
        return;
    }
    // The kept pixels are the device's: the box at the frame's scale.
    const RECT device = scale.ToDeviceBounds(box);
    if (kept_ && keptText_ == text && EqualRect(&keptBox_, &device) &&
        CopyBox(graphics, *kept_, device, false)) {
        return;
    }
    tools.DrawText(graphics, text.c_str(), BoxF(box), tools.Font(10), tools.NearFormat(), argb);
    kept_ = NewGdiplus<Gdiplus::Bitmap>(device.right - device.left, device.bottom - device.top,
                                        PixelFormat32bppRGB);
    if (!kept_ || kept_->GetLastStatus() != Gdiplus::Ok ||
        !CopyBox(graphics, *kept_, device, true)) {
        kept_.reset();
        return;
    }
    keptText_ = text;
    keptBox_ = device;
}
