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

DibCanvas::DibCanvas(int w, int h) : width(w), height(h) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* raw = nullptr;
    dc = CreateCompatibleDC(nullptr);
    bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &raw, nullptr, 0);
    bits = static_cast<DWORD*>(raw);
    old = SelectObject(dc, bitmap);
}

DibCanvas::~DibCanvas() {
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
}
