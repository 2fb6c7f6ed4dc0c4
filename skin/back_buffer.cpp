#include "skin/back_buffer.h"

BackBuffer::BackBuffer(HWND hwnd, HDC target) : target_(target) {
    GetClientRect(hwnd, &client_);
    if (width() <= 0 || height() <= 0)
        return;
    memoryDc_.reset(CreateCompatibleDC(target));
    // Compatible with the target: a bitmap compatible with the fresh memory DC
    // would be monochrome.
    own_.reset(CreateCompatibleBitmap(target, width(), height()));
    if (!memoryDc_ || !own_)
        return;
    selection_.emplace(memoryDc_.get(), own_.get());
    if (selection_->ok())
        bitmap_ = own_.get();
}

BackBuffer::BackBuffer(HDC target, HBITMAP kept, SIZE size)
    : target_(target), client_{0, 0, size.cx, size.cy} {
    if (kept == nullptr || width() <= 0 || height() <= 0)
        return;
    memoryDc_.reset(CreateCompatibleDC(target));
    if (!memoryDc_)
        return;
    selection_.emplace(memoryDc_.get(), kept);
    if (selection_->ok())
        bitmap_ = kept;
}

BackBuffer::~BackBuffer() {
    selection_.reset();
}

void BackBuffer::Present(HDC target) const {
    if (ok())
        BitBlt(target, 0, 0, width(), height(), memoryDc_.get(), 0, 0, SRCCOPY);
}
