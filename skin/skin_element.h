#pragma once
// Picture buttons: a rectangle drawn from one of two frames that lie side by
// side in its picture (left: normal, right: hovered or chosen).
#include <windows.h>
#include <gdiplus.h>

#include <cstddef>
#include <memory>
#include <vector>

// Owns its picture, so it moves but never copies: a window's elements free
// their pictures with the window's object, which must go while GDI+ runs.
struct SkinElement {
    BYTE hover = 0;  // 1 while the pointer is over it; also picks the frame drawn
    RECT rect{};     // client coordinates, right and bottom exclusive
    std::unique_ptr<Gdiplus::Image> picture;
};

// One row of a window's static element table.
struct SkinElementRecord {
    int pictureId;
    int left;
    int top;
    int right;
    int bottom;
};

// Builds a window's elements in table order, each with hover 0 and a picture
// loaded for it alone with LoadPngResource.
std::vector<SkinElement> BuildSkinElements(const SkinElementRecord* records, size_t count);

template <size_t N>
std::vector<SkinElement> BuildSkinElements(const SkinElementRecord (&records)[N]) {
    return BuildSkinElements(records, N);
}

// Draws the frame that `element.hover` selects, stretched into `dest`: for a
// picture W x H the part from x hover * W / 2, W / 2 wide and H high (unsigned,
// truncated, so an odd last column is never shown), UnitPixel, no image
// attributes. A missing picture draws nothing.
void DrawSkinElement(Gdiplus::Graphics& graphics, const SkinElement& element, const RECT& dest);

// Same, into the element's own rectangle.
inline void DrawSkinElement(Gdiplus::Graphics& graphics, const SkinElement& element) {
    DrawSkinElement(graphics, element, element.rect);
}

// Draws every element in vector order.
void DrawSkinElements(Gdiplus::Graphics& graphics, const std::vector<SkinElement>& elements);
