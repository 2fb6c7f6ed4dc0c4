#include "skin/picture_frame.h"

void DrawPictureFrame(Gdiplus::Graphics& graphics, Gdiplus::Image* picture, int frame,
                      const Gdiplus::RectF& dest) {
    if (!picture)
        return;
    const UINT width = picture->GetWidth();
    const UINT height = picture->GetHeight();
    const UINT x = static_cast<UINT>(frame != 0 ? 1 : 0) * width / 2;
    graphics.DrawImage(picture, dest, static_cast<Gdiplus::REAL>(x), 0.0f,
                       static_cast<Gdiplus::REAL>(width / 2), static_cast<Gdiplus::REAL>(height),
                       Gdiplus::UnitPixel);
}
