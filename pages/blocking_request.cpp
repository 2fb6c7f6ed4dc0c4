#include "pages/blocking_request.h"

BlockingRequest::BlockingRequest() {
    previous_ = ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
}

BlockingRequest::~BlockingRequest() {
    DropQueuedClicks();
    ::SetCursor(previous_);
}

void DropQueuedClicks() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, WM_LBUTTONDOWN, WM_MBUTTONDBLCLK, PM_REMOVE)) {
    }
    while (::PeekMessageW(&msg, nullptr, WM_NCLBUTTONDOWN, WM_NCMBUTTONDBLCLK, PM_REMOVE)) {
    }
}
