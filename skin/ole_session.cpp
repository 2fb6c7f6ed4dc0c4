#include "skin/ole_session.h"

#include <ole2.h>

OleSession::OleSession() {
    // S_FALSE (already initialised here) is balanced by an uninitialise too.
    started_ = SUCCEEDED(::OleInitialize(nullptr));
}

OleSession::~OleSession() {
    if (started_)
        ::OleUninitialize();
}
