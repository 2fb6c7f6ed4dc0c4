#pragma once
// OLE on the calling thread for the life of one scope: the application holds
// one on its user-interface thread around every window, so that the screen
// readers' objects the windows hand out are marshalled to that thread.
#include <windows.h>

class OleSession {
public:
    OleSession();
    ~OleSession();
    OleSession(const OleSession&) = delete;
    OleSession& operator=(const OleSession&) = delete;

    bool started() const { return started_; }

private:
    bool started_ = false;
};
