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

// Room for one picture object, so that a picture made after another one went
// has the same address as the one that went (as an allocator may give it).
class PictureSlot {
public:
    PictureSlot() = default;
    PictureSlot(const PictureSlot&) = delete;
    PictureSlot& operator=(const PictureSlot&) = delete;
    // A picture of one colour in the slot, shared; the slot must be free (no
    // holder left of the last one).
    std::shared_ptr<Gdiplus::Image> Solid(int width, int height, Gdiplus::ARGB colour);

private:
    alignas(Gdiplus::Bitmap) unsigned char storage_[sizeof(Gdiplus::Bitmap)] = {};
};

// 0xAARRGGBB of one pixel.
Gdiplus::ARGB PixelOf(Gdiplus::Bitmap& bitmap, int x, int y);
