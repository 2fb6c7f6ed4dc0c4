#pragma once
// A picture kept ready at the size it is drawn at. Stretching a picture is by
// far the dearest step of a paint, and the store front stretches the same
// product picture to the same size at every repaint; with the copy, each
// paint only copies pixels.
#include <windows.h>
#include <gdiplus.h>

#include <algorithm>
#include <memory>

class ScaledPicture {
public:
    using Picture = std::shared_ptr<Gdiplus::Image>;

    ScaledPicture() = default;
    ScaledPicture(const ScaledPicture&) = delete;
    ScaledPicture& operator=(const ScaledPicture&) = delete;

    // The top `rows` rows (at most `height`) of `source` stretched to width x
    // height, with the same interpolation as a direct draw: only the rows a
    // frame can show are kept, so a very tall picture costs no more than the
    // window. Made on the first call and again whenever source or sizes change.
    // Null when the copy cannot be made; the caller then draws `source` itself.
    // `mode` is the interpolation of the stretch (the default: as a direct
    // draw on an unscaled frame).
    Picture Get(const Picture& source, UINT width, UINT height, UINT rows,
                Gdiplus::InterpolationMode mode = Gdiplus::InterpolationModeDefault);

    // The whole picture kept: Get(source, width, height, height).
    Picture Get(const Picture& source, UINT width, UINT height) {
        return Get(source, width, height, height);
    }

    // The copy the last call made or reused; null when it made none.
    const Picture& ready() const { return scaled_; }

    // Whether the last call was for these arguments (and made a copy, which
    // may have been let go since).
    bool MadeFor(const Picture& source, UINT width, UINT height, UINT rows,
                 Gdiplus::InterpolationMode mode) const {
        return made_ && SameSource(source) && width == width_ && height == height_ &&
               std::min(rows, height) == rows_ && mode == mode_;
    }
    // Lets go of the copy once its pixels are kept elsewhere (a KeptBackdrop):
    // the next Get makes it anew.
    void ReleasePixels() { scaled_.reset(); }

private:
    // `source` is the picture the copy was made from: the same owner, which
    // the weak reference keeps from being reused by a later picture (unlike
    // its address).
    bool SameSource(const Picture& source) const {
        return !source_.owner_before(source) && !source.owner_before(source_);
    }

    std::weak_ptr<Gdiplus::Image> source_;
    UINT width_ = 0;
    UINT height_ = 0;
    UINT rows_ = 0;
    Gdiplus::InterpolationMode mode_ = Gdiplus::InterpolationModeDefault;
    Picture scaled_;
    bool made_ = false;
};
