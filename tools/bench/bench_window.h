#pragma once
// The real main window for the repaint benchmarks: started modeless against
// the store that server.ini in a directory names, and its windows' erase
// handlers run as a repaint runs them: unchanged (the kept frame's blit),
// changed (composed anew), exposed; and the floor they are measured against,
// the blit of a finished frame of the window's size.
#include <windows.h>

#include "app/parvelle_dlg.h"
#include "skin/frame_cache.h"

// Creates `dlg` against the store of `dir`'s server.ini and lets its
// start-up messages run; false (with a message) when it did not start.
// The caller holds the GDI+ session.
bool StartMainWindow(CparvelleDlg& dlg, const wchar_t* dir);

// One repaint of a window: its erase handler (the whole off-screen frame and
// the blit) into the window's DC, flushed.
class EraseRepaint {
public:
    explicit EraseRepaint(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~EraseRepaint() { ReleaseDC(window_, dc_); }
    EraseRepaint(const EraseRepaint&) = delete;
    EraseRepaint& operator=(const EraseRepaint&) = delete;

    void operator()() const {
        SendMessageW(window_, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc_), 0);
        GdiFlush();
    }

private:
    HWND window_;
    HDC dc_;
};

// The same erase after `frame` was marked changed: the window composes its
// frame anew, as after a change of what it shows.
class ComposeRepaint {
public:
    ComposeRepaint(HWND window, FrameCache& frame) : paint_(window), frame_(frame) {}
    void operator()() const {
        frame_.Changed(nullptr);
        paint_();
    }

private:
    EraseRepaint paint_;
    FrameCache& frame_;
};

// An expose of the window alone: invalidated and updated at once (erase and
// paint messages as the system sends them), flushed.
inline void ExposeRepaint(HWND window) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    GdiFlush();
}

// The floor: one BitBlt of a finished frame of the window's client size (a
// 32-bit DIB section, as a kept frame is) into the window's DC, flushed.
class BlitFloor {
public:
    explicit BlitFloor(HWND window);
    ~BlitFloor();
    BlitFloor(const BlitFloor&) = delete;
    BlitFloor& operator=(const BlitFloor&) = delete;
    void operator()() const;

private:
    HWND window_;
    HDC dc_;
    HDC memory_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    SIZE size_{};
};
