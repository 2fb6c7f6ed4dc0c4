#pragma once
// DrawnElements: the one model of what a skinned window draws and reacts to.
// Painting, hit testing, hover tracking, clicks, the keyboard's stops and
// screen readers all read the same list, so an element the current view does
// not show can neither be drawn nor clicked; and since the list changes only
// through setters that mark the window's frame, no change is left uncomposed.
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

#include <functional>
#include <string>
#include <vector>

#include "skin/display_scale.h"
#include "skin/skin_element.h"

class DrawnElements {
public:
    using const_iterator = std::vector<SkinElement>::const_iterator;
    // How the window draws an element that has no picture of its own (the
    // QR square, a pager cell, a list row), in list order with the others.
    using CustomDraw = std::function<void(Gdiplus::Graphics&, const SkinElement&)>;

    DrawnElements() = default;
    explicit DrawnElements(std::vector<SkinElement> elements) : elements_(std::move(elements)) {}
    DrawnElements(const DrawnElements&) = delete;
    DrawnElements& operator=(const DrawnElements&) = delete;
    DrawnElements(DrawnElements&&) = default;
    DrawnElements& operator=(DrawnElements&&) = default;

    // Read-only: what is drawn changes only through the setters below, each
    // of which marks the window's frame (FrameChanged) for what it changed.
    // `hwnd` is the window that draws the elements; null (before it exists)
    // marks nothing.
    size_t size() const { return elements_.size(); }
    bool empty() const { return elements_.empty(); }
    const SkinElement& operator[](size_t i) const { return elements_[i]; }
    const_iterator begin() const { return elements_.begin(); }
    const_iterator end() const { return elements_.end(); }
    // The index of the element with `action`; -1 when there is none.
    int IndexOf(int action) const;

    void Add(HWND hwnd, SkinElement element);
    void Clear(HWND hwnd);
    // Drops the elements from `index` on (a window's rebuilt part); the focus
    // mark goes with them, so that it never lands on a newcomer.
    void RemoveFrom(HWND hwnd, size_t index);

    // Shows or hides one element; a hidden element loses its hover mark so
    // that it does not come back stale.
    void SetShown(HWND hwnd, size_t index, bool shown);
    // Shows exactly the elements whose views hold `view`.
    void ShowView(HWND hwnd, int view);
    // The byte that picks the frame drawn: hovered, or chosen for an element
    // that does not follow the pointer.
    void SetHover(HWND hwnd, size_t index, BYTE hover);
    // Chooses, among the elements of `group`, the one whose value is `value`;
    // the others lose the mark. Calls `changed(index)` for each element whose
    // mark changed.
    template <typename Changed>
    void Choose(HWND hwnd, int group, int value, Changed changed) {
        for (size_t i = 0; i < elements_.size(); ++i) {
            if (elements_[i].group != group)
                continue;
            const BYTE chosen = elements_[i].value == value ? 1 : 0;
            if (elements_[i].hover != chosen) {
                SetHover(hwnd, i, chosen);
                changed(i);
            }
        }
    }
    // The value of the chosen element of `group`, else of its first; `none`
    // when the group is empty.
    int ChosenValue(int group, int none = 0) const;
    // The element's place, and where its picture goes (empty: over `rect`).
    void SetRect(HWND hwnd, size_t index, const RECT& rect, const RECT& pictureRect = RECT{});
    // The caption a user sees (a list row draws it) or hears.
    void SetName(HWND hwnd, size_t index, const std::wstring& name);

    // The first shown element, in list order, whose rectangle holds `p`; null
    // when none does.
    const SkinElement* At(POINT p) const;
    // The action of that element, or `none`.
    int ActionAt(POINT p, int none = -1) const;

    // WM_MOUSEMOVE at logical client point `p`, WM_MOUSELEAVE. Rectangles and
    // points are logical; a changed element's device pixels are repainted.
    void OnMouseMove(HWND hwnd, POINT p);
    void OnMouseLeave(HWND hwnd);
    // 1 while the next move must ask for a leave notification.
    BYTE trackLeave() const { return trackLeave_; }

    // Each element's picture in the variant for a display of `dpi` (the
    // window moved to a screen of another scale), from SkinPictures: a
    // variant already in use is not decoded again. The window's frame was
    // composed at the old scale, so its next paint composes anyway.
    void LoadPictures(UINT dpi);
    // Gives every element the same picture (a table's row buttons).
    void SetPicture(HWND hwnd, const SkinPicture& picture);

    // Draws every shown element in list order: its picture, or, without one,
    // what `custom` draws for it (the window draws the focus ring last, over
    // everything).
    void Draw(Gdiplus::Graphics& graphics, const CustomDraw& custom = nullptr) const;

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
    // `hasFocus` (the window holds the keyboard focus), on a frame drawing
    // at `scale`.
    void DrawFocusRing(Gdiplus::Graphics& graphics, const DisplayScale& scale, bool hasFocus) const;

private:
    void Mark(HWND hwnd, const SkinElement& element) const;

    std::vector<SkinElement> elements_;
    BYTE trackLeave_ = 1;
    int focused_ = -1;
    bool focusCues_ = false;
};

// The ring drawn inside `r`: as thick as the system's focus border at the
// frame's scale, black and white squares in turn, so it shows on the dark
// title strip, on blue buttons and on white. `graphics` draws logical units
// at `scale`.
void DrawFocusRect(Gdiplus::Graphics& graphics, const DisplayScale& scale, const RECT& r);

// Whether `hwnd` holds the keyboard focus.
inline bool HasKeyboardFocus(HWND hwnd) {
    return hwnd != nullptr && ::GetFocus() == hwnd;
}
