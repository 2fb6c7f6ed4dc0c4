#pragma once
// A package picture of the catalogue: its cache file, decoded only when a
// page first draws it and then kept at the size it is drawn at. Decoding
// costs some 14 ms a picture, and no package picture shows on the first
// screen, so a start costs the same with 5 packages as with 50. The catalogue
// record and its copies share one, so a picture is decoded once whichever
// copy draws it. User-interface thread only; it must go while GDI+ runs.
#include <windows.h>
#include <gdiplus.h>

#include <memory>
#include <string>

class DeferredPicture {
public:
    // The picture of the file at `path`, decoded when first asked for; or
    // `decoded` at once (a fresh download is decoded to check it anyway).
    explicit DeferredPicture(std::wstring path, std::unique_ptr<Gdiplus::Image> decoded = nullptr);
    DeferredPicture(const DeferredPicture&) = delete;
    DeferredPicture& operator=(const DeferredPicture&) = delete;

    // The picture stretched to `width` x `height` pixels (the device pixels
    // it covers), with the interpolation of a direct draw, so drawing it at
    // that size only copies pixels. Made at the first call and again when the
    // size changes; the decoded picture is let go once it is made, and the
    // file is read again for another size. Null when the file gives no
    // picture or memory is short: nothing is drawn then. Shared, so that a
    // copy kept from it can tell it from any later one.
    std::shared_ptr<Gdiplus::Image> At(UINT width, UINT height);

    // The picture as decoded (read from the file now when it is not held);
    // null when the file gives none.
    Gdiplus::Image* Decoded();

    // Lets go of the stretched copy (the page that draws it hides); the next
    // At reads the file again.
    void ReleaseScaled() { scaled_.reset(); }

private:
    std::wstring path_;
    std::unique_ptr<Gdiplus::Image> decoded_;
    std::shared_ptr<Gdiplus::Image> scaled_;
    UINT width_ = 0;
    UINT height_ = 0;
};
