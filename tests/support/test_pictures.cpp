#include "test_pictures.h"

#include <new>

std::unique_ptr<Gdiplus::Bitmap> TwoFramePicture(int width, int height, Gdiplus::ARGB left,
                                                 Gdiplus::ARGB right, int oddColumn,
                                                 Gdiplus::ARGB oddColour) {
    auto picture = std::make_unique<Gdiplus::Bitmap>(width, height, PixelFormat32bppARGB);
    Gdiplus::Graphics g(picture.get());
    // Colours land as given, translucent ones too.
    g.SetCompositingMode(Gdiplus::CompositingModeSourceCopy);
    Gdiplus::SolidBrush leftBrush{Gdiplus::Color(left)};
    Gdiplus::SolidBrush rightBrush{Gdiplus::Color(right)};
    g.FillRectangle(&leftBrush, 0, 0, width / 2, height);
    g.FillRectangle(&rightBrush, width / 2, 0, width - width / 2, height);
    if (oddColumn >= 0) {
        Gdiplus::SolidBrush oddBrush{Gdiplus::Color(oddColour)};
        g.FillRectangle(&oddBrush, oddColumn, 0, 1, height);
    }
    return picture;
}

std::unique_ptr<Gdiplus::Bitmap> SolidPicture(int width, int height, Gdiplus::ARGB colour) {
    return TwoFramePicture(width, height, colour, colour);
}

std::shared_ptr<Gdiplus::Image> PictureSlot::Solid(int width, int height, Gdiplus::ARGB colour) {
    auto* picture = ::new (storage_) Gdiplus::Bitmap(width, height, PixelFormat32bppARGB);
    {
        Gdiplus::Graphics g(picture);
        g.Clear(Gdiplus::Color(colour));
    }
    return std::shared_ptr<Gdiplus::Image>(picture, [](Gdiplus::Image* p) { p->~Image(); });
}

Gdiplus::ARGB PixelOf(Gdiplus::Bitmap& bitmap, int x, int y) {
    Gdiplus::Color c;
    bitmap.GetPixel(x, y, &c);
    return c.GetValue();
}
