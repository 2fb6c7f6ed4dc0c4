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

// The views of a window an element shows in, one bit per view number of the
// owning window (its own enum); a view outside 0..31 shows nothing.
constexpr unsigned kEveryView = ~0u;
constexpr unsigned ViewBit(int view) {
    return view >= 0 && view < 32 ? 1u << view : 0u;
}

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
    unsigned views = kEveryView;  // the owning window's views (ViewBit) that show it
    // Its place among the window's keyboard stops, from 1 up (equal places
    // keep list order); 0: the keyboard passes it by.
    int focusOrder = 0;
    // A stop also while hidden: a table row scrolled out of view, brought
    // into view when it takes the focus.
    bool focusWhileHidden = false;
    // The owner's datum: a pay method's pay type, a pager cell's page, a list
    // item's value.
    int value = 0;
    // For an element the window draws itself (no picture): which of its
    // drawings it takes (a pager cell's kind).
    BYTE look = 0;
};

// One row of a window's static element table: everything the window's
// elements are, short of what its data changes later.
struct SkinElementRecord {
    int pictureId;
    int left;
    int top;
    int right;
    int bottom;
    const wchar_t* name = L"";
    ElementRole role = ElementRole::PushButton;
    unsigned views = kEveryView;
    int focusOrder = 0;
    int group = 0;
    int value = 0;
    bool checked = false;  // a choice chosen when the window starts
    // The picture over this many pixels at the element's left (a choice's
    // mark beside the brand's logo the backdrop prints); 0: over all of it.
    int pictureWidth = 0;
};

// Builds a window's elements in table order, each with its action the row's
// index (`firstAction` + index) and its picture from SkinPictures, in the
// variant for a display of `dpi`. A choice's byte means "chosen" (set for a
// checked row), any other's "hovered" (0).
std::vector<SkinElement> BuildSkinElements(const SkinElementRecord* records, size_t count, UINT dpi,
                                           int firstAction = 0);

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
