#pragma once
// Pictures of plain colours for the painting tests, and pixel reading.
#include <windows.h>
#include <gdiplus.h>

#include <memory>

#include "dib_canvas.h"

// A w x h picture of one colour.
std::unique_ptr<Gdiplus::Bitmap> SolidPicture(int width, int height, Gdiplus::ARGB colour);

// A two-frame picture: left half `normal`, right half `hovered`.
std::unique_ptr<Gdiplus::Bitmap> TwoFramePicture(int width, int height, Gdiplus::ARGB normal,
                                                 Gdiplus::ARGB hovered);

// 0xAARRGGBB of one pixel.
Gdiplus::ARGB PixelOf(Gdiplus::Bitmap& bitmap, int x, int y);
