#include "skin/drawn_elements.h"

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
    // One pixel in from each edge: the pixel rows and columns l+1 .. r-2.
    const INT width = r.right - r.left - 3;
    const INT height = r.bottom - r.top - 3;
    if (width < 1 || height < 1)
        return;
    // One device pixel wide, whatever scale the window draws its logical
    // coordinates at; the dots follow the width.
    Gdiplus::Matrix transform;
    graphics.GetTransform(&transform);
    Gdiplus::REAL m[6] = {1, 0, 0, 1, 0, 0};
    transform.GetElements(m);
    const Gdiplus::REAL pixel = m[0] > 0.0f ? 1.0f / m[0] : 1.0f;
    const Gdiplus::SmoothingMode smoothing = graphics.GetSmoothingMode();
    graphics.SetSmoothingMode(Gdiplus::SmoothingModeNone);
    Gdiplus::Pen under(Gdiplus::Color(0xFFFFFFFF), pixel);
    Gdiplus::Pen dots(Gdiplus::Color(0xFF000000), pixel);
    dots.SetDashStyle(Gdiplus::DashStyleDot);
    graphics.DrawRectangle(&under, r.left + 1, r.top + 1, width, height);
    graphics.DrawRectangle(&dots, r.left + 1, r.top + 1, width, height);
    graphics.SetSmoothingMode(smoothing);
}
