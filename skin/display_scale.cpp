#include "skin/display_scale.h"

#include <cmath>

namespace {

// Rounds n / d to the nearest integer, halves away from zero (d > 0).
int DivideRounded(long long n, long long d) {
    return static_cast<int>(n >= 0 ? (n + d / 2) / d : -((-n + d / 2) / d));
}

// Rounds n / d down (d > 0).
int DivideFloor(long long n, long long d) {
    return static_cast<int>(n >= 0 ? n / d : -((-n + d - 1) / d));
}

// Rounds n / d up (d > 0).
int DivideCeil(long long n, long long d) {
    return -DivideFloor(-n, d);
}

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);

// Windows 10 (1607) and later; looked up so that the program still starts on
// systems without it, which have one DPI for every window.
GetDpiForWindowFn DpiForWindowFunction() {
    static const GetDpiForWindowFn function = [] {
        HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
        return user32 ? reinterpret_cast<GetDpiForWindowFn>(
                            reinterpret_cast<void*>(::GetProcAddress(user32, "GetDpiForWindow")))
                      : nullptr;
    }();
    return function;
}

int SystemDpi() {
    HDC screen = ::GetDC(nullptr);
    const int dpi = screen ? ::GetDeviceCaps(screen, LOGPIXELSX) : DisplayScale::kLogicalDpi;
    if (screen)
        ::ReleaseDC(nullptr, screen);
    return dpi;
}

}  // namespace

DisplayScale DisplayScale::Of(HWND hwnd) {
    if (GetDpiForWindowFn function = DpiForWindowFunction(); function && hwnd) {
        if (const UINT dpi = function(hwnd); dpi != 0)
            return DisplayScale(static_cast<int>(dpi));
    }
    return DisplayScale(SystemDpi());
}

int DisplayScale::ToDevice(int logical) const {
    // The first pixel whose centre lies at or past the edge: ceil(x - 1/2).
    return DivideCeil(2LL * logical * dpi_ - kLogicalDpi, 2LL * kLogicalDpi);
}

POINT DisplayScale::ToDevice(POINT logical) const {
    return POINT{ToDevice(logical.x), ToDevice(logical.y)};
}

RECT DisplayScale::ToDevice(const RECT& logical) const {
    return RECT{ToDevice(logical.left), ToDevice(logical.top), ToDevice(logical.right),
                ToDevice(logical.bottom)};
}

RECT DisplayScale::ToDeviceBounds(const RECT& logical) const {
    return RECT{DivideFloor(static_cast<long long>(logical.left) * dpi_, kLogicalDpi),
                DivideFloor(static_cast<long long>(logical.top) * dpi_, kLogicalDpi),
                DivideCeil(static_cast<long long>(logical.right) * dpi_, kLogicalDpi),
                DivideCeil(static_cast<long long>(logical.bottom) * dpi_, kLogicalDpi)};
}

RECT DisplayScale::ToDeviceBounds(const Gdiplus::RectF& logical) const {
    const double f = factor();
    return RECT{static_cast<LONG>(std::floor(logical.X * f)),
                static_cast<LONG>(std::floor(logical.Y * f)),
                static_cast<LONG>(std::ceil((logical.X + logical.Width) * f)),
                static_cast<LONG>(std::ceil((logical.Y + logical.Height) * f))};
}

int DisplayScale::ToLogical(int device) const {
    // Where the pixel's centre lies.
    return DivideFloor((2LL * device + 1) * kLogicalDpi, 2LL * dpi_);
}

POINT DisplayScale::ToLogical(POINT device) const {
    return POINT{ToLogical(device.x), ToLogical(device.y)};
}

RECT DisplayScale::ToLogical(const RECT& device) const {
    auto nearest = [this](LONG v) {
        return DivideRounded(static_cast<long long>(v) * kLogicalDpi, dpi_);
    };
    return RECT{nearest(device.left), nearest(device.top), nearest(device.right),
                nearest(device.bottom)};
}

DeviceSpace::DeviceSpace(Gdiplus::Graphics& graphics) : graphics_(graphics) {
    graphics_.GetTransform(&saved_);
    graphics_.ResetTransform();
}

DeviceSpace::~DeviceSpace() {
    graphics_.SetTransform(&saved_);
}

POINT LogicalClientPoint(HWND hwnd, POINT device) {
    return DisplayScale::Of(hwnd).ToLogical(device);
}

RECT LogicalClientRect(HWND hwnd) {
    RECT client{};
    ::GetClientRect(hwnd, &client);
    return DisplayScale::Of(hwnd).ToLogical(client);
}

void MoveWindowLogical(HWND child, const RECT& rect, bool repaint) {
    HWND parent = ::GetParent(child);
    const bool isChild = (::GetWindowLongPtrW(child, GWL_STYLE) & WS_CHILD) != 0;
    const RECT device = DisplayScale::Of(isChild && parent ? parent : child).ToDevice(rect);
    ::MoveWindow(child, device.left, device.top, device.right - device.left,
                 device.bottom - device.top, repaint ? TRUE : FALSE);
}

int WholePixelsPerModule(int squareDevice, int modules) {
    if (modules <= 0 || squareDevice < modules)
        return 0;
    return squareDevice / modules;
}
