#include "store/watch_thread.h"

#include <process.h>

std::uintptr_t BeginWatchThread(unsigned(__stdcall* procedure)(void*), void* argument) {
    return _beginthreadex(nullptr, 0, procedure, argument, 0, nullptr);
}
