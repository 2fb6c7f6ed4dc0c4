#include "app/scale_placement.h"

#include <cstdlib>

namespace {

// The system scales the window's device size, which may round a pixel
// otherwise than the logical layout does.
constexpr LONG kRoundingSlack = 2;

}  // namespace

RECT PlaceAtScale(const RECT* suggested, POINT from, SIZE logical, DisplayScale scale) {
    const LONG width = scale.ToDevice(static_cast<int>(logical.cx));
    const LONG height = scale.ToDevice(static_cast<int>(logical.cy));
    POINT corner = from;
    if (suggested != nullptr) {
        // In 64 bits: a forged rectangle may hold any values.
        const long long w = static_cast<long long>(suggested->right) - suggested->left;
        const long long h = static_cast<long long>(suggested->bottom) - suggested->top;
        if (std::llabs(w - width) <= kRoundingSlack && std::llabs(h - height) <= kRoundingSlack &&
            ::MonitorFromRect(suggested, MONITOR_DEFAULTTONULL) != nullptr)
            corner = POINT{suggested->left, suggested->top};
    }
    return RECT{corner.x, corner.y, corner.x + width, corner.y + height};
}
