#include "skin/drawn_elements.h"

#include <algorithm>

#include "skin/display_scale.h"
#include "skin/focus_border.h"
#include "skin/frame_cache.h"
#include "skin/picture_cache.h"

namespace {

RECT Covered(const SkinElement& element) {
    // A picture may reach past the element's own rectangle (a row button
    // clipped to the table's view).
    RECT both = element.rect;
    if (!IsRectEmpty(&element.pictureRect))
        UnionRect(&both, &element.rect, &element.pictureRect);
    return both;
}

}  // namespace

void DrawnElements::Mark(HWND hwnd, const SkinElement& element) const {
    const RECT covered = Covered(element);
    FrameChanged(hwnd, covered);
}

int DrawnElements::IndexOf(int action) const {
    for (size_t i = 0; i < elements_.size(); ++i) {
        if (elements_[i].action == action)
            return static_cast<int>(i);
    }
    return -1;
}

void DrawnElements::Add(HWND hwnd, SkinElement element) {
    elements_.push_back(std::move(element));
    Mark(hwnd, elements_.back());
}

void DrawnElements::Clear(HWND hwnd) {
    RemoveFrom(hwnd, 0);
}

void DrawnElements::RemoveFrom(HWND hwnd, size_t index) {
    for (size_t i = index; i < elements_.size(); ++i)
        Mark(hwnd, elements_[i]);
    if (index < elements_.size())
        elements_.erase(elements_.begin() + static_cast<std::ptrdiff_t>(index), elements_.end());
    if (focused_ >= 0 && static_cast<size_t>(focused_) >= index)
        focused_ = -1;
}

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

void DrawnElements::SetShown(HWND hwnd, size_t index, bool shown) {
    SkinElement& element = elements_[index];
    if (!shown && element.followsPointer)
        SetHover(hwnd, index, 0);
    if (element.shown == shown)
        return;
    element.shown = shown;
    Mark(hwnd, element);
}

void DrawnElements::ShowView(HWND hwnd, int view) {
    for (size_t i = 0; i < elements_.size(); ++i)
        SetShown(hwnd, i, (elements_[i].views & ViewBit(view)) != 0);
}

void DrawnElements::SetHover(HWND hwnd, size_t index, BYTE hover) {
    SkinElement& element = elements_[index];
    if (element.hover == hover)
        return;
    element.hover = hover;
    Mark(hwnd, element);
}

int DrawnElements::ChosenValue(int group, int none) const {
    const SkinElement* first = nullptr;
    for (const SkinElement& element : elements_) {
        if (element.group != group)
            continue;
        if (element.hover != 0)
            return element.value;
        if (first == nullptr)
            first = &element;
    }
    return first != nullptr ? first->value : none;
}

void DrawnElements::SetRect(HWND hwnd, size_t index, const RECT& rect, const RECT& pictureRect) {
    SkinElement& element = elements_[index];
    if (EqualRect(&element.rect, &rect) && EqualRect(&element.pictureRect, &pictureRect))
        return;
    Mark(hwnd, element);
    element.rect = rect;
    element.pictureRect = pictureRect;
    Mark(hwnd, element);
}

void DrawnElements::SetName(HWND hwnd, size_t index, const std::wstring& name) {
    SkinElement& element = elements_[index];
    if (element.name == name)
        return;
    element.name = name;
    Mark(hwnd, element);
}

void DrawnElements::SetPicture(HWND hwnd, const SkinPicture& picture) {
    for (SkinElement& element : elements_) {
        if (element.picture == picture)
            continue;
        element.picture = picture;
        Mark(hwnd, element);
    }
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
    for (size_t i = 0; i < elements_.size(); ++i) {
        const SkinElement& element = elements_[i];
        if (element.shown && element.followsPointer)
            SetHover(hwnd, i, PtInRect(&element.rect, p) ? 1 : 0);
    }
}

void DrawnElements::LoadPictures(UINT dpi) {
    for (SkinElement& element : elements_) {
        if (element.pictureId != 0)
            element.picture = SharedPngResource(element.pictureId, dpi);
    }
}

void DrawnElements::OnMouseLeave(HWND hwnd) {
    for (size_t i = 0; i < elements_.size(); ++i) {
        if (elements_[i].followsPointer)
            SetHover(hwnd, i, 0);
    }
    trackLeave_ = 1;
}

void DrawnElements::Draw(Gdiplus::Graphics& graphics, const CustomDraw& custom) const {
    for (const SkinElement& element : elements_) {
        if (!element.shown)
            continue;
        if (element.picture)
            DrawSkinElement(graphics, element);
        else if (custom)
            custom(graphics, element);
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

void DrawnElements::DrawFocusRing(Gdiplus::Graphics& graphics, const DisplayScale& scale,
                                  bool hasFocus) const {
    if (!hasFocus || !focusCues_ || focused_ < 0 || !Focusable(static_cast<size_t>(focused_)))
        return;
    DrawFocusRect(graphics, scale, elements_[static_cast<size_t>(focused_)].rect);
}

void DrawFocusRect(Gdiplus::Graphics& graphics, const DisplayScale& scale, const RECT& r) {
    // In device pixels: one logical pixel in from the element's edges, as
    // thick as the system's focus border at the frame's scale, in squares of
    // that size alternately black and white, so that one of the two shows
    // on any colour (the dark title strip, the blue tab, white).
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
