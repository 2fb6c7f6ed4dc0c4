#pragma once
// A plain Win32 window that paints like the program's skinned windows: a
// title band with a caption, a line of body text and picture buttons with
// hover tracking, all through the off-screen frame.
#include <windows.h>
#include <gdiplus.h>

#include <cstdint>
#include <vector>

#include "pump.h"
#include "skin/drawn_elements.h"

class SkinTestWindow {
public:
    static constexpr Gdiplus::ARGB kTitleBand = 0xFF272E48;
    static constexpr int kTitleHeight = 24;

    SkinTestWindow(std::vector<SkinElement> elements, int width, int height,
                   const wchar_t* caption = L"测试窗口");
    ~SkinTestWindow();
    SkinTestWindow(const SkinTestWindow&) = delete;
    SkinTestWindow& operator=(const SkinTestWindow&) = delete;

    HWND hwnd() const { return hwnd_; }
    DrawnElements& elements() { return elements_; }

    // Paints into a 32-bit DIB through WM_ERASEBKGND, as the window would paint
    // itself, and returns the pixels (0x00RRGGBB, row by row from the top).
    std::vector<std::uint32_t> Capture();

    int paints = 0;
    HDC lastMemoryDc = nullptr;    // the handles of the last paint's frame,
    HBITMAP lastBitmap = nullptr;  // gone once the paint has ended

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
    LRESULT Handle(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
    void Paint(HDC dc);

    HWND hwnd_ = nullptr;
    int width_;
    int height_;
    DrawnElements elements_;
    const wchar_t* caption_;
};
