#pragma once
// What the benchmark programs share: timing and percentiles, the process's
// GDI objects, handles, committed memory and heap in use (to show they stay
// flat over many repaints or orders), the simulator's sim.json, and the one
// machine-readable line the performance report reads.
#include <windows.h>

#include <chrono>
#include <string>
#include <vector>

class SimClient;

using BenchClock = std::chrono::steady_clock;

double MsSince(BenchClock::time_point start);
double MillisecondsBetween(const LARGE_INTEGER& from, const LARGE_INTEGER& to);

// Median of `values` (the mean of the middle two for an even count); 0 when
// empty.
double Median(std::vector<double> values);

// Runs `action` `repetitions` times and prints median, 10th and 90th
// percentile in milliseconds; the median also goes into the results as `key`.
template <typename Action>
void ReportTimes(const char* what, const char* key, int repetitions, Action&& action);

struct ProcessResources {
    long gdi = 0;
    DWORD handles = 0;
    SIZE_T committed = 0;
    SIZE_T heapBusy = 0;
};

ProcessResources MeasureResources();
void PrintResources(const char* when, const ProcessResources& r);
// Growth from `before` to `after` as results `<key>_gdi`, `<key>_handles`,
// `<key>_committed_kib` and `<key>_heap_kib`.
void AddGrowthResults(const std::string& key, const ProcessResources& before,
                      const ProcessResources& after);

// A figure for the report's summary line. Figures that could not be
// measured are not added, so the report shows them as missing.
void AddResult(const std::string& key, double value);
// Prints "RESULT key=value ..." with every figure added so far.
void PrintResults();

// Reads the simulator's sim.json (a narrow path as the scripts pass it).
bool LoadSimInfo(const std::string& path, SimClient* sim);

// --- implementation of the template
void PrintTimes(const char* what, const char* key, std::vector<double> ms);

template <typename Action>
void ReportTimes(const char* what, const char* key, int repetitions, Action&& action) {
    std::vector<double> ms;
    ms.reserve(static_cast<size_t>(repetitions));
    for (int i = 0; i < repetitions; ++i) {
        LARGE_INTEGER t0, t1;
        QueryPerformanceCounter(&t0);
        action();
        QueryPerformanceCounter(&t1);
        ms.push_back(MillisecondsBetween(t0, t1));
    }
    PrintTimes(what, key, std::move(ms));
}
