#pragma once
// Pictures of plain colours for the painting tests, and pixel reading.
#include <windows.h>
#include <gdiplus.h>

#include <memory>

// A w x h picture of one colour.
std::unique_ptr<Gdiplus::Bitmap> SolidPicture(int width, int height, Gdiplus::ARGB colour);

// A two-frame picture: left half `normal`, right half `hovered`.
std::unique_ptr<Gdiplus::Bitmap> TwoFramePicture(int width, int height, Gdiplus::ARGB normal,
                                                 Gdiplus::ARGB hovered);

// 0xAARRGGBB of one pixel.
Gdiplus::ARGB PixelOf(Gdiplus::Bitmap& bitmap, int x, int y);

// 0x00RRGGBB of a DIB section's pixel (top-down, 32 bits).
struct DibCanvas {
    DibCanvas(int width, int height);
    ~DibCanvas();
    DibCanvas(const DibCanvas&) = delete;
    DibCanvas& operator=(const DibCanvas&) = delete;

    DWORD Pixel(int x, int y) const { return bits[y * width + x] & 0xFFFFFF; }

    int width;
    int height;
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ old = nullptr;
    DWORD* bits = nullptr;
};
