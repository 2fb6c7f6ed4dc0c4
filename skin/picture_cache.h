#pragma once
// The skin's pictures, one decoded copy of each (id, variant) for the whole
// process: every element and window that draws a picture shares it, and a
// window moved to a display whose scale takes the same variant keeps what it
// has. The cache holds the live pictures weakly and keeps a few recently
// asked-for ones itself, up to a bound, so that a window that lets its
// pictures go and takes them again soon does not decode them again; a
// picture larger than the bound goes as soon as its last holder lets go.
#include <windows.h>
#include <gdiplus.h>

#include <cstddef>
#include <deque>
#include <memory>
#include <vector>

using SkinPicture = std::shared_ptr<Gdiplus::Image>;

class PictureCache {
public:
    explicit PictureCache(size_t keptBytes) : bound_(keptBytes) {}
    PictureCache(const PictureCache&) = delete;
    PictureCache& operator=(const PictureCache&) = delete;

    // PNG resource `id` in the variant for a display of `dpi`
    // (LoadPngResource(id, dpi)), decoded only when no one holds it; null
    // when it cannot be loaded.
    SkinPicture Get(int id, UINT dpi);

    // Lets go of the pictures the cache keeps itself (before GDI+ stops).
    void Clear();

    // Bytes of pixels the cache keeps itself (at most the bound).
    size_t keptBytes() const { return kept_; }
    // Pictures decoded so far.
    unsigned decoded() const { return decoded_; }

private:
    struct Entry {
        int id;
        const wchar_t* type;
        std::weak_ptr<Gdiplus::Image> picture;
    };
    struct Kept {
        SkinPicture picture;
        size_t bytes;
    };
    void Keep(const SkinPicture& picture);

    size_t bound_;
    size_t kept_ = 0;
    unsigned decoded_ = 0;
    std::vector<Entry> entries_;
    std::deque<Kept> recent_;  // most recently asked for last
};

// The process's one cache of skin pictures (UI thread only).
PictureCache& SkinPictures();

// SkinPictures().Get(id, dpi).
inline SkinPicture SharedPngResource(int id, UINT dpi) {
    return SkinPictures().Get(id, dpi);
}
