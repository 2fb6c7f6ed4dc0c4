#include "skin/picture_cache.h"

#include <algorithm>

#include "skin/png_resource.h"

namespace {

// What the cache keeps beyond the pictures in use: the buttons and marks of a
// window or two, never a page-sized picture.
constexpr size_t kKeptBytes = 1024 * 1024;

size_t BytesOf(Gdiplus::Image& picture) {
    return static_cast<size_t>(picture.GetWidth()) * picture.GetHeight() * 4;
}

}  // namespace

SkinPicture PictureCache::Get(int id, UINT dpi) {
    const wchar_t* type = PngVariantOf(id, dpi);
    if (type == nullptr)
        return nullptr;
    // Entries of pictures no one holds any more go on the way.
    entries_.erase(std::remove_if(entries_.begin(), entries_.end(),
                                  [](const Entry& e) { return e.picture.expired(); }),
                   entries_.end());
    for (const Entry& entry : entries_) {
        if (entry.id == id && entry.type == type) {
            SkinPicture picture = entry.picture.lock();
            Keep(picture);
            return picture;
        }
    }
    SkinPicture picture(LoadPngVariant(id, type));
    if (!picture)
        return nullptr;
    ++decoded_;
    entries_.push_back(Entry{id, type, picture});
    Keep(picture);
    return picture;
}

void PictureCache::Keep(const SkinPicture& picture) {
    auto same = std::find_if(recent_.begin(), recent_.end(),
                             [&](const Kept& k) { return k.picture == picture; });
    if (same != recent_.end()) {
        Kept kept = std::move(*same);
        recent_.erase(same);
        recent_.push_back(std::move(kept));
        return;
    }
    const size_t bytes = BytesOf(*picture);
    if (bytes > bound_)
        return;
    while (!recent_.empty() && kept_ + bytes > bound_) {
        kept_ -= recent_.front().bytes;
        recent_.pop_front();
    }
    recent_.push_back(Kept{picture, bytes});
    kept_ += bytes;
}

void PictureCache::Clear() {
    recent_.clear();
    kept_ = 0;
}

PictureCache& SkinPictures() {
    static PictureCache cache(kKeptBytes);
    return cache;
}
