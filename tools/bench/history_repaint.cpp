// Order history benchmark: starts the real main window (modeless) against a
// store given by server.ini in DIR, makes sure the machine has at least 13
// orders there, opens the history page and times the erase handlers of the
// table (12 rows) and of the page; then prints GDI objects, handles,
// committed memory and heap bytes in use, to show they stay flat over REPAINTS repaints and FETCHES
// page fetches (pages 1 and 2 in turn).
//   history_repaint.exe DIR [REPAINTS] [FETCHES]
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/parvelle_dlg.h"
#include "config/local_config.h"
#include "net/http.h"
#include "skin/gdiplus_session.h"
#include "store/api_url.h"

namespace {

double Milliseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    return static_cast<double>(to.QuadPart - from.QuadPart) * 1000.0 / frequency.QuadPart;
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
        ms.push_back(Milliseconds(t0, t1));
    }
    std::sort(ms.begin(), ms.end());
    const size_t n = ms.size();
    std::printf("%-36s median %7.3f ms  p10 %7.3f  p90 %7.3f  (%zu runs)\n", what, ms[n / 2],
                ms[n / 10], ms[n * 9 / 10], n);
}

struct Resources {
    long gdi = 0;
    DWORD handles = 0;
    SIZE_T committed = 0;
    SIZE_T heapBusy = 0;
};

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

Resources Measure() {
    Resources r;
    r.gdi = LiveGdiObjects();
    GetProcessHandleCount(GetCurrentProcess(), &r.handles);
    // PagefileUsage: committed private memory (Wine reports PrivateUsage as 0).
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    r.committed = counters.PagefileUsage;
    r.heapBusy = HeapBusyBytes();
    return r;
}

void PrintResources(const char* when, const Resources& r) {
    std::printf("%-36s GDI %4ld  handles %5lu  committed %9.1f KiB  heap in use %9.1f KiB\n", when,
                r.gdi, r.handles, r.committed / 1024.0, r.heapBusy / 1024.0);
}

// Orders of this machine, made through the store's own API.
void EnsureOrders(int count) {
    for (int i = 0; i < count; ++i) {
        const std::string url = ApiUrl("createOrder", {{"mac", localConfig.machineId},
                                                       {"type", 1},
                                                       {"channel", localConfig.channel},
                                                       {"pay_type", 2},
                                                       {"package_id", 101 + i % 5},
                                                       {"mobile", "13800138000"}});
        std::vector<char> buffer(4096, 0);
        int length = 4096;
        HttpGetToBuffer(url, buffer.data(), &length, 10);
    }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: history_repaint DIR [REPAINTS] [FETCHES]\n");
        return 2;
    }
    const int repaints = argc > 2 ? std::max(2, _wtoi(argv[2])) : 3000;
    const int fetches = argc > 3 ? std::max(2, _wtoi(argv[3])) : 200;
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

    CPageHistory& page = dlg.pageHistory;
    page.FetchOrderPage(1);
    if (page.totalOrders < 13) {
        EnsureOrders(13 - page.totalOrders);
        page.FetchOrderPage(1);
    }
    page.ShowWindow(SW_SHOW);
    Pump();
    std::printf("history: %d orders, %d rows on page 1, %zu pager cells\n", page.totalOrders,
                page.list.RowCount(), page.pagerCells.size());

    HDC listDc = GetDC(page.list.m_hWnd);
    HDC pageDc = GetDC(page.m_hWnd);
    auto paintList = [&] {
        page.list.SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(listDc));
        GdiFlush();
    };
    auto paintPage = [&] {
        page.SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(pageDc));
        GdiFlush();
    };
    // Warm: fonts, the picture decoder and the transport's connection.
    for (int i = 0; i < 50; ++i) {
        paintList();
        paintPage();
    }
    page.FetchOrderPage(2);
    page.FetchOrderPage(1);
    Pump();

    Report("table repaint (12 rows)", std::min(repaints, 500), paintList);
    Report("page repaint (pager, total line)", std::min(repaints, 500), paintPage);

    const Resources before = Measure();
    for (int i = 0; i < repaints; ++i) {
        if (i % 2 == 0)
            paintList();
        else
            paintPage();
    }
    Pump();
    const Resources afterRepaints = Measure();
    LARGE_INTEGER t0, t1;
    QueryPerformanceCounter(&t0);
    for (int i = 0; i < fetches; ++i) {
        page.FetchOrderPage(1 + i % 2);
        Pump();
    }
    QueryPerformanceCounter(&t1);
    const Resources afterFetches = Measure();
    std::printf("page fetch (request, b.txt, refill)   mean %7.3f ms  (%d fetches)\n",
                Milliseconds(t0, t1) / fetches, fetches);
    PrintResources("before", before);
    PrintResources(("after " + std::to_string(repaints) + " repaints").c_str(), afterRepaints);
    PrintResources(("after " + std::to_string(fetches) + " page fetches").c_str(), afterFetches);

    ReleaseDC(page.list.m_hWnd, listDc);
    ReleaseDC(page.m_hWnd, pageDc);
    dlg.DestroyWindow();
    return 0;
}
