#include "skin/drawn_elements.h"

#include <algorithm>

#include "skin/display_scale.h"
#include "skin/focus_border.h"
#include "skin/frame_cache.h"
#include "skin/picture_cache.h"

namespace {

void SetHover(HWND hwnd, SkinElement& element, BYTE hover) {
    if (element.hover == hover)
        return;
    element.hover = hover;
    FrameChanged(hwnd, element.rect);
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

void DrawnElements::LoadPictures(UINT dpi) {
    for (SkinElement& element : elements_) {
        if (element.pictureId != 0)
            element.picture = SharedPngResource(element.pictureId, dpi);
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

bool DrawnElements::Focusable(size_t index) const {
    return index < elements_.size() && elements_[index].shown && elements_[index].action >= 0;
}

void DrawnElements::SetFocused(HWND hwnd, int index) {
    // Only an element the keyboard can reach takes the mark.
    if (index < 0 || !Focusable(static_cast<size_t>(index)))
        index = -1;
    if (index == focused_)
        return;
    InvalidateFocus(hwnd);
    focused_ = index;
    InvalidateFocus(hwnd);
}

void DrawnElements::OnUpdateUiState(HWND hwnd, WPARAM wParam) {
    if ((HIWORD(wParam) & UISF_HIDEFOCUS) == 0)
        return;
    const bool cues = LOWORD(wParam) == UIS_CLEAR ? true
                      : LOWORD(wParam) == UIS_SET ? false
                                                  : focusCues_;
    if (cues == focusCues_)
        return;
    focusCues_ = cues;
    InvalidateFocus(hwnd);
}

void DrawnElements::InvalidateFocus(HWND hwnd) const {
    if (hwnd != nullptr && focused_ >= 0 && static_cast<size_t>(focused_) < elements_.size())
        FrameChanged(hwnd, elements_[static_cast<size_t>(focused_)].rect);
}

void DrawnElements::DrawFocusRing(Gdiplus::Graphics& graphics, bool hasFocus) const {
    if (!hasFocus || !focusCues_ || focused_ < 0 || !Focusable(static_cast<size_t>(focused_)))
        return;
    DrawFocusRect(graphics, elements_[static_cast<size_t>(focused_)].rect);
}

void DrawFocusRect(Gdiplus::Graphics& graphics, const RECT& r) {
    // In device pixels: one logical pixel in from the element's edges, as
    // thick as the system's focus border at the frame's scale, in squares of
    // that size alternately black and white, so that one of the two shows
    // on any colour (the dark title strip, the blue tab, white).
    const DisplayScale scale = ScaleOf(graphics);
    const RECT outer = scale.ToDevice(r);
    const int inset = std::max(1, scale.ToDevice(1) - scale.ToDevice(0));
    const SIZE border = FocusBorderPixels(scale.dpi());
    const INT bw = border.cx;
    const INT bh = border.cy;
    const INT left = outer.left + inset;
    const INT top = outer.top + inset;
    const INT width = outer.right - inset - left;
    const INT height = outer.bottom - inset - top;
    if (width < 2 * bw || height < 2 * bh)
        return;

    const Gdiplus::Rect band[] = {
        {left, top, width, bh},
        {left, top + height - bh, width, bh},
        {left, top + bh, bw, height - 2 * bh},
        {left + width - bw, top + bh, bw, height - 2 * bh},
    };
    std::vector<Gdiplus::Rect> dots;
    for (INT x = left; x < left + width; x += 2 * bw) {
        const INT w = std::min(bw, left + width - x);
        dots.emplace_back(x, top, w, bh);
        dots.emplace_back(x, top + height - bh, w, bh);
    }
    for (INT y = top + 2 * bh; y < top + height - bh; y += 2 * bh) {
        const INT h = std::min(bh, top + height - bh - y);
        dots.emplace_back(left, y, bw, h);
        dots.emplace_back(left + width - bw, y, bw, h);
    }
    DeviceSpace pixels(graphics);
    const Gdiplus::SmoothingMode smoothing = graphics.GetSmoothingMode();
    graphics.SetSmoothingMode(Gdiplus::SmoothingModeNone);
    Gdiplus::SolidBrush white(Gdiplus::Color(0xFFFFFFFF));
    Gdiplus::SolidBrush black(Gdiplus::Color(0xFF000000));
    graphics.FillRectangles(&white, band, 4);
    graphics.FillRectangles(&black, dots.data(), static_cast<INT>(dots.size()));
    graphics.SetSmoothingMode(smoothing);
}
