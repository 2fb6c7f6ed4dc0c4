// Order history benchmark: starts the real main window (modeless) against a
// store given by server.ini in DIR, makes sure the machine has at least 13
// orders there, opens the history page and times the erase handlers of the
// table (12 rows) and of the page, unchanged and composed anew, against the
// blit of a finished frame of each one's size; then prints GDI objects, handles,
// committed memory and heap bytes in use, to show they stay flat over
// REPAINTS repaints and FETCHES page fetches (pages 1 and 2 in turn).
//   history_repaint.exe DIR [REPAINTS] [FETCHES]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/parvelle_dlg.h"
#include "config/local_config.h"
#include "net/http.h"
#include "pump.h"
#include "skin/gdiplus_session.h"
#include "store/api_url.h"
#include "tools/bench/bench_support.h"
#include "tools/bench/bench_window.h"

namespace {

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

// Times the history page's repaints and page fetches and prints what the
// process holds before and after them.
void Measure(CPageHistory& page, int repaints, int fetches) {
    page.FetchOrderPage(1);
    if (page.totalOrders < 13) {
        EnsureOrders(13 - page.totalOrders);
        page.FetchOrderPage(1);
    }
    page.ShowWindow(SW_SHOW);
    PumpPending();
    size_t cells = 0;
    for (const SkinElement& element : page.elements)
        cells += element.role == ElementRole::Cell ? 1 : 0;
    std::printf("history: %d orders, %d rows on page 1, %zu pager cells\n", page.totalOrders,
                page.list.RowCount(), cells);

    const EraseRepaint paintList(page.list.m_hWnd);
    const EraseRepaint paintPage(page.m_hWnd);
    // Warm: fonts, the picture decoder and the transport's connection.
    for (int i = 0; i < 50; ++i) {
        paintList();
        paintPage();
    }
    page.FetchOrderPage(2);
    page.FetchOrderPage(1);
    PumpPending();

    const int timed = std::min(repaints, 500);
    const ComposeRepaint composeList(page.list.m_hWnd, page.list.frame);
    const ComposeRepaint composePage(page.m_hWnd, page.frame);
    ReportTimes("table, blit of a finished frame (floor)", "history_table_blit_ms", timed,
                BlitFloor(page.list.m_hWnd));
    ReportTimes("table repaint (12 rows), unchanged", "history_table_ms", timed, paintList);
    ReportTimes("table repaint (12 rows), composed", "history_table_compose_ms", timed,
                composeList);
    ReportTimes("page, blit of a finished frame (floor)", "history_page_blit_ms", timed,
                BlitFloor(page.m_hWnd));
    ReportTimes("page repaint (pager, total line), unchanged", "history_page_ms", timed, paintPage);
    ReportTimes("page repaint (pager, total line), composed", "history_page_compose_ms", timed,
                composePage);

    // Every fourth repaint composes, as after a change.
    const ProcessResources before = MeasureResources();
    for (int i = 0; i < repaints; ++i) {
        if (i % 4 == 0)
            composeList();
        else if (i % 4 == 2)
            composePage();
        else if (i % 2 == 0)
            paintList();
        else
            paintPage();
    }
    PumpPending();
    const ProcessResources afterRepaints = MeasureResources();
    LARGE_INTEGER t0, t1;
    QueryPerformanceCounter(&t0);
    for (int i = 0; i < fetches; ++i) {
        page.FetchOrderPage(1 + i % 2);
        PumpPending();
    }
    QueryPerformanceCounter(&t1);
    const ProcessResources afterFetches = MeasureResources();
    std::printf("%-44s mean   %7.3f ms  (%d fetches)\n", "page fetch (request, b.txt, refill)",
                MillisecondsBetween(t0, t1) / fetches, fetches);
    PrintResources("before", before);
    PrintResources(("after " + std::to_string(repaints) + " repaints").c_str(), afterRepaints);
    PrintResources(("after " + std::to_string(fetches) + " page fetches").c_str(), afterFetches);
    AddResult("history_fetch_ms", MillisecondsBetween(t0, t1) / fetches);
    AddResult("history_repaints", repaints);
    AddGrowthResults("history_repaints", before, afterRepaints);
    AddResult("history_fetches", fetches);
    AddGrowthResults("history_fetches", afterRepaints, afterFetches);
    PrintResults();
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
    CparvelleDlg dlg;
    if (!StartMainWindow(dlg, argv[1]))
        return 1;

    Measure(dlg.pageHistory, repaints, fetches);
    dlg.DestroyWindow();
    return 0;
}
