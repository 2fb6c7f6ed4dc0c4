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
#include <windows.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <string>

#include "base/posted_records.h"
#include "store/store_state.h"

// Order watch -> the window that created the order, once it is paid.
// wParam 1, lParam an OrderLinks issued through PaidOrderPosts().
constexpr UINT WM_ORDER_PAID = 0x29C5;

// The records WM_ORDER_PAID carries.
PostedRecords<OrderLinks>& PaidOrderPosts();

class OrderWatch {
public:
    // A watch on `orderNo` reporting to `window`; not yet running.
    OrderWatch(HWND window, const std::string& orderNo);
    ~OrderWatch();
    OrderWatch(const OrderWatch&) = delete;
    OrderWatch& operator=(const OrderWatch&) = delete;

    // Starts the thread. False when it could not be started.
    static bool Start(const std::shared_ptr<OrderWatch>& watch);

    // After the return the thread never posts, and a report it posted that
    // was not yet taken is withdrawn; the thread leaves at its next check.
    void Stop();

    bool valid() const { return stopEvent_ != nullptr; }

private:
    static unsigned __stdcall OrderPollThread(void* argument);
    void Run();
    bool PostPaid(const char* answer);

    HWND window_;
    std::string url_;  // built once, before the thread starts
    HANDLE stopEvent_ = nullptr;
    HANDLE thread_ = nullptr;
    std::atomic<bool> stopping_{false};
    std::mutex postLock_;                 // makes "not stopped" and the post one step
    const OrderLinks* posted_ = nullptr;  // identifies the report; never read
};

// Watch threads that have not yet left, for tests and the end of the process.
int LiveOrderWatchThreads();

// Waits up to `milliseconds` for every watch thread to leave; true if none
// is left.
bool WaitForOrderWatchThreads(DWORD milliseconds);
