#pragma once
// A request that blocks the user-interface thread: the pointer shows the wait
// cursor for as long as it runs. Around an order the clicks made meanwhile
// are dropped when it ends, so that a user who clicked again while waiting
// does not get those clicks replayed as further orders:
//
//   {
//       BlockingRequest wait;
//       created = CreateOrder(...);
//   }
//
// Elsewhere (a page of the history, a link lookup) they wait in the queue
// and are handled once it ends, as for any busy window:
// BlockingRequest busy(ClicksMeanwhile::Keep).
#include <windows.h>

enum class ClicksMeanwhile { Keep, Drop };

class BlockingRequest {
public:
    explicit BlockingRequest(ClicksMeanwhile clicks = ClicksMeanwhile::Drop);
    ~BlockingRequest();
    BlockingRequest(const BlockingRequest&) = delete;
    BlockingRequest& operator=(const BlockingRequest&) = delete;

private:
    HCURSOR previous_;
    ClicksMeanwhile clicks_;
};

// Removes every mouse message waiting in this thread's queue (also input the
// system has not turned into messages yet). Returns how many were dropped.
// When a left-button press is among them without its release, the release
// still to come belongs to a dropped click: see ReleaseEndsDroppedClick.
int DropPendingMouseInput();

// Windows that act on a left-button release call these from their
// WM_LBUTTONDOWN and WM_LBUTTONUP handlers. A release whose press was dropped
// while a request blocked is the end of a click the user made while the
// program could not take it: ReleaseEndsDroppedClick is true for it (once),
// and the window ignores it. Any new press starts a click that counts.
void NoteLeftButtonPress();
bool ReleaseEndsDroppedClick();
