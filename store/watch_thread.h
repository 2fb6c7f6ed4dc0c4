#pragma once
// The start of an order watch's thread, in a file of its own: a test build
// links its own definition in its place to see what happens when no thread
// can be started. The program itself has only this one.
#include "base/scoped_handle.h"

// Starts `procedure(argument)` on a new thread that runs at once (default
// security and stack). Its handle, or none when no thread could be started.
ScopedHandle BeginWatchThread(unsigned(__stdcall* procedure)(void*), void* argument);
