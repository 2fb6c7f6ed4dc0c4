#include "skin/gdiplus_session.h"

#include "skin/picture_cache.h"

GdiplusSession::GdiplusSession() {
    Gdiplus::GdiplusStartupInput input;
    started_ = Gdiplus::GdiplusStartup(&token_, &input, nullptr) == Gdiplus::Ok;
}

GdiplusSession::~GdiplusSession() {
    // Pictures must go while GDI+ still runs.
    SkinPictures().Clear();
    if (started_)
        Gdiplus::GdiplusShutdown(token_);
}
