#include "app/store_front_paint.h"

#include <algorithm>
#include <climits>

#include "app/main_elements.h"

namespace {

constexpr Gdiplus::ARGB kTitleStripColour = 0xFF272E48;
constexpr Gdiplus::ARGB kTitleTextColour = 0xFFF6F6F6;

}  // namespace

UINT ProductPictureHeight(UINT drawWidth, UINT pictureWidth, UINT pictureHeight) {
    if (pictureWidth == 0) {
        return 0;
    }
    // Wide enough not to wrap round for a very tall picture; GDI+ takes the
    // height as a signed 32-bit size.
    const unsigned long long height =
        static_cast<unsigned long long>(drawWidth) * pictureHeight / pictureWidth;
    return static_cast<UINT>(std::min<unsigned long long>(height, INT_MAX));
}

void PaintStoreFront(Gdiplus::Graphics& graphics, PaintTools& tools, int clientWidth,
                     const StoreFrontContent& content) {
    graphics.FillRectangle(&tools.Brush(kTitleStripColour), 0, 0, clientWidth, kTitleStripHeight);

    const ProductRecord* product = content.product;
    if (product != nullptr && product->logoImage != nullptr) {
        graphics.DrawImage(product->logoImage.get(), 0, 0, kTitleStripHeight, kTitleStripHeight);
    }

    tools.DrawText(graphics, content.productName.c_str(), Gdiplus::RectF(80, 0, 600, 24),
                   tools.Font(9, Gdiplus::FontStyleBold), tools.CentredFormat(), kTitleTextColour);

    if (product != nullptr && product->productImage != nullptr) {
        Gdiplus::Image* picture = product->productImage.get();
        const UINT width = static_cast<UINT>(clientWidth + 2);
        const UINT height = ProductPictureHeight(width, picture->GetWidth(), picture->GetHeight());
        if (height > 0) {
            Gdiplus::Image* ready = nullptr;
            UINT rows = height;
            if (content.productCache != nullptr) {
                // Only the rows above the frame's bottom edge are ever seen.
                Gdiplus::Rect frame;
                graphics.GetVisibleClipBounds(&frame);
                const int below = frame.GetBottom() - kTitleStripHeight;
                rows = std::min(height, static_cast<UINT>(std::max(below, 0)));
                ready = content.productCache->Get(picture, width, height, rows);
            }
            if (ready != nullptr) {
                graphics.DrawImage(ready, 0, kTitleStripHeight, static_cast<INT>(width),
                                   static_cast<INT>(rows));
            } else {
                graphics.DrawImage(picture, 0, kTitleStripHeight, static_cast<INT>(width),
                                   static_cast<INT>(height));
            }
        }
    }

    if (content.bottomStrip != nullptr) {
        graphics.DrawImage(content.bottomStrip, 0, 435, 800, 40);
    }

    if (content.elements != nullptr) {
        content.elements->Draw(graphics);
    }
}
