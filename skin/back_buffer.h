#pragma once
// An off-screen bitmap the size of a window's client area, selected into a
// memory DC compatible with the DC being painted; Present() copies it there in
// one BitBlt. The erase handlers of the combo box and its drop list draw on it
// directly; OffscreenFrame adds GDI+ on top for the skinned windows. A
// FrameCache keeps one between paints, over a bitmap it owns and lends.
#include <windows.h>

#include <optional>

#include "base/scoped_handle.h"

class BackBuffer {
public:
    // A bitmap of its own, of the client size of `hwnd`.
    BackBuffer(HWND hwnd, HDC target);
    // `kept`, a bitmap of `size` that the caller owns, lent for this buffer's
    // life (it must be selected into no other DC meanwhile); `target` gives
    // the memory DC its kind.
    BackBuffer(HDC target, HBITMAP kept, SIZE size);
    ~BackBuffer();
    BackBuffer(const BackBuffer&) = delete;
    BackBuffer& operator=(const BackBuffer&) = delete;

    // False when the client area is empty or the bitmap could not be made.
    bool ok() const { return bitmap_ != nullptr; }
    HDC dc() const { return memoryDc_.get(); }
    HBITMAP bitmap() const { return bitmap_; }
    const RECT& client() const { return client_; }
    int width() const { return client_.right - client_.left; }
    int height() const { return client_.bottom - client_.top; }

    // BitBlt (SRCCOPY) of the whole buffer to the target at (0, 0).
    void Present() const { Present(target_); }
    // The same to another DC (a kept buffer's later paints).
    void Present(HDC target) const;

private:
    HDC target_;
    RECT client_{};
    ScopedMemoryDc memoryDc_;
    ScopedBitmap own_;          // the bitmap, when not lent
    HBITMAP bitmap_ = nullptr;  // own_'s or the lent one, selected into memoryDc_
    // Last: the DC lets go of the bitmap before either is freed.
    std::optional<ScopedSelection> selection_;
};
