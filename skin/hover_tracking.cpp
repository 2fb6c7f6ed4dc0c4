#include "skin/hover_tracking.h"

namespace {

bool IsExempt(SkinElementMask exempt, size_t index) {
    return (exempt & SkinElementBit(index)) != 0;
}

void SetHover(HWND hwnd, SkinElement& element, BYTE hover) {
    if (element.hover == hover)
        return;
    element.hover = hover;
    InvalidateRect(hwnd, &element.rect, TRUE);
}

}  // namespace

void HoverTracker::OnMouseMove(HWND hwnd, std::vector<SkinElement>& elements, POINT p,
                               SkinElementMask exempt) {
    if (trackLeave_ == 1) {
        TRACKMOUSEEVENT request{};
        request.cbSize = sizeof request;
        request.dwFlags = TME_LEAVE;
        request.hwndTrack = hwnd;
        request.dwHoverTime = 3;  // has no effect without TME_HOVER
        TrackMouseEvent(&request);
        trackLeave_ = 0;
    }
    for (size_t i = 0; i < elements.size(); ++i) {
        if (IsExempt(exempt, i))
            continue;
        SetHover(hwnd, elements[i], PtInRect(&elements[i].rect, p) ? 1 : 0);
    }
}

void HoverTracker::OnMouseLeave(HWND hwnd, std::vector<SkinElement>& elements,
                                SkinElementMask exempt) {
    for (size_t i = 0; i < elements.size(); ++i) {
        if (!IsExempt(exempt, i))
            SetHover(hwnd, elements[i], 0);
    }
    trackLeave_ = 1;
}

int HitTestSkinElements(const std::vector<SkinElement>& elements, POINT p, SkinElementMask exempt) {
    for (size_t i = 0; i < elements.size(); ++i) {
        if (!IsExempt(exempt, i) && PtInRect(&elements[i].rect, p))
            return static_cast<int>(i);
    }
    return -1;
}
