#include "tools/bench/bench_support.h"

#include <algorithm>
#include <cstdio>

#include "process_stats.h"

void PumpMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

double MillisecondsBetween(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    return static_cast<double>(to.QuadPart - from.QuadPart) * 1000.0 / frequency.QuadPart;
}

void PrintTimes(const char* what, std::vector<double> ms) {
    if (ms.empty())
        return;
    std::sort(ms.begin(), ms.end());
    const size_t n = ms.size();
    std::printf("%-44s median %7.3f ms  p10 %7.3f  p90 %7.3f  (%zu runs)\n", what, ms[n / 2],
                ms[n / 10], ms[n * 9 / 10], n);
}

ProcessResources MeasureResources() {
    const ProcessStats stats = ReadProcessStats();
    ProcessResources r;
    r.gdi = stats.gdiObjects;
    r.handles = stats.handles;
    r.committed = stats.committedBytes;
    r.heapBusy = stats.heapBytes;
    return r;
}

void PrintResources(const char* when, const ProcessResources& r) {
    std::printf("%-44s GDI %4ld  handles %5lu  committed %9.1f KiB  heap in use %9.1f KiB\n", when,
                r.gdi, r.handles, r.committed / 1024.0, r.heapBusy / 1024.0);
}
