#include "skin/back_buffer.h"

BackBuffer::BackBuffer(HWND hwnd, HDC target) : target_(target) {
    GetClientRect(hwnd, &client_);
    if (width() <= 0 || height() <= 0) {
        return;
    }
    memoryDc_ = CreateCompatibleDC(target);
    if (memoryDc_ == nullptr) {
        return;
    }
    // Compatible with the target: a bitmap compatible with the fresh memory DC
    // would be monochrome.
    bitmap_ = CreateCompatibleBitmap(target, width(), height());
    if (bitmap_ == nullptr) {
        DeleteDC(memoryDc_);
        memoryDc_ = nullptr;
        return;
    }
    oldBitmap_ = SelectObject(memoryDc_, bitmap_);
}

BackBuffer::~BackBuffer() {
    if (memoryDc_ != nullptr) {
        SelectObject(memoryDc_, oldBitmap_);
        DeleteObject(bitmap_);
        DeleteDC(memoryDc_);
    }
}

void BackBuffer::Present() const {
    if (ok()) {
        BitBlt(target_, 0, 0, width(), height(), memoryDc_, 0, 0, SRCCOPY);
    }
}
