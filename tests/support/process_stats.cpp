#include "process_stats.h"

#include <psapi.h>

#include <algorithm>
#include <cstdint>
#include <vector>

SIZE_T HeapBytesInUse() {
    std::vector<HANDLE> heaps(256);
    const DWORD count = GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data());
    SIZE_T busy = 0;
    for (DWORD i = 0; i < count && i < heaps.size(); ++i) {
        if (!HeapLock(heaps[i]))
            continue;
        PROCESS_HEAP_ENTRY entry{};
        while (HeapWalk(heaps[i], &entry))
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY)
                busy += entry.cbData;
        HeapUnlock(heaps[i]);
    }
    return busy;
}

DWORD OpenHandleCount() {
    DWORD count = 0;
    if (GetProcessHandleCount(GetCurrentProcess(), &count) && count != 0)
        return count;
    // Handle values are multiples of 4 handed out lowest first: ask each.
    for (uintptr_t value = 4; value < (1u << 18); value += 4) {
        DWORD flags = 0;
        if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags))
            ++count;
    }
    return count;
}

long LiveGdiObjects() {
    const DWORD count = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (count != 0)
        return static_cast<long>(count);
    // The GDI handle table hands out freed slots first, then new ones at its
    // top: a batch larger than the free list ends exactly at live + batch.
    const int batch = 4000;
    std::vector<HBRUSH> brushes;
    brushes.reserve(batch);
    long highest = 0;
    for (int i = 0; i < batch; ++i) {
        HBRUSH brush = CreateSolidBrush(RGB(i & 0xFF, 0, 0));
        highest = std::max<long>(highest, LOWORD(reinterpret_cast<ULONG_PTR>(brush)));
        brushes.push_back(brush);
    }
    for (HBRUSH brush : brushes)
        DeleteObject(brush);
    return highest - (batch - 1);
}

ProcessStats ReadProcessStats() {
    ProcessStats stats;
    stats.heapBytes = HeapBytesInUse();
    stats.handles = OpenHandleCount();
    stats.gdiObjects = LiveGdiObjects();
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof memory;
    if (GetProcessMemoryInfo(GetCurrentProcess(),
                             reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory))
        stats.committedBytes = memory.PrivateUsage ? memory.PrivateUsage : memory.PagefileUsage;
    return stats;
}
