#include "tools/bench/bench_support.h"

#include <psapi.h>

#include <algorithm>
#include <cstdio>

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

namespace {

// GetGuiResources where it works; under Wine (a stub that answers 0) the
// high-water mark of the GDI handle table: a batch larger than the free list
// ends exactly at live + batch.
long LiveGdiObjects() {
    const DWORD count = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (count != 0)
        return static_cast<long>(count);
    const int batch = 4000;
    std::vector<HBRUSH> brushes;
    brushes.reserve(batch);
    long highest = 0;
    for (int i = 0; i < batch; ++i) {
        HBRUSH b = CreateSolidBrush(RGB(i & 0xFF, 0, 0));
        highest = std::max<long>(highest, LOWORD(reinterpret_cast<ULONG_PTR>(b)));
        brushes.push_back(b);
    }
    for (HBRUSH b : brushes)
        DeleteObject(b);
    return highest - (batch - 1);
}

// GetProcessHandleCount where it works; under Wine (which answers 0) the
// high-water mark of the handle table, found the same way: handles are
// multiples of 4 handed out from the lowest free slot.
DWORD LiveHandles() {
    DWORD count = 0;
    if (GetProcessHandleCount(GetCurrentProcess(), &count) && count != 0)
        return count;
    const int batch = 2000;
    std::vector<HANDLE> events;
    events.reserve(batch);
    ULONG_PTR highest = 0;
    for (int i = 0; i < batch; ++i) {
        HANDLE e = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        if (!e)
            break;
        highest = std::max(highest, reinterpret_cast<ULONG_PTR>(e));
        events.push_back(e);
    }
    for (HANDLE e : events)
        CloseHandle(e);
    return static_cast<DWORD>(highest / 4) - static_cast<DWORD>(events.size());
}

// Bytes in use in every heap of the process (the C runtime's included).
SIZE_T HeapBusyBytes() {
    std::vector<HANDLE> heaps(256);
    const DWORD count = GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data());
    SIZE_T busy = 0;
    for (DWORD i = 0; i < count && i < heaps.size(); ++i) {
        if (!HeapLock(heaps[i]))
            continue;
        PROCESS_HEAP_ENTRY entry{};
        while (HeapWalk(heaps[i], &entry)) {
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY)
                busy += entry.cbData;
        }
        HeapUnlock(heaps[i]);
    }
    return busy;
}

}  // namespace

ProcessResources MeasureResources() {
    ProcessResources r;
    r.gdi = LiveGdiObjects();
    r.handles = LiveHandles();
    // PagefileUsage: committed private memory (Wine reports PrivateUsage as 0).
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    r.committed = counters.PagefileUsage;
    r.heapBusy = HeapBusyBytes();
    return r;
}

void PrintResources(const char* when, const ProcessResources& r) {
    std::printf("%-44s GDI %4ld  handles %5lu  committed %9.1f KiB  heap in use %9.1f KiB\n", when,
                r.gdi, r.handles, r.committed / 1024.0, r.heapBusy / 1024.0);
}
