// A screen reader's calls on a window's client object from a thread of a
// multithreaded apartment: the window's view is read on the window's own
// thread (COM marshals the call there once that thread initialised OLE), or
// the call is refused; it never runs on the caller's thread.
#include <windows.h>
#include <oleacc.h>

#include <gtest/gtest.h>

#include <atomic>
#include <vector>

#include "skin/ole_session.h"
#include "skin_test_window.h"

namespace {

// Notes the thread that reads its view.
class ThreadNotingWindow : public SkinTestWindow {
public:
    ThreadNotingWindow() : SkinTestWindow(std::vector<SkinElement>(2), 200, 80) {}
    mutable std::atomic<DWORD> readOn{0};

protected:
    void ListAccessibleNodes(std::vector<AccessibleNode>& nodes) const override {
        readOn = ::GetCurrentThreadId();
        SkinTestWindow::ListAccessibleNodes(nodes);
    }
};

struct CallerResult {
    HWND hwnd = nullptr;
    HRESULT found = E_FAIL;
    HRESULT counted = E_FAIL;
    LONG count = 0;
    DWORD thread = 0;
};

DWORD WINAPI CallFromMultithreadedApartment(void* parameter) {
    auto* result = static_cast<CallerResult*>(parameter);
    result->thread = ::GetCurrentThreadId();
    if (FAILED(::CoInitializeEx(nullptr, COINIT_MULTITHREADED)))
        return 1;
    IAccessible* object = nullptr;
    result->found = ::AccessibleObjectFromWindow(result->hwnd, OBJID_CLIENT, __uuidof(IAccessible),
                                                 reinterpret_cast<void**>(&object));
    if (SUCCEEDED(result->found) && object != nullptr) {
        result->counted = object->get_accChildCount(&result->count);
        object->Release();
    }
    ::CoUninitialize();
    return 0;
}

// Runs the caller while this thread, the window's, serves its messages.
CallerResult CallFromAnotherThread(HWND hwnd) {
    CallerResult result;
    result.hwnd = hwnd;
    HANDLE thread = ::CreateThread(nullptr, 0, CallFromMultithreadedApartment, &result, 0, nullptr);
    EXPECT_NE(nullptr, thread);
    if (thread == nullptr)
        return result;
    while (::MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_ALLINPUT) ==
           WAIT_OBJECT_0 + 1)
        PumpPending();
    ::CloseHandle(thread);
    return result;
}

TEST(AccessibleThreads, ReadersElsewhereAreServedOnTheWindowsThreadOrRefused) {
    const DWORD uiThread = ::GetCurrentThreadId();
    {
        // As the application runs: OLE on the window's thread.
        OleSession ole;
        ASSERT_TRUE(ole.started());
        ThreadNotingWindow window;
        const CallerResult served = CallFromAnotherThread(window.hwnd());
        ASSERT_EQ(S_OK, served.found);
        EXPECT_EQ(S_OK, served.counted);
        EXPECT_EQ(2, served.count);
        EXPECT_EQ(uiThread, window.readOn.load());
    }
    {
        // A window's thread outside any apartment of its own is put in the
        // caller's: the object then reaches the caller unmarshalled.
        ThreadNotingWindow window;
        const CallerResult refused = CallFromAnotherThread(window.hwnd());
        EXPECT_NE(refused.thread, window.readOn.load());
        if (SUCCEEDED(refused.found) && SUCCEEDED(refused.counted))
            EXPECT_EQ(uiThread, window.readOn.load());
        else
            EXPECT_EQ(0u, window.readOn.load());
    }
}

}  // namespace
