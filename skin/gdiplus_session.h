#pragma once
// GDI+ for the life of one scope: the application object holds one for the
// whole process; tests hold one per executable.
#include <windows.h>
#include <gdiplus.h>

class GdiplusSession {
public:
    GdiplusSession();
    ~GdiplusSession();
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;

    bool started() const { return started_; }

private:
    ULONG_PTR token_ = 0;
    bool started_ = false;
};
