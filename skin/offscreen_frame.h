#pragma once
// One paint of a skinned window (its WM_ERASEBKGND handler): the whole client
// area is drawn off-screen with GDI+ and copied to the window's device context
// in one BitBlt when the frame goes out of scope, so a window's paint reads as
// its drawing order only. The bitmap has the client area's device size and the
// graphics object draws through the window's display scale, so the paint is
// written in logical units (width() and height() are logical too):
//
//   OffscreenFrame frame(hwnd, dc);
//   Gdiplus::Graphics& g = frame.graphics();
//   PaintTools& tools = frame.tools();
//   g.FillRectangle(&tools.Brush(0xFF272E48), 0, 0, frame.width(), 24);
//   DrawSkinElements(g, elements);
//   return TRUE;
#include <windows.h>
#include <gdiplus.h>

#include <optional>

#include "skin/back_buffer.h"
#include "skin/display_scale.h"
#include "skin/paint_tools.h"

class OffscreenFrame {
public:
    // `dc` is the device context the window was given to erase; the off-screen
    // bitmap is made compatible with it (the screen's colour depth).
    OffscreenFrame(HWND hwnd, HDC dc);
    // Draws into `lent`, a buffer that must be ok() and that the caller
    // presents (a FrameCache's, over the frame it keeps).
    OffscreenFrame(HWND hwnd, BackBuffer& lent);
    // Copies a frame of its own to `dc` at (0, 0), client size, SRCCOPY, then
    // releases everything the paint made.
    ~OffscreenFrame();
    OffscreenFrame(const OffscreenFrame&) = delete;
    OffscreenFrame& operator=(const OffscreenFrame&) = delete;

    // Already cleared to opaque white; scaled pictures are filtered with
    // high quality (a paint that needs hard pixel edges sets its own mode).
    Gdiplus::Graphics& graphics() { return *graphics_; }
    PaintTools& tools() { return tools_; }
    const DisplayScale& scale() const { return scale_; }
    // The client area in logical units.
    const RECT& client() const { return logicalClient_; }
    int width() const { return logicalClient_.right - logicalClient_.left; }
    int height() const { return logicalClient_.bottom - logicalClient_.top; }

    // False when the off-screen bitmap could not be made (for example an empty
    // client area); the graphics object then draws straight onto `dc`.
    bool buffered() const { return buffer_.ok(); }
    HDC memoryDc() const { return buffer_.dc(); }
    HBITMAP bitmap() const { return buffer_.bitmap(); }

private:
    // The graphics object on `target`, cleared, drawing through the scale.
    void Begin(HDC target);

    DisplayScale scale_;
    std::optional<BackBuffer> own_;  // a buffer for this paint alone
    BackBuffer& buffer_;
    RECT logicalClient_{};
    // Declared after the buffer, so it is gone before the buffer's DC.
    std::optional<Gdiplus::Graphics> graphics_;
    PaintTools tools_;
};
