#pragma once
// The package details in their box on the purchase view. The box shows what
// GDI+ lays out for the whole text, centred as a block, so cutting the text
// short would change which lines show. A long text (a store may send tens of
// thousands of characters) is therefore laid out once, and the box's pixels
// are kept for the repaints that follow until the text changes.
#include <windows.h>
#include <gdiplus.h>

#include <memory>
#include <string>

#include "skin/display_scale.h"
#include "skin/paint_tools.h"

class DetailBox {
public:
    // Texts up to this length are laid out at every paint; it costs well under
    // a millisecond.
    static constexpr size_t kLaidOutEveryPaint = 600;

    DetailBox() = default;
    DetailBox(const DetailBox&) = delete;
    DetailBox& operator=(const DetailBox&) = delete;

    // Draws `text` into `box` (10 pt, near alignment, `argb`) over whatever the
    // box already shows, which must be the same at every paint; `graphics`
    // draws logical units at `scale`.
    void Draw(Gdiplus::Graphics& graphics, PaintTools& tools, const DisplayScale& scale,
              const std::wstring& text, const RECT& box, Gdiplus::ARGB argb);

private:
    std::wstring keptText_;
    RECT keptBox_{};                         // device pixels: a new scale lays the text out again
    std::unique_ptr<Gdiplus::Bitmap> kept_;  // the box's pixels with the text drawn
};
