#include "store/watch_thread.h"

#include <process.h>

ScopedHandle BeginWatchThread(unsigned(__stdcall* procedure)(void*), void* argument) {
    return ScopedHandle(
        reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, procedure, argument, 0, nullptr)));
}
