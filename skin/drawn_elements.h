#pragma once
// DrawnElements: the one model of what a skinned window draws and reacts to.
// Painting, hit testing, hover tracking and clicks all read the same list, so
// an element the current view does not show can neither be drawn nor clicked.
//
// Hover tracking: the first mouse move arms a leave notification; every move
// updates each shown element's hover byte and repaints only the elements that
// changed (FrameChanged: the window's kept frame is marked as well); the leave
// clears them all. Elements whose byte means "chosen" (followsPointer false)
// are left alone.
//
// Keyboard focus: at most one element is focused. Its ring (a dotted
// rectangle just inside the element, see DrawFocusRect) is drawn only while the window holds
// the keyboard focus and focus cues show: Windows' rule that cues appear
// once the keyboard is used (WM_UPDATEUISTATE), so mouse use looks as before.
#include <windows.h>
#include <gdiplus.h>

#include <vector>

#include "skin/skin_element.h"

class DrawnElements {
public:
    DrawnElements() = default;
    explicit DrawnElements(std::vector<SkinElement> elements) : elements_(std::move(elements)) {}
    DrawnElements(const DrawnElements&) = delete;
    DrawnElements& operator=(const DrawnElements&) = delete;
    DrawnElements(DrawnElements&&) = default;
    DrawnElements& operator=(DrawnElements&&) = default;

    size_t size() const { return elements_.size(); }
    bool empty() const { return elements_.empty(); }
    SkinElement& operator[](size_t i) { return elements_[i]; }
    const SkinElement& operator[](size_t i) const { return elements_[i]; }
    std::vector<SkinElement>::iterator begin() { return elements_.begin(); }
    std::vector<SkinElement>::iterator end() { return elements_.end(); }
    std::vector<SkinElement>::const_iterator begin() const { return elements_.begin(); }
    std::vector<SkinElement>::const_iterator end() const { return elements_.end(); }

    void Add(SkinElement element) { elements_.push_back(std::move(element)); }
    void Clear() {
        elements_.clear();
        focused_ = -1;
    }
    // Drops the elements from `index` on (a window's rebuilt part); the focus
    // mark goes with them, so that it never lands on a newcomer.
    void RemoveFrom(size_t index) {
        if (index < elements_.size())
            elements_.erase(elements_.begin() + static_cast<std::ptrdiff_t>(index),
                            elements_.end());
        if (focused_ >= 0 && static_cast<size_t>(focused_) >= index)
            focused_ = -1;
    }

    // The first shown element, in list order, whose rectangle holds `p`; null
    // when none does.
    const SkinElement* At(POINT p) const;
    // The action of that element, or `none`.
    int ActionAt(POINT p, int none = -1) const;

    // Shows or hides one element; a hidden element loses its hover mark so
    // that it does not come back stale.
    void SetShown(size_t index, bool shown);
    // Shows exactly the elements for which `pick(element)` is true.
    template <typename Pick>
    void ShowWhere(Pick pick) {
        for (size_t i = 0; i < elements_.size(); ++i)
            SetShown(i, pick(elements_[i]));
    }

    // WM_MOUSEMOVE at logical client point `p`, WM_MOUSELEAVE. Rectangles and
    // points are logical; a changed element's device pixels are repainted.
    void OnMouseMove(HWND hwnd, POINT p);
    void OnMouseLeave(HWND hwnd);
    // 1 while the next move must ask for a leave notification.
    BYTE trackLeave() const { return trackLeave_; }

    // Each element's picture in the variant for a display of `dpi` (the
    // window moved to a screen of another scale), from SkinPictures: a
    // variant already in use is not decoded again.
    void LoadPictures(UINT dpi);

    // Draws every shown element that has a picture, in list order (the
    // window draws the focus ring last, over everything).
    void Draw(Gdiplus::Graphics& graphics) const;

    // --- keyboard focus
    // An element the keyboard can reach: shown and acting.
    bool Focusable(size_t index) const;
    // The focused element's index, -1 for none. Kept while the window loses
    // and regains the keyboard focus (a message box in between).
    int focused() const { return focused_; }
    // Moves the focus mark (-1, or an element that is not focusable: none)
    // and repaints both rings' places.
    void SetFocused(HWND hwnd, int index);
    // Whether focus cues show (the keyboard has been used).
    bool focusCues() const { return focusCues_; }
    // WM_UPDATEUISTATE: UIS_CLEAR / UIS_SET of UISF_HIDEFOCUS; the ring is
    // repainted when that changes.
    void OnUpdateUiState(HWND hwnd, WPARAM wParam);
    // Repaints the focused element's ring (the window gained or lost focus).
    void InvalidateFocus(HWND hwnd) const;
    // The ring of the focused element, when it is shown, cues show and
    // `hasFocus` (the window holds the keyboard focus).
    void DrawFocusRing(Gdiplus::Graphics& graphics, bool hasFocus) const;

private:
    std::vector<SkinElement> elements_;
    BYTE trackLeave_ = 1;
    int focused_ = -1;
    bool focusCues_ = false;
};

// The ring drawn inside `r`: as thick as the system's focus border at the
// frame's scale, black and white squares in turn, so it shows on the dark
// title strip, on blue buttons and on white.
void DrawFocusRect(Gdiplus::Graphics& graphics, const RECT& r);

// Whether `hwnd` holds the keyboard focus.
inline bool HasKeyboardFocus(HWND hwnd) {
    return hwnd != nullptr && ::GetFocus() == hwnd;
}
