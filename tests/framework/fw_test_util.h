// Helpers shared by the framework tests.
#pragma once

#include <windows.h>

#include "pump.h"

// Windows of this thread, children included.
inline int CountThreadWindows() {
    int count = 0;
    auto countTree = [](HWND hWnd, LPARAM lp) -> BOOL {
        ++*reinterpret_cast<int*>(lp);
        ::EnumChildWindows(
            hWnd,
            [](HWND, LPARAM l) -> BOOL {
                ++*reinterpret_cast<int*>(l);
                return TRUE;
            },
            lp);
        return TRUE;
    };
    ::EnumThreadWindows(::GetCurrentThreadId(), countTree, reinterpret_cast<LPARAM>(&count));
    return count;
}
