#pragma once
// In-memory pictures with known pixels, and pixel reading, for the drawing
// tests.
#include <windows.h>
#include <gdiplus.h>

#include <memory>

// A picture whose left half is `left` and right half `right` (a button's
// normal and hovered frames); column `oddColumn`, if any, is `oddColour`.
std::unique_ptr<Gdiplus::Bitmap> TwoFramePicture(int width, int height, Gdiplus::ARGB left,
                                                 Gdiplus::ARGB right, int oddColumn = -1,
                                                 Gdiplus::ARGB oddColour = 0);
// A picture of one colour.
std::unique_ptr<Gdiplus::Bitmap> SolidPicture(int width, int height, Gdiplus::ARGB colour);

// 0xAARRGGBB of one pixel.
Gdiplus::ARGB PixelOf(Gdiplus::Bitmap& bitmap, int x, int y);
