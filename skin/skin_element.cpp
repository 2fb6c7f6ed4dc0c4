#include "skin/skin_element.h"

#include <utility>

namespace {

struct SkinFrame {
    UINT x;
    UINT width;
    UINT height;
};

SkinFrame SkinFrameOf(BYTE hover, UINT pictureWidth, UINT pictureHeight) {
    return SkinFrame{hover * pictureWidth / 2, pictureWidth / 2, pictureHeight};
}

}  // namespace

std::vector<SkinElement> BuildSkinElements(const SkinElementRecord* records, size_t count, UINT dpi,
                                           int firstAction) {
    std::vector<SkinElement> elements;
    elements.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        const SkinElementRecord& r = records[i];
        SkinElement element;
        element.rect = RECT{r.left, r.top, r.right, r.bottom};
        element.pictureId = r.pictureId;
        element.picture = SharedPngResource(r.pictureId, dpi);
        element.name = r.name != nullptr ? r.name : L"";
        element.action = firstAction + static_cast<int>(i);
        element.role = r.role;
        element.views = r.views;
        element.focusOrder = r.focusOrder;
        element.group = r.group;
        element.value = r.value;
        if (r.role == ElementRole::Choice) {
            element.followsPointer = false;
            element.hover = r.checked ? 1 : 0;
        }
        if (r.pictureWidth > 0)
            element.pictureRect = RECT{r.left, r.top, r.left + r.pictureWidth, r.bottom};
        elements.push_back(std::move(element));
    }
    return elements;
}

void DrawSkinElement(Gdiplus::Graphics& graphics, const SkinElement& element, const RECT& dest) {
    if (!element.picture)
        return;
    const SkinFrame frame =
        SkinFrameOf(element.hover, element.picture->GetWidth(), element.picture->GetHeight());
    const Gdiplus::RectF to(static_cast<Gdiplus::REAL>(dest.left),
                            static_cast<Gdiplus::REAL>(dest.top),
                            static_cast<Gdiplus::REAL>(dest.right - dest.left),
                            static_cast<Gdiplus::REAL>(dest.bottom - dest.top));
    graphics.DrawImage(element.picture.get(), to, static_cast<Gdiplus::REAL>(frame.x), 0.0f,
                       static_cast<Gdiplus::REAL>(frame.width),
                       static_cast<Gdiplus::REAL>(frame.height), Gdiplus::UnitPixel);
}

void DrawSkinElement(Gdiplus::Graphics& graphics, const SkinElement& element) {
    DrawSkinElement(graphics, element,
                    IsRectEmpty(&element.pictureRect) ? element.rect : element.pictureRect);
}
