#include "dib_canvas.h"

#include <algorithm>

#include "base/dib_section.h"

DibCanvas::DibCanvas(int w, int h) : width(w), height(h) {
    void* raw = nullptr;
    dc = CreateCompatibleDC(nullptr);
    bitmap = CreateTopDownDib(dc, w, h, &raw);
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
