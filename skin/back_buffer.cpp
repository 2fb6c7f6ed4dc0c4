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

BackBuffer::BackBuffer(HDC target, HBITMAP kept, SIZE size)
    : target_(target), client_{0, 0, size.cx, size.cy}, ownsBitmap_(false) {
    if (kept == nullptr || width() <= 0 || height() <= 0) {
        return;
    }
    memoryDc_ = CreateCompatibleDC(target);
    if (memoryDc_ == nullptr) {
        return;
    }
    oldBitmap_ = SelectObject(memoryDc_, kept);
    if (oldBitmap_ == nullptr) {
        DeleteDC(memoryDc_);
        memoryDc_ = nullptr;
        return;
    }
    bitmap_ = kept;
}

BackBuffer::~BackBuffer() {
    if (memoryDc_ != nullptr) {
        SelectObject(memoryDc_, oldBitmap_);
        if (ownsBitmap_)
            DeleteObject(bitmap_);
        DeleteDC(memoryDc_);
    }
}

void BackBuffer::Present(HDC target) const {
    if (ok()) {
        BitBlt(target, 0, 0, width(), height(), memoryDc_, 0, 0, SRCCOPY);
    }
}
