#pragma once
// Hover tracking of a skinned window's picture buttons: the first mouse move
// arms a leave notification; every move updates each element's hover byte and
// repaints only the elements that changed; the leave clears them all.
#include <windows.h>

#include <cstdint>
#include <vector>

#include "skin/skin_element.h"

// Elements a window keeps out of hover tracking, one bit per vector index
// (a page whose byte means "chosen" exempts those elements).
using SkinElementMask = std::uint32_t;

constexpr SkinElementMask SkinElementBit(size_t index) {
    return index < 32 ? SkinElementMask{1} << index : 0;
}

class HoverTracker {
public:
    // WM_MOUSEMOVE at client point `p`.
    void OnMouseMove(HWND hwnd, std::vector<SkinElement>& elements, POINT p,
                     SkinElementMask exempt = 0);
    // WM_MOUSELEAVE.
    void OnMouseLeave(HWND hwnd, std::vector<SkinElement>& elements, SkinElementMask exempt = 0);

    // 1 while the next move must ask for a leave notification.
    BYTE trackLeave() const { return trackLeave_; }

private:
    BYTE trackLeave_ = 1;
};

// Index of the first element, in vector order, whose rectangle holds `p`
// (PtInRect), skipping exempt ones; -1 when none does.
int HitTestSkinElements(const std::vector<SkinElement>& elements, POINT p,
                        SkinElementMask exempt = 0);
