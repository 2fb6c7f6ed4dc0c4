#pragma once
// The watch on one order's payment: a thread that asks the store for the
// order's details every 2 s and posts WM_ORDER_PAID once it is paid, to the
// window that created the order, with an OrderLinks record issued through
// PaidOrderPosts(); the receiver redeems lParam there and owns what it gets
// back.
//
// Stopping never forces the thread: the stop sets a flag and an event that
// the thread checks in its pause and, through the transport's abort check,
// inside a transfer. The thread then cleans up by itself; whoever drops the
// last reference (the thread or storeState) frees the watch.
//
// A payment the store has confirmed always reaches the page: a paid answer
// that arrived is reported even when the watch was stopped meanwhile, and a
// report is never taken back, so a page may get the report of an order it
// has since replaced.
#include <windows.h>

#include <atomic>
#include <memory>
#include <string>

#include "base/posted_records.h"
#include "base/scoped_handle.h"
#include "store/store_state.h"

struct ServiceEnvelope;

// Order watch -> the window that created the order, once it is paid.
// wParam 1, lParam an OrderLinks issued through PaidOrderPosts().
constexpr UINT WM_ORDER_PAID = 0x29C5;

// The records WM_ORDER_PAID carries.
PostedRecords<OrderLinks>& PaidOrderPosts();

class OrderWatch {
public:
    // A watch on `orderNo`, made for package `packageId`, reporting to
    // `window`; not yet running.
    OrderWatch(HWND window, const std::string& orderNo, int packageId);
    OrderWatch(const OrderWatch&) = delete;
    OrderWatch& operator=(const OrderWatch&) = delete;

    // Starts the thread. False when it could not be started.
    static bool Start(const std::shared_ptr<OrderWatch>& watch);

    // After the return the thread polls no more and a transfer in progress
    // is abandoned; only a paid answer it already holds is still reported.
    // The thread leaves at its next check.
    void Stop();

    bool valid() const { return stopEvent_.valid(); }

private:
    static unsigned __stdcall OrderPollThread(void* argument);
    void Run();
    bool PostPaid(const ServiceEnvelope& answer);

    HWND window_;
    std::string url_;  // built once, before the thread starts
    int packageId_;
    ScopedHandle stopEvent_;
    ScopedHandle thread_;
    std::atomic<bool> stopping_{false};
};

// Watch threads that have not yet left, for tests and the end of the process.
int LiveOrderWatchThreads();

// Waits up to `milliseconds` for every watch thread to leave; true if none
// is left.
bool WaitForOrderWatchThreads(DWORD milliseconds);
