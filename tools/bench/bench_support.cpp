#include "tools/bench/bench_support.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

#include "process_stats.h"
#include "sim_client.h"

namespace {

std::vector<std::pair<std::string, double>>& Results() {
    static std::vector<std::pair<std::string, double>> results;
    return results;
}

}  // namespace

double MsSince(BenchClock::time_point start) {
    return std::chrono::duration<double, std::milli>(BenchClock::now() - start).count();
}

double MillisecondsBetween(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    return static_cast<double>(to.QuadPart - from.QuadPart) * 1000.0 / frequency.QuadPart;
}

double Median(std::vector<double> values) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t mid = values.size() / 2;
    return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

void PrintTimes(const char* what, const char* key, std::vector<double> ms) {
    if (ms.empty())
        return;
    std::sort(ms.begin(), ms.end());
    const size_t n = ms.size();
    std::printf("%-44s median %7.3f ms  p10 %7.3f  p90 %7.3f  (%zu runs)\n", what, ms[n / 2],
                ms[n / 10], ms[n * 9 / 10], n);
    AddResult(key, ms[n / 2]);
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

void AddGrowthResults(const std::string& key, const ProcessResources& before,
                      const ProcessResources& after) {
    AddResult(key + "_gdi", static_cast<double>(after.gdi - before.gdi));
    AddResult(key + "_handles", static_cast<double>(after.handles) - before.handles);
    AddResult(key + "_committed_kib",
              (static_cast<double>(after.committed) - before.committed) / 1024);
    AddResult(key + "_heap_kib", (static_cast<double>(after.heapBusy) - before.heapBusy) / 1024);
}

void AddResult(const std::string& key, double value) {
    if (std::isfinite(value))
        Results().emplace_back(key, value);
}

void PrintResults() {
    std::printf("RESULT");
    for (const auto& [key, value] : Results())
        std::printf(" %s=%.6g", key.c_str(), value);
    std::printf("\n");
    std::fflush(stdout);
}

bool LoadSimInfo(const std::string& path, SimClient* sim) {
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return false;
    std::string text;
    char chunk[4096];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0)
        text.append(chunk, n);
    std::fclose(f);
    SimInfo info;
    if (!SimClient::ParseInfo(text, &info))
        return false;
    *sim = SimClient(info);
    return true;
}
