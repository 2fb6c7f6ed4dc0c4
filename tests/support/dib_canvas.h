#pragma once
// A top-down 32-bit DIB section selected into a memory DC, for tests that let
// a window paint into memory (WM_ERASEBKGND with the canvas's DC) and read the
// pixels back.
#include <windows.h>

#include <cstdint>
#include <vector>

struct DibCanvas {
    DibCanvas(int width, int height);
    ~DibCanvas();
    DibCanvas(const DibCanvas&) = delete;
    DibCanvas& operator=(const DibCanvas&) = delete;

    // 0x00RRGGBB of one pixel.
    DWORD Pixel(int x, int y) const { return bits[y * width + x] & 0xFFFFFF; }
    // Every pixel set to `value` (e.g. a poison colour a paint must cover).
    void Fill(std::uint32_t value);
    // All pixels as 0x00RRGGBB, row by row from the top.
    std::vector<std::uint32_t> Pixels() const;

    int width;
    int height;
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ old = nullptr;
    DWORD* bits = nullptr;
};

// The pixels `hwnd` paints in its erase handler into a width x height canvas
// first filled with `background`.
std::vector<std::uint32_t> CaptureErasePaint(HWND hwnd, int width, int height,
                                             std::uint32_t background = 0);
