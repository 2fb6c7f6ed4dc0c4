#include "test_pictures.h"

std::unique_ptr<Gdiplus::Bitmap> SolidPicture(int width, int height, Gdiplus::ARGB colour) {
    return TwoFramePicture(width, height, colour, colour);
}

std::unique_ptr<Gdiplus::Bitmap> TwoFramePicture(int width, int height, Gdiplus::ARGB normal,
                                                 Gdiplus::ARGB hovered) {
    auto picture = std::make_unique<Gdiplus::Bitmap>(width, height, PixelFormat32bppARGB);
    Gdiplus::Graphics g(picture.get());
    Gdiplus::SolidBrush left{Gdiplus::Color(normal)};
    Gdiplus::SolidBrush right{Gdiplus::Color(hovered)};
    g.FillRectangle(&left, 0, 0, width / 2, height);
    g.FillRectangle(&right, width / 2, 0, width - width / 2, height);
    return picture;
}

Gdiplus::ARGB PixelOf(Gdiplus::Bitmap& bitmap, int x, int y) {
    Gdiplus::Color c;
    bitmap.GetPixel(x, y, &c);
    return c.GetValue();
}
