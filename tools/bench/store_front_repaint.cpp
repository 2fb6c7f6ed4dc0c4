// Repaint benchmark of the store front: starts the real main window (modeless)
// against a store given by server.ini in DIR, then times its erase handler
// (the whole off-screen frame and its blit) and full redraws with children.
//   store_front_repaint.exe DIR [REPETITIONS]
// Prints median, 10th and 90th percentile in milliseconds.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/parvelle_dlg.h"
#include "net/http.h"
#include "skin/gdiplus_session.h"

namespace {

double Seconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    return static_cast<double>(to.QuadPart - from.QuadPart) / frequency.QuadPart;
}

void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

template <typename Action>
void Report(const char* what, int repetitions, Action action) {
    std::vector<double> ms;
    for (int i = 0; i < repetitions; ++i) {
        LARGE_INTEGER t0, t1;
        QueryPerformanceCounter(&t0);
        action();
        QueryPerformanceCounter(&t1);
        ms.push_back(Seconds(t0, t1) * 1000.0);
    }
    std::sort(ms.begin(), ms.end());
    const size_t n = ms.size();
    std::printf("%-44s median %7.3f ms  p10 %7.3f  p90 %7.3f  (%zu runs)\n", what, ms[n / 2],
                ms[n / 10], ms[n * 9 / 10], n);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: store_front_repaint DIR [REPETITIONS]\n");
        return 2;
    }
    const int repetitions = argc > 2 ? std::max(1, _wtoi(argv[2])) : 200;
    GdiplusSession gdiplus;
    HttpGlobalInit();

    CparvelleDlg dlg;
    dlg.startupInputs.moduleDir = argv[1];
    dlg.startupInputs.firstArgument = L"";
    if (!dlg.Create(CparvelleDlg::IDD, nullptr)) {
        std::fprintf(stderr, "the store front did not start (store or adapter missing)\n");
        return 1;
    }
    for (int i = 0; i < 20; ++i) {
        Pump();
        Sleep(10);
    }

    HDC dc = GetDC(dlg.m_hWnd);
    Report("erase handler (frame + blit)", repetitions, [&] {
        dlg.SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc));
        GdiFlush();
    });
    ReleaseDC(dlg.m_hWnd, dc);
    Report("full redraw with child windows", repetitions, [&] {
        RedrawWindow(dlg.m_hWnd, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        GdiFlush();
    });
    dlg.DestroyWindow();
    return 0;
}
