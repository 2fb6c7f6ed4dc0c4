#pragma once
// What the start-up sequence writes into the main window. The main window
// implements it; tests use a double.

#include <windows.h>

#include <string>

class StartupWindow {
public:
    virtual ~StartupWindow() = default;

    // "type" of server.ini, 1 to 100.
    virtual void SetStoreType(int storeType) = 0;
    // True when server.ini names pay type 1.
    virtual void SetPayTypeIsFirst(bool payTypeIsFirst) = 0;
    // server.ini's "title", set even when empty.
    virtual void SetTitle(const std::wstring& title) = 0;
    // The icon file server.ini names; called only with a loaded icon, whose
    // ownership passes to the window (DestroyIcon when it is replaced or
    // destroyed).
    virtual void SetIcon(HICON icon) = 0;
};
