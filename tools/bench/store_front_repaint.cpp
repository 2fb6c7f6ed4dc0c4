// Repaint benchmark of the store front: starts the real main window (modeless)
// against a store given by server.ini in DIR, then times the blit of a
// finished frame of its size (the floor), its erase handler with nothing
// changed (the kept frame's blit) and with the frame to compose anew, an
// expose of the window and full redraws with children.
//   store_front_repaint.exe DIR [REPETITIONS]
// Prints median, 10th and 90th percentile in milliseconds.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "skin/gdiplus_session.h"
#include "tools/bench/bench_support.h"
#include "tools/bench/bench_window.h"

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: store_front_repaint DIR [REPETITIONS]\n");
        return 2;
    }
    const int repetitions = argc > 2 ? std::max(1, _wtoi(argv[2])) : 200;
    GdiplusSession gdiplus;
    CparvelleDlg dlg;
    if (!StartMainWindow(dlg, argv[1]))
        return 1;

    RECT client{};
    dlg.GetClientRect(&client);
    std::printf("store front: %ld x %ld device pixels\n", client.right, client.bottom);
    ReportTimes("blit of a finished frame (floor)", "store_front_blit_ms", repetitions,
                BlitFloor(dlg.m_hWnd));
    ReportTimes("erase handler, nothing changed", "store_front_erase_ms", repetitions,
                EraseRepaint(dlg.m_hWnd));
    ReportTimes("erase handler, frame composed anew", "store_front_compose_ms", repetitions,
                ComposeRepaint(dlg.m_hWnd, dlg.frame));
    ReportTimes("expose of the window", "store_front_expose_ms", repetitions,
                [&] { ExposeRepaint(dlg.m_hWnd); });
    ReportTimes("full redraw with child windows", "store_front_redraw_ms", repetitions, [&] {
        RedrawWindow(dlg.m_hWnd, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        GdiFlush();
    });
    PrintResults();
    dlg.DestroyWindow();
    return 0;
}
