#pragma once
// A request that blocks the user-interface thread: the pointer shows the wait
// cursor for as long as it runs, and the clicks made meanwhile are dropped
// when it ends, so that a user who clicked again while waiting does not get
// those clicks replayed as further orders.
//
//   {
//       BlockingRequest wait;
//       created = CreateOrder(...);
//   }
#include <windows.h>

class BlockingRequest {
public:
    BlockingRequest();
    ~BlockingRequest();
    BlockingRequest(const BlockingRequest&) = delete;
    BlockingRequest& operator=(const BlockingRequest&) = delete;

private:
    HCURSOR previous_;
};

// Removes every mouse message waiting in this thread's queue (also input the
// system has not turned into messages yet). Returns how many were dropped.
int DropPendingMouseInput();
