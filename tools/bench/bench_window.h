#pragma once
// The real main window for the repaint benchmarks: started modeless against
// the store that server.ini in a directory names, and its windows' erase
// handlers run as a repaint runs them.
#include <windows.h>

#include "app/parvelle_dlg.h"

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
