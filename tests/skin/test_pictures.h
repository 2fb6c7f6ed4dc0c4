#pragma once
// In-memory pictures with known pixels, and pixel reading, for the drawing
// tests.
#include <windows.h>
#include <gdiplus.h>

#include <cstdint>
#include <memory>

// A picture W x H whose columns [0, split) are `left` and the rest `right`;
// column `odd` (if any) is `oddColour`.
std::unique_ptr<Gdiplus::Bitmap> MakeTwoFramePicture(int width, int height, Gdiplus::ARGB left,
                                                     Gdiplus::ARGB right, int oddColumn = -1,
                                                     Gdiplus::ARGB oddColour = 0);

// 0x00RRGGBB of a pixel of a 32-bit GDI+ bitmap.
std::uint32_t RgbAt(Gdiplus::Bitmap& bitmap, int x, int y);
