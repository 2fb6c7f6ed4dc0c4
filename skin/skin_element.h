#pragma once
// The drawn elements of a skinned window: picture buttons, choices, cells and
// the like that the window paints itself instead of using system controls.
// Each one carries everything the window needs to paint it, hit-test it,
// track hover on it, act on a click and name it for people.
#include <windows.h>
#include <gdiplus.h>

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "skin/picture_cache.h"

// What an element is to a user, in the terms of standard controls.
enum class ElementRole : BYTE {
    PushButton,
    Choice,   // one of a group of which exactly one is chosen (the pay methods)
    Link,     // opens a web page
    Graphic,  // a picture that acts when clicked (the QR square)
    Cell,     // a page cell of a pager
};

// Shares its picture with the other elements and windows that draw it
// (SkinPictures); a window's elements let go of their pictures with the
// window's object, which must go while GDI+ runs.
struct SkinElement {
    BYTE hover = 0;       // picks the frame drawn: 1 while hovered, or while chosen
    RECT rect{};          // window client coordinates, right and bottom exclusive
    SkinPicture picture;  // two frames side by side; null: drawn by the window

    std::wstring name;  // the caption a user sees on it
    int action = 0;     // the owning window's meaning of a click (its own enum)
    ElementRole role = ElementRole::PushButton;
    bool shown = true;           // the current view draws it; a hidden one takes no mouse
    bool followsPointer = true;  // false when the byte means "chosen", not "hovered"
    RECT pictureRect{};          // where the picture goes when not over all of `rect`
    int pictureId = 0;           // the PNG resource of `picture`; 0: none
    // Elements of one window with the same non-zero group are one keyboard
    // stop: Tab enters it at the chosen one (followsPointer false, byte set)
    // or else the first, and the arrow keys move inside it.
    int group = 0;
};

// One row of a window's static element table.
struct SkinElementRecord {
    int pictureId;
    int left;
    int top;
    int right;
    int bottom;
    const wchar_t* name = L"";
    ElementRole role = ElementRole::PushButton;
};

// Builds a window's elements in table order, each with hover 0, its action
// the row's index and its picture from SkinPictures, in the variant for a
// display of `dpi`.
std::vector<SkinElement> BuildSkinElements(const SkinElementRecord* records, size_t count,
                                           UINT dpi);

template <size_t N>
std::vector<SkinElement> BuildSkinElements(const SkinElementRecord (&records)[N], UINT dpi = 96) {
    return BuildSkinElements(records, N, dpi);
}

// Draws the frame that `element.hover` selects, stretched into `dest`: for a
// picture W x H the part from x hover * W / 2, W / 2 wide and H high (unsigned,
// truncated, so an odd last column is never shown), UnitPixel, no image
// attributes. A missing picture draws nothing.
void DrawSkinElement(Gdiplus::Graphics& graphics, const SkinElement& element, const RECT& dest);

// Same, into the element's picture rectangle (its own rectangle unless set).
void DrawSkinElement(Gdiplus::Graphics& graphics, const SkinElement& element);
