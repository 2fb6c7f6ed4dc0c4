#pragma once
// This thread's messages, run by tests: what is queued now, or until what the
// test waits for has happened (the real pointer's move reaching a window, the
// screen's paint). Waits end on their condition, never after a fixed number of
// rounds, so a slow machine gets more time and a fast one loses none.
#include <windows.h>

// Dispatches every message queued for this thread.
inline void PumpPending() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// Dispatches this thread's messages until `done()` holds or `limitMs` has
// passed; whether it held.
template <class Done>
bool PumpUntil(Done done, DWORD limitMs = 5000) {
    const DWORD start = GetTickCount();
    for (;;) {
        PumpPending();
        if (done())
            return true;
        if (GetTickCount() - start >= limitMs)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}
