#pragma once
// A skinned window's composed frame, kept at device size between paints, so
// that a repaint of what did not change is one blit. The window's erase
// handler goes through Paint: while the frame is current and the client area
// still has the size and display scale it was composed at, Paint only copies
// it to the DC; otherwise it composes the frame anew (into the kept bitmap)
// and copies that.
//
//   BOOL CMyWnd::OnEraseBkgnd(CDC* pDC) {
//       frame.Paint(m_hWnd, pDC->GetSafeHdc(), [&](OffscreenFrame& f) { Draw(f); });
//       return TRUE;
//   }
//
// Whatever changes what the window shows goes through one call that marks the
// frame changed and invalidates the window: frame.Changed(hwnd, rect), or,
// where only the window handle is at hand, FrameChanged(hwnd, rect), which
// finds the window's frame by a window property. There is no way to
// invalidate a skinned window without marking its frame, so no path can leave
// a stale frame on screen.
#include <windows.h>

#include <optional>
#include <utility>

#include "base/scoped_handle.h"
#include "skin/back_buffer.h"
#include "skin/offscreen_frame.h"

class FrameCache {
public:
    FrameCache() = default;
    ~FrameCache();
    FrameCache(const FrameCache&) = delete;
    FrameCache& operator=(const FrameCache&) = delete;

    // Marks the frame changed and invalidates logical `rect` of `hwnd` (null:
    // the whole client area), with erase. A null `hwnd` (a window not made yet,
    // or a change the caller repaints itself) only marks.
    void Changed(HWND hwnd, const RECT* rect = nullptr);
    void Changed(HWND hwnd, const RECT& rect) { Changed(hwnd, &rect); }

    // The erase handler's whole paint: `compose(OffscreenFrame&)` draws the
    // window's content onto a frame cleared to white, and runs only when the
    // kept frame is changed, missing or of another size. When no bitmap can
    // be kept the frame is composed for this paint alone, as without a cache.
    template <typename Compose>
    void Paint(HWND hwnd, HDC dc, Compose&& compose) {
        const bool current = Current(hwnd);
        if (current || Prepare(hwnd, dc)) {
            if (!current) {
                {
                    OffscreenFrame frame(hwnd, *kept_);
                    std::forward<Compose>(compose)(frame);
                }
                changed_ = false;
                ++composed_;
            }
            kept_->Present(dc);
            return;
        }
        OffscreenFrame frame(hwnd, dc);
        std::forward<Compose>(compose)(frame);
    }

    // True while the next paint composes.
    bool changed() const { return changed_ || !kept_; }
    // Frames composed into the kept bitmap so far.
    unsigned composed() const { return composed_; }

    // Drops the kept bitmap; the next paint composes.
    void Release();

private:
    bool Current(HWND hwnd) const;
    // A kept bitmap of the client size of `hwnd` (a 32-bit DIB section) in a
    // memory DC of its own, and the frame bound to `hwnd`; false when none
    // can be made.
    bool Prepare(HWND hwnd, HDC dc);
    void Attach(HWND hwnd);

    ScopedBitmap bitmap_;             // the frame
    std::optional<BackBuffer> kept_;  // a memory DC holding bitmap_ between paints
    SIZE size_{};
    int dpi_ = 0;  // the display scale the frame was composed at
    HWND attached_ = nullptr;
    bool changed_ = true;
    unsigned composed_ = 0;
};

// The frame of `hwnd` (attached by its first paint) marked changed, and
// logical `rect` (null: all) invalidated with erase. For a window without a kept
// frame it only invalidates.
void FrameChanged(HWND hwnd, const RECT* rect = nullptr);
inline void FrameChanged(HWND hwnd, const RECT& rect) {
    FrameChanged(hwnd, &rect);
}

// Lets go of the kept frames of `window` and of every window inside it (a
// page that hides: what no one sees keeps no memory); each composes anew
// at its next paint.
void ReleaseFramesOf(HWND window);

// Marks the kept frames of `window` and of every window inside it changed
// and repaints them all, frames included (a new display scale).
void RedrawFramesOf(HWND window);

// Whether the WINDOWPOS of a WM_WINDOWPOSCHANGED hides the window.
inline bool WindowPosHides(LPARAM windowPos) {
    const auto* pos = reinterpret_cast<const WINDOWPOS*>(windowPos);
    return pos != nullptr && (pos->flags & SWP_HIDEWINDOW) != 0;
}
