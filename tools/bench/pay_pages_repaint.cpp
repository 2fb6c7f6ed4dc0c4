// Payment pages benchmark: starts the real main window (modeless) against a
// store given by server.ini in DIR, opens each payment page with an order of
// the first package (so its QR code exists) and times the erase handler of
// each view, unchanged and composed anew: the purchase view with the order's
// QR code, with the placeholder instead, with a 10,000-character detail
// text, and the paid view; the blit of a finished frame of the page's size.
// Then prints GDI objects,
// handles, committed memory and heap in use before and after REPAINTS
// repaints of all four views in turn (each a view switch, so each composes).
//   pay_pages_repaint.exe DIR [REPAINTS]
#include <windows.h>
#include <gdiplus.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/parvelle_dlg.h"
#include "config/local_config.h"
#include "pump.h"
#include "skin/gdiplus_session.h"
#include "store/orders.h"
#include "tools/bench/bench_support.h"
#include "tools/bench/bench_window.h"

namespace {

constexpr int kTimedRuns = 500;

// Times each view of `page`, unchanged (the kept frame's blit) and composed
// anew, against the blit of a finished frame of the page's size; the
// results' keys start with `key`.
void TimeViews(const char* name, const std::string& key, CWnd& page, PayPageCore& core) {
    const EraseRepaint paint(page.m_hWnd);
    const ComposeRepaint compose(page.m_hWnd, core.frame);
    const std::string prefix = name;
    ReportTimes((prefix + " blit of a finished frame (floor)").c_str(), (key + "_blit_ms").c_str(),
                kTimedRuns, BlitFloor(page.m_hWnd));
    core.SetView(kPurchaseView);
    for (int i = 0; i < 50; ++i)
        compose();
    ReportTimes((prefix + " purchase view, QR code, unchanged").c_str(), (key + "_qr_ms").c_str(),
                kTimedRuns, paint);
    ReportTimes((prefix + " purchase view, QR code, composed").c_str(),
                (key + "_qr_compose_ms").c_str(), kTimedRuns, compose);
    ReportTimes((prefix + " purchase view, expose").c_str(), (key + "_qr_expose_ms").c_str(),
                kTimedRuns, [&] { ExposeRepaint(page.m_hWnd); });

    QrPicture aside = std::move(storeState.currentQr);
    storeState.currentQr = QrPicture{};
    ReportTimes((prefix + " purchase view, placeholder, composed").c_str(),
                (key + "_placeholder_ms").c_str(), kTimedRuns, compose);
    storeState.currentQr = std::move(aside);

    const PackageRecord shown = core.package();
    PackageRecord longDetails = shown;
    longDetails.packageDetail.assign(10000, L'长');
    core.SetPackage(nullptr, longDetails);
    ReportTimes((prefix + " purchase view, 10,000-char details, composed").c_str(),
                (key + "_long_details_ms").c_str(), 50, compose);
    core.SetPackage(nullptr, shown);

    core.SetView(kPaidView);
    for (int i = 0; i < 20; ++i)
        compose();
    ReportTimes((prefix + " paid view, unchanged").c_str(), (key + "_paid_ms").c_str(), kTimedRuns,
                paint);
    ReportTimes((prefix + " paid view, composed").c_str(), (key + "_paid_compose_ms").c_str(),
                kTimedRuns, compose);
    core.SetView(kPurchaseView);
}

// Both pages in turn, a view switch (and so a composed frame) at every fourth
// repaint, the purchase views drawing the QR code: what the process holds
// before and after.
void RepaintAll(CparvelleDlg& dlg, int repaints) {
    const EraseRepaint paint1(dlg.pagePay1.m_hWnd);
    const EraseRepaint paint2(dlg.pagePay2.m_hWnd);
    const ProcessResources before = MeasureResources();
    for (int i = 0; i < repaints; ++i) {
        PayPageCore& core = i % 2 == 0 ? dlg.pagePay1.core : dlg.pagePay2.core;
        if (i % 4 < 2)
            core.SetView(i % 8 < 4 ? kPurchaseView : kPaidView);
        if (i % 2 == 0)
            paint1();
        else
            paint2();
    }
    PumpPending();
    const ProcessResources after = MeasureResources();
    PrintResources("before", before);
    PrintResources(("after " + std::to_string(repaints) + " repaints").c_str(), after);
    AddResult("pay_repaints", repaints);
    AddGrowthResults("pay_repaints", before, after);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: pay_pages_repaint DIR [REPAINTS]\n");
        return 2;
    }
    const int repaints = argc > 2 ? std::max(4, _wtoi(argv[2])) : 3000;
    GdiplusSession gdiplus;
    CparvelleDlg dlg;
    if (!StartMainWindow(dlg, argv[1]))
        return 1;
    mobileNumber = "13800138000";
    const PackageRecord package = storeState.products.front().packages.front();

    dlg.pagePay1.ShowPackage(1, package);  // orders the package
    dlg.pagePay1.ShowWindow(SW_SHOW);      // the page switcher's slide, at once
    PumpPending();
    if (storeState.currentQr.empty()) {
        std::fprintf(stderr, "no QR code: the order was not created\n");
        return 1;
    }
    TimeViews("CPagePay1", "pay1", dlg.pagePay1, dlg.pagePay1.core);

    dlg.pagePay1.ShowWindow(SW_HIDE);
    dlg.pagePay2.ShowPackage(1, package);
    dlg.pagePay2.ShowWindow(SW_SHOW);
    PumpPending();
    dlg.pagePay2.core.RequestOrder(dlg.pagePay2.m_hWnd, 2);
    PumpPending();
    TimeViews("CPagePay2", "pay2", dlg.pagePay2, dlg.pagePay2.core);

    RepaintAll(dlg, repaints);
    PrintResults();
    StopOrderPolling();
    dlg.DestroyWindow();
    return 0;
}
