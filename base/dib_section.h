#pragma once
// A top-down 32-bit DIB section: the pixel buffer that kept frames, backdrops
// and read-back canvases draw into, row 0 at the top, 4 bytes per pixel.
#include <windows.h>

// Null when the size is empty or the system refuses; `bits` (optional)
// receives the first pixel. The caller owns the bitmap (DeleteObject).
inline HBITMAP CreateTopDownDib(HDC dc, int width, int height, void** bits = nullptr) {
    if (width <= 0 || height <= 0)
        return nullptr;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* pixels = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    if (bits != nullptr)
        *bits = bitmap != nullptr ? pixels : nullptr;
    return bitmap;
}
