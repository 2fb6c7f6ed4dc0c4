#pragma once
// A request that blocks the user-interface thread, seen from the user's side:
// the pointer shows the wait cursor for as long as the scope lives, and mouse
// clicks made meanwhile are dropped when it ends, so that a click on a button
// of a window that looked frozen is not replayed as one more request.
//
//   {
//       BlockingRequest busy;
//       FetchSomething();
//   }
#include <windows.h>

class BlockingRequest {
public:
    BlockingRequest();
    ~BlockingRequest();
    BlockingRequest(const BlockingRequest&) = delete;
    BlockingRequest& operator=(const BlockingRequest&) = delete;

private:
    HCURSOR previous_ = nullptr;
};

// Removes the thread's queued mouse-button messages (client and non-client).
void DropQueuedClicks();
