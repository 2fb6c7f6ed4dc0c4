#include "tools/bench/bench_window.h"

#include <cstdio>

#include "net/http.h"
#include "pump.h"
#include "tools/bench/bench_support.h"

bool StartMainWindow(CparvelleDlg& dlg, const wchar_t* dir) {
    HttpGlobalInit();
    dlg.startupInputs.moduleDir = dir;
    dlg.startupInputs.firstArgument = L"";
    if (!dlg.Create(CparvelleDlg::IDD, nullptr)) {
        std::fprintf(stderr, "the store front did not start (store or adapter missing)\n");
        return false;
    }
    for (int i = 0; i < 20; ++i) {
        PumpPending();
        Sleep(10);
    }
    return true;
}
