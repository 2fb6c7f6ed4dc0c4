#pragma once
// What this process holds, measured from inside: heap bytes in use, open
// kernel handles, live GDI objects and committed memory. Wine answers 0 to
// GetProcessHandleCount and GetGuiResources, so handles and GDI objects are
// counted another way there (see process_stats.cpp).
#include <windows.h>

struct ProcessStats {
    SIZE_T heapBytes = 0;       // busy bytes on every heap of the process
    DWORD handles = 0;          // open kernel handles
    long gdiObjects = 0;        // live GDI objects
    SIZE_T committedBytes = 0;  // private committed memory
};

ProcessStats ReadProcessStats();

// The pieces, for callers that need only one.
SIZE_T HeapBytesInUse();
DWORD OpenHandleCount();
long LiveGdiObjects();
