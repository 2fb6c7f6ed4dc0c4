#include "app/store_front_paint.h"

#include "app/main_elements.h"

namespace {

constexpr Gdiplus::ARGB kTitleStripColour = 0xFF272E48;
constexpr Gdiplus::ARGB kTitleTextColour = 0xFFF6F6F6;

}  // namespace

UINT ProductPictureHeight(UINT drawWidth, UINT pictureWidth, UINT pictureHeight) {
    if (pictureWidth == 0) {
        return 0;
    }
    return drawWidth * pictureHeight / pictureWidth;
}

void PaintStoreFront(Gdiplus::Graphics& graphics, PaintTools& tools, int clientWidth,
                     const StoreFrontContent& content) {
    graphics.FillRectangle(&tools.Brush(kTitleStripColour), 0, 0, clientWidth, kTitleStripHeight);

    const ProductRecord* product = content.product;
    if (product != nullptr && product->logoImage != nullptr) {
        graphics.DrawImage(product->logoImage, 0, 0, kTitleStripHeight, kTitleStripHeight);
    }

    tools.DrawText(graphics, content.productName.c_str(), Gdiplus::RectF(80, 0, 600, 24),
                   tools.Font(9, Gdiplus::FontStyleBold), tools.CentredFormat(), kTitleTextColour);

    if (product != nullptr && product->productImage != nullptr) {
        Gdiplus::Image* picture = product->productImage;
        const UINT width = static_cast<UINT>(clientWidth + 2);
        const UINT height = ProductPictureHeight(width, picture->GetWidth(), picture->GetHeight());
        if (height > 0) {
            Gdiplus::Image* ready =
                content.productCache ? content.productCache->Get(picture, width, height) : nullptr;
            graphics.DrawImage(ready ? ready : picture, 0, kTitleStripHeight,
                               static_cast<INT>(width), static_cast<INT>(height));
        }
    }

    if (content.bottomStrip != nullptr) {
        graphics.DrawImage(content.bottomStrip, 0, 435, 800, 40);
    }

    if (content.elements != nullptr) {
        DrawSkinElements(graphics, *content.elements);
    }
}
