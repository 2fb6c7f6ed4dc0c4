#pragma once
// What the repaint benchmarks print: timing percentiles of an action, and the
// process's GDI objects, handles, committed memory and heap in use, to show
// that they stay flat over many repaints.
#include <windows.h>

// Runs every queued message of this thread.
void PumpMessages();

// Runs `action` `repetitions` times and prints median, 10th and 90th
// percentile in milliseconds.
template <typename Action>
void ReportTimes(const char* what, int repetitions, Action action);

struct ProcessResources {
    long gdi = 0;
    DWORD handles = 0;
    SIZE_T committed = 0;
    SIZE_T heapBusy = 0;
};

ProcessResources MeasureResources();
void PrintResources(const char* when, const ProcessResources& r);

// --- implementation of the template
#include <vector>

double MillisecondsBetween(const LARGE_INTEGER& from, const LARGE_INTEGER& to);
void PrintTimes(const char* what, std::vector<double> ms);

template <typename Action>
void ReportTimes(const char* what, int repetitions, Action action) {
    std::vector<double> ms;
    ms.reserve(static_cast<size_t>(repetitions));
    for (int i = 0; i < repetitions; ++i) {
        LARGE_INTEGER t0, t1;
        QueryPerformanceCounter(&t0);
        action();
        QueryPerformanceCounter(&t1);
        ms.push_back(MillisecondsBetween(t0, t1));
    }
    PrintTimes(what, ms);
}
