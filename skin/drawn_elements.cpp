#include "skin/drawn_elements.h"

namespace {

void SetHover(HWND hwnd, SkinElement& element, BYTE hover) {
    if (element.hover == hover)
        return;
    element.hover = hover;
    InvalidateRect(hwnd, &element.rect, TRUE);
}

}  // namespace

const SkinElement* DrawnElements::At(POINT p) const {
    for (const SkinElement& element : elements_) {
        if (element.shown && PtInRect(&element.rect, p))
            return &element;
    }
    return nullptr;
}

int DrawnElements::ActionAt(POINT p, int none) const {
    const SkinElement* element = At(p);
    return element ? element->action : none;
}

void DrawnElements::SetShown(size_t index, bool shown) {
    SkinElement& element = elements_[index];
    element.shown = shown;
    if (!shown && element.followsPointer)
        element.hover = 0;
}

void DrawnElements::OnMouseMove(HWND hwnd, POINT p) {
    if (trackLeave_ == 1) {
        TRACKMOUSEEVENT request{};
        request.cbSize = sizeof request;
        request.dwFlags = TME_LEAVE;
        request.hwndTrack = hwnd;
        request.dwHoverTime = 3;  // has no effect without TME_HOVER
        TrackMouseEvent(&request);
        trackLeave_ = 0;
    }
    for (SkinElement& element : elements_) {
        if (element.shown && element.followsPointer)
            SetHover(hwnd, element, PtInRect(&element.rect, p) ? 1 : 0);
    }
}

void DrawnElements::OnMouseLeave(HWND hwnd) {
    for (SkinElement& element : elements_) {
        if (element.followsPointer)
            SetHover(hwnd, element, 0);
    }
    trackLeave_ = 1;
}

void DrawnElements::Draw(Gdiplus::Graphics& graphics) const {
    for (const SkinElement& element : elements_) {
        if (element.shown)
            DrawSkinElement(graphics, element);
    }
}
