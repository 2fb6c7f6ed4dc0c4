#include "store/store_pictures.h"

#include <utility>

#include "store/store_state.h"

namespace {

// Pictures are loaded and freed on the user-interface thread only.
StorePictures* currentOwner = nullptr;

}  // namespace

StorePictures::StorePictures() : previous_(currentOwner) {
    currentOwner = this;
}

StorePictures::~StorePictures() {
    storeState.products.clear();
    currentOwner = previous_;
}

Gdiplus::Image* StorePictures::Keep(std::unique_ptr<Gdiplus::Image> picture) {
    if (!picture || !currentOwner)
        return nullptr;
    Gdiplus::Image* kept = picture.get();
    currentOwner->pictures_.push_back(std::move(picture));
    return kept;
}
