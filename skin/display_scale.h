#pragma once
// The display scale of a window: every layout, paint and hit test in the
// program is written in logical units (96 per inch: the window is 800 x 600
// of them at any scale), and this is the one place they meet device pixels.
//
//   DisplayScale scale = DisplayScale::Of(hwnd);  // the window's DPI now
//   child.MoveWindow(scale.ToDevice(RECT{150, 444, 436, 469}));
//   POINT p = scale.ToLogical(devicePoint);       // mouse messages
//   FrameChanged(hwnd, element.rect);              // frame_cache.h: repaint it
//
// Painting: OffscreenFrame draws on a back buffer of device size (its own, or
// the one a FrameCache keeps) and gives its Graphics the scale as a world
// transform, so a paint draws in logical units and text, lines and pictures
// come out at the screen's own resolution. Code that must place device pixels
// itself (a picture 1:1, whole pixels per QR module, a BitBlt, a one-pixel
// focus ring) is handed the frame's scale (OffscreenFrame::scale()) with its
// Graphics, draws inside a DeviceSpace and maps with ToDevice /
// ToDeviceBounds; the transform is never read back for it, since a paint may
// add transforms of its own. Something kept per scale (pictures, a frame) is
// keyed on dpi().
//
// At 96 DPI every mapping is the identity and paints take exactly the paths
// they took before scaling existed.
#include <windows.h>
#include <gdiplus.h>

class DisplayScale {
public:
    static constexpr int kLogicalDpi = 96;

    constexpr DisplayScale() = default;
    // Values outside 24..1536 (a quarter to sixteen times) are taken as 96.
    explicit constexpr DisplayScale(int dpi)
        : dpi_(dpi >= kLogicalDpi / 4 && dpi <= kLogicalDpi * 16 ? dpi : kLogicalDpi) {}

    // The DPI the system gives `hwnd` (its monitor's with per-monitor
    // awareness); the system DPI where the system has no per-window DPI.
    static DisplayScale Of(HWND hwnd);

    int dpi() const { return dpi_; }
    bool identity() const { return dpi_ == kLogicalDpi; }
    float factor() const { return static_cast<float>(dpi_) / kLogicalDpi; }

    // Logical to device: an edge goes to the first pixel whose centre lies on
    // or past it (the nearest pixel edge), so adjacent rectangles stay
    // adjacent and a pixel belongs to the rectangle its centre is in.
    int ToDevice(int logical) const;
    POINT ToDevice(POINT logical) const;
    RECT ToDevice(const RECT& logical) const;
    // The device pixels a logical rectangle touches (outward rounding): what
    // to invalidate or blit so that nothing of it is left out.
    RECT ToDeviceBounds(const RECT& logical) const;
    RECT ToDeviceBounds(const Gdiplus::RectF& logical) const;

    // Device to logical: the logical unit the pixel's centre lies in, so a
    // pixel hits exactly the element whose ToDevice rectangle holds it.
    int ToLogical(int device) const;
    POINT ToLogical(POINT device) const;
    // A rectangle in device pixels to the logical one with the same edges
    // rounded to nearest: a client area of 1200 x 900 at 144 DPI is 800 x 600.
    RECT ToLogical(const RECT& device) const;

private:
    int dpi_ = kLogicalDpi;
};

// A device client point of `hwnd` (a mouse message's) in logical units; each
// scaled window's CWnd::MessageClientPoint returns this.
POINT LogicalClientPoint(HWND hwnd, POINT device);
// For its lifetime, `graphics` draws in device pixels (its world transform
// reset); the transform it had comes back at the end of the scope.
class DeviceSpace {
public:
    explicit DeviceSpace(Gdiplus::Graphics& graphics);
    ~DeviceSpace();
    DeviceSpace(const DeviceSpace&) = delete;
    DeviceSpace& operator=(const DeviceSpace&) = delete;

private:
    Gdiplus::Graphics& graphics_;
    Gdiplus::Matrix saved_;
};

// The client area of `hwnd` in logical units.
RECT LogicalClientRect(HWND hwnd);
// Places child (or owned pop-up) `child` at logical `rect` of its parent's
// scale (the child's own for a pop-up, whose rect is in screen pixels).
void MoveWindowLogical(HWND child, const RECT& rect, bool repaint = true);

// A font of `points` points as pixels at 96 DPI: the size a Gdiplus::Font in
// UnitPixel must have to draw through the scale transform exactly as a font
// in points draws on a 96-DPI screen.
constexpr Gdiplus::REAL PointsToLogicalPixels(Gdiplus::REAL points) {
    return points * DisplayScale::kLogicalDpi / 72.0f;
}

// How many device pixels a QR module gets in a square `squareDevice` pixels
// wide holding `modules` modules: the whole number that fits (at least 1 when
// the square has room for every module, 0 when not).
int WholePixelsPerModule(int squareDevice, int modules);
