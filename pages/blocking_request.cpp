#include "pages/blocking_request.h"

BlockingRequest::BlockingRequest(ClicksMeanwhile clicks)
    : previous_(::SetCursor(::LoadCursorW(nullptr, IDC_WAIT))), clicks_(clicks) {}

BlockingRequest::~BlockingRequest() {
    if (clicks_ == ClicksMeanwhile::Drop)
        DropPendingMouseInput();
    ::SetCursor(previous_);
}

namespace {

// Per thread: each thread has its own queue and its own windows.
thread_local bool releaseOfDroppedPress = false;

}  // namespace

int DropPendingMouseInput() {
    int dropped = 0;
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) {
        ++dropped;
        if (msg.message == WM_LBUTTONDOWN || msg.message == WM_LBUTTONDBLCLK)
            releaseOfDroppedPress = true;
        else if (msg.message == WM_LBUTTONUP)
            releaseOfDroppedPress = false;
    }
    return dropped;
}

void NoteLeftButtonPress() {
    releaseOfDroppedPress = false;
}

bool ReleaseEndsDroppedClick() {
    const bool dropped = releaseOfDroppedPress;
    releaseOfDroppedPress = false;
    return dropped;
}
