#pragma once
// A picture a frame draws opaque over white at a fixed place (a page's
// backdrop, the package picture), kept as a bitmap of exactly the device
// pixels it covers and copied into each composed frame with one BitBlt.
// Filtering a page-sized picture anew is the dearest step of a compose under
// GDI+, and its cost grows with the square of the display scale; the copy
// costs what a blit costs.
#include <windows.h>
#include <gdiplus.h>

#include <memory>
#include <optional>

#include "base/scoped_handle.h"
#include "skin/display_scale.h"

class KeptBackdrop {
public:
    KeptBackdrop() = default;
    ~KeptBackdrop() = default;
    KeptBackdrop(const KeptBackdrop&) = delete;
    KeptBackdrop& operator=(const KeptBackdrop&) = delete;

    // Draws `picture` stretched into logical `dest` of `graphics`, which
    // draws at `scale`, as drawing it there over white would (the frame's
    // interpolation); made anew when the picture or the device size changes.
    // A null picture draws nothing. Pictures are taken as they were when
    // first drawn: they never change.
    void Draw(Gdiplus::Graphics& graphics, const DisplayScale& scale,
              const std::shared_ptr<Gdiplus::Image>& picture, const RECT& dest);

    // Copies the kept copy into logical `dest` when it has dest's device
    // size, as Draw does with the picture it was made from; false (and
    // nothing drawn) otherwise. For a caller that let go of that picture.
    bool DrawKept(Gdiplus::Graphics& graphics, const DisplayScale& scale, const RECT& dest);

    // Lets go of the kept copy (its window hides); the next Draw makes it anew.
    void Release();
    // Whether a copy is kept, and its size in device pixels.
    bool kept() const { return bitmap_.valid(); }
    SIZE size() const { return SIZE{width_, height_}; }

private:
    bool Make(Gdiplus::Graphics& graphics, Gdiplus::Image& picture, int width, int height);
    bool MadeFrom(const std::shared_ptr<Gdiplus::Image>& picture) const;
    void Blit(Gdiplus::Graphics& graphics, const RECT& device);

    // The picture the copy was made from, held weakly: the reference keeps
    // its owner's bookkeeping alive, so no later picture can be taken for
    // it, as one made at a freed picture's address could.
    std::weak_ptr<Gdiplus::Image> source_;
    int width_ = 0;
    int height_ = 0;
    ScopedMemoryDc dc_;
    ScopedBitmap bitmap_;
    // Last: the DC lets go of the bitmap before either is freed.
    std::optional<ScopedSelection> selection_;
};
