#pragma once
// DrawnElements: the one model of what a skinned window draws and reacts to.
// Painting, hit testing, hover tracking and clicks all read the same list, so
// an element the current view does not show can neither be drawn nor clicked.
//
// Hover tracking: the first mouse move arms a leave notification; every move
// updates each shown element's hover byte and repaints only the elements that
// changed; the leave clears them all. Elements whose byte means "chosen"
// (followsPointer false) are left alone.
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
    void Clear() { elements_.clear(); }
    // Drops the elements from `index` on (a window's rebuilt part).
    void RemoveFrom(size_t index) {
        if (index < elements_.size())
            elements_.erase(elements_.begin() + static_cast<std::ptrdiff_t>(index),
                            elements_.end());
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

    // WM_MOUSEMOVE at client point `p`, WM_MOUSELEAVE.
    void OnMouseMove(HWND hwnd, POINT p);
    void OnMouseLeave(HWND hwnd);
    // 1 while the next move must ask for a leave notification.
    BYTE trackLeave() const { return trackLeave_; }

    // Draws every shown element that has a picture, in list order.
    void Draw(Gdiplus::Graphics& graphics) const;

private:
    std::vector<SkinElement> elements_;
    BYTE trackLeave_ = 1;
};
