#include "test_pictures.h"

std::unique_ptr<Gdiplus::Bitmap> MakeTwoFramePicture(int width, int height, Gdiplus::ARGB left,
                                                     Gdiplus::ARGB right, int oddColumn,
                                                     Gdiplus::ARGB oddColour) {
    std::unique_ptr<Gdiplus::Bitmap> picture(
        new Gdiplus::Bitmap(width, height, PixelFormat32bppARGB));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            Gdiplus::ARGB c = x < width / 2 ? left : right;
            if (x == oddColumn)
                c = oddColour;
            picture->SetPixel(x, y, Gdiplus::Color(c));
        }
    }
    return picture;
}

std::uint32_t RgbAt(Gdiplus::Bitmap& bitmap, int x, int y) {
    Gdiplus::Color c;
    bitmap.GetPixel(x, y, &c);
    return c.GetValue() & 0x00FFFFFF;
}
