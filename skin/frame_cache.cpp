#include "skin/frame_cache.h"

#include "base/dib_section.h"
#include "skin/display_scale.h"

namespace {

// The window property through which FrameChanged finds a window's frame.
constexpr wchar_t kFrameProperty[] = L"ParvelleKeptFrame";

SIZE ClientSize(HWND hwnd) {
    RECT client{};
    if (!GetClientRect(hwnd, &client))
        return SIZE{};
    return SIZE{client.right - client.left, client.bottom - client.top};
}

// Invalidates (with erase) the device pixels logical `rect` touches; null:
// the whole client area.
void InvalidateLogical(HWND hwnd, const RECT* rect) {
    if (rect == nullptr) {
        InvalidateRect(hwnd, nullptr, TRUE);
        return;
    }
    const RECT device = DisplayScale::Of(hwnd).ToDeviceBounds(*rect);
    InvalidateRect(hwnd, &device, TRUE);
}

bool SameSize(const SIZE& a, const SIZE& b) {
    return a.cx == b.cx && a.cy == b.cy;
}

}  // namespace

FrameCache::~FrameCache() {
    Release();
}

void FrameCache::Changed(HWND hwnd, const RECT* rect) {
    changed_ = true;
    if (hwnd != nullptr)
        InvalidateLogical(hwnd, rect);
}

bool FrameCache::Current(HWND hwnd) const {
    return kept_ && !changed_ && attached_ == hwnd && SameSize(ClientSize(hwnd), size_) &&
           DisplayScale::Of(hwnd).dpi() == dpi_;
}

bool FrameCache::Prepare(HWND hwnd, HDC dc) {
    const SIZE size = ClientSize(hwnd);
    if (!kept_ || attached_ != hwnd || !SameSize(size, size_)) {
        Release();
        if (size.cx <= 0 || size.cy <= 0)
            return false;
        // A 32-bit DIB section whatever DC paints first (a window's, or a
        // memory DC printing it): the same frame at every later paint, and
        // GDI+ draws text on it as it does on a memory frame of one paint.
        bitmap_.reset(CreateTopDownDib(dc, size.cx, size.cy));
        if (!bitmap_)
            return false;
        size_ = size;
        kept_.emplace(dc, bitmap_.get(), size_);
        if (!kept_->ok()) {
            Release();
            return false;
        }
    }
    // A window moved to a screen of another scale may keep its size for a
    // moment: a frame drawn at the old scale is no frame for it.
    dpi_ = DisplayScale::Of(hwnd).dpi();
    Attach(hwnd);
    return true;
}

void FrameCache::Attach(HWND hwnd) {
    if (attached_ == hwnd)
        return;
    if (attached_ != nullptr && GetPropW(attached_, kFrameProperty) == this)
        RemovePropW(attached_, kFrameProperty);
    attached_ = SetPropW(hwnd, kFrameProperty, this) ? hwnd : nullptr;
}

void FrameCache::Release() {
    kept_.reset();  // lets go of the bitmap first
    bitmap_.reset();
    size_ = SIZE{};
    changed_ = true;
    // A window that outlives its frame must not reach it any more.
    if (attached_ != nullptr && GetPropW(attached_, kFrameProperty) == this)
        RemovePropW(attached_, kFrameProperty);
    attached_ = nullptr;
}

namespace {

BOOL CALLBACK ReleaseFrameOf(HWND window, LPARAM) {
    if (auto* frame = static_cast<FrameCache*>(GetPropW(window, kFrameProperty)))
        frame->Release();
    return TRUE;
}

BOOL CALLBACK MarkFrameOf(HWND window, LPARAM) {
    if (auto* frame = static_cast<FrameCache*>(GetPropW(window, kFrameProperty)))
        frame->Changed(nullptr);
    return TRUE;
}

}  // namespace

void ReleaseFramesOf(HWND window) {
    if (window == nullptr)
        return;
    ReleaseFrameOf(window, 0);
    EnumChildWindows(window, ReleaseFrameOf, 0);
}

void RedrawFramesOf(HWND window) {
    if (window == nullptr)
        return;
    MarkFrameOf(window, 0);
    EnumChildWindows(window, MarkFrameOf, 0);
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
}

void FrameChanged(HWND hwnd, const RECT* rect) {
    if (hwnd == nullptr)
        return;
    if (auto* frame = static_cast<FrameCache*>(GetPropW(hwnd, kFrameProperty)))
        frame->Changed(hwnd, rect);
    else
        InvalidateLogical(hwnd, rect);
}
