// CPoint and CRect: POINT and RECT with the few MFC helpers the windows use.
#pragma once

#include <windows.h>

class CPoint : public POINT {
public:
    CPoint() noexcept : POINT{0, 0} {}
    CPoint(int initX, int initY) noexcept : POINT{initX, initY} {}
    CPoint(POINT p) noexcept : POINT(p) {}

    bool operator==(POINT p) const noexcept { return x == p.x && y == p.y; }
    bool operator!=(POINT p) const noexcept { return !(*this == p); }
};

class CRect : public RECT {
public:
    CRect() noexcept : RECT{0, 0, 0, 0} {}
    CRect(int l, int t, int r, int b) noexcept : RECT{l, t, r, b} {}
    CRect(const RECT& r) noexcept : RECT(r) {}

    int Width() const noexcept { return right - left; }
    int Height() const noexcept { return bottom - top; }
    // Left and top edges inside, right and bottom edges outside (::PtInRect).
    BOOL PtInRect(POINT p) const noexcept { return ::PtInRect(this, p); }
    BOOL IsRectEmpty() const noexcept { return ::IsRectEmpty(this); }
    void SetRect(int l, int t, int r, int b) noexcept { ::SetRect(this, l, t, r, b); }
    void OffsetRect(int dx, int dy) noexcept { ::OffsetRect(this, dx, dy); }
    CPoint TopLeft() const noexcept { return CPoint(left, top); }
    CPoint BottomRight() const noexcept { return CPoint(right, bottom); }

    operator LPRECT() noexcept { return this; }
    operator LPCRECT() const noexcept { return this; }
    bool operator==(const RECT& r) const noexcept { return ::EqualRect(this, &r) != 0; }
    bool operator!=(const RECT& r) const noexcept { return !(*this == r); }
};
