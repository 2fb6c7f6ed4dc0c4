#pragma once
// An off-screen bitmap the size of a window's client area, selected into a
// memory DC compatible with the DC being painted; Present() copies it there in
// one BitBlt. Used by the erase handlers of the combo box and its drop list.
#include <windows.h>

class BackBuffer {
public:
    BackBuffer(HWND hwnd, HDC target);
    ~BackBuffer();
    BackBuffer(const BackBuffer&) = delete;
    BackBuffer& operator=(const BackBuffer&) = delete;

    // False when the client area is empty or the bitmap could not be made.
    bool ok() const { return bitmap_ != nullptr; }
    HDC dc() const { return memoryDc_; }
    int width() const { return width_; }
    int height() const { return height_; }

    // BitBlt (SRCCOPY) of the whole buffer to the target at (0, 0).
    void Present() const;

private:
    HDC target_;
    int width_ = 0;
    int height_ = 0;
    HDC memoryDc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ oldBitmap_ = nullptr;
};
