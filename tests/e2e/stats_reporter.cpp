#include "tests/e2e/stats_reporter.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "process_stats.h"

namespace {

struct ReporterSettings {
    std::wstring path;
    DWORD periodMs = 60000;
};

unsigned long __stdcall ReportLoop(void* argument) {
    const ReporterSettings* settings = static_cast<const ReporterSettings*>(argument);
    const DWORD start = GetTickCount();
    for (;;) {
        ProcessStats stats = ReadProcessStats();
        if (FILE* file = _wfopen(settings->path.c_str(), L"a")) {
            std::fprintf(file, "%lu heap=%zu handles=%lu gdi=%ld committed=%zu\n",
                         (GetTickCount() - start) / 1000, stats.heapBytes, stats.handles,
                         stats.gdiObjects, stats.committedBytes);
            std::fclose(file);
        }
        Sleep(settings->periodMs);
    }
}

}  // namespace

void StartStatsReporterFromEnvironment() {
    const wchar_t* path = _wgetenv(L"PARVELLE_TEST_STATS");
    if (path == nullptr || *path == 0)
        return;
    // Lives as long as the process, like the thread that reads it.
    static ReporterSettings settings;
    settings.path = path;
    if (const wchar_t* seconds = _wgetenv(L"PARVELLE_TEST_STATS_SECONDS")) {
        const long value = std::wcstol(seconds, nullptr, 10);
        if (value > 0 && value < 86400)
            settings.periodMs = static_cast<DWORD>(value) * 1000;
    }
    if (HANDLE thread = CreateThread(nullptr, 0, ReportLoop, &settings, 0, nullptr))
        CloseHandle(thread);
}
