#include "dib_canvas.h"

#include <algorithm>

DibCanvas::DibCanvas(int w, int h) : width(w), height(h) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* raw = nullptr;
    dc = CreateCompatibleDC(nullptr);
    bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &raw, nullptr, 0);
    bits = static_cast<DWORD*>(raw);
    old = SelectObject(dc, bitmap);
}

DibCanvas::~DibCanvas() {
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

void DibCanvas::Fill(std::uint32_t value) {
    if (bits != nullptr) {
        std::fill_n(bits, static_cast<size_t>(width) * height, value);
    }
}

std::vector<std::uint32_t> DibCanvas::Pixels() const {
    std::vector<std::uint32_t> pixels;
    if (bits == nullptr) {
        return pixels;
    }
    GdiFlush();
    pixels.assign(bits, bits + static_cast<size_t>(width) * height);
    for (std::uint32_t& p : pixels) {
        p &= 0x00FFFFFF;
    }
    return pixels;
}

std::vector<std::uint32_t> CaptureErasePaint(HWND hwnd, int width, int height,
                                             std::uint32_t background) {
    DibCanvas canvas(width, height);
    canvas.Fill(background);
    SendMessageW(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas.dc), 0);
    return canvas.Pixels();
}
