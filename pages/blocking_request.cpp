#include "pages/blocking_request.h"

BlockingRequest::BlockingRequest() : previous_(::SetCursor(::LoadCursorW(nullptr, IDC_WAIT))) {}

BlockingRequest::~BlockingRequest() {
    DropPendingMouseInput();
    ::SetCursor(previous_);
}

int DropPendingMouseInput() {
    int dropped = 0;
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE))
        ++dropped;
    return dropped;
}
