#include "app/store_front_paint.h"

#include <algorithm>
#include <climits>

#include "app/main_elements.h"
#include "skin/display_scale.h"

namespace {

constexpr Gdiplus::ARGB kTitleStripColour = 0xFF272E48;
constexpr Gdiplus::ARGB kTitleTextColour = 0xFFF6F6F6;

// The product picture from y 24 at the client width + 2, its aspect kept. On a
// scaled frame it is stretched once to device pixels and copied 1:1, so the
// store's picture is filtered only once, with high quality.
void DrawProductPicture(Gdiplus::Graphics& graphics, const DisplayScale& scale,
                        const StorePicture& picture, int clientWidth, ScaledPicture* cache,
                        KeptBackdrop* backdrop) {
    const UINT width = static_cast<UINT>(scale.ToDevice(clientWidth + 2));
    const UINT height = ProductPictureHeight(width, picture->GetWidth(), picture->GetHeight());
    if (height == 0)
        return;
    const INT top = scale.ToDevice(kTitleStripHeight);
    StorePicture ready;
    UINT rows = height;
    const Gdiplus::InterpolationMode mode = scale.identity()
                                                ? Gdiplus::InterpolationModeDefault
                                                : Gdiplus::InterpolationModeHighQualityBicubic;
    if (cache != nullptr) {
        // Only the rows above the frame's bottom edge are ever seen.
        Gdiplus::RectF frame;
        graphics.GetVisibleClipBounds(&frame);
        const int below = scale.ToDeviceBounds(frame).bottom - top;
        rows = std::min(height, static_cast<UINT>(std::max(below, 0)));
    }
    const RECT kept{0, top, static_cast<LONG>(width), top + static_cast<LONG>(rows)};
    DeviceSpace device(graphics);
    // From here `graphics` draws device pixels, and `kept` is given in them.
    const DisplayScale pixels;
    // The backdrop alone holds the stretched rows once it is made: the copy
    // they were made from goes, so the store front keeps them only once.
    if (cache != nullptr && backdrop != nullptr) {
        if (cache->MadeFor(picture, width, height, rows, mode) &&
            backdrop->DrawKept(graphics, pixels, kept))
            return;
        // Made from another picture or size, or let go: its pixels go before
        // the new copy is made.
        backdrop->Release();
    }
    if (cache != nullptr)
        ready = cache->Get(picture, width, height, rows, mode);
    if (ready != nullptr && backdrop != nullptr) {
        // Drawn over white below the title strip: nothing lies under it.
        backdrop->Draw(graphics, pixels, ready, kept);
        cache->ReleasePixels();
    } else if (ready != nullptr) {
        graphics.DrawImage(ready.get(), 0, top, static_cast<INT>(width), static_cast<INT>(rows));
    } else {
        graphics.DrawImage(picture.get(), 0, top, static_cast<INT>(width),
                           static_cast<INT>(height));
    }
}

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

void PaintStoreFront(Gdiplus::Graphics& graphics, PaintTools& tools, const DisplayScale& scale,
                     int clientWidth, const StoreFrontContent& content) {
    graphics.FillRectangle(&tools.Brush(kTitleStripColour), 0, 0, clientWidth, kTitleStripHeight);

    const ProductRecord* product = content.product;
    if (product != nullptr && product->logoImage != nullptr) {
        graphics.DrawImage(product->logoImage.get(), 0, 0, kTitleStripHeight, kTitleStripHeight);
    }

    tools.DrawText(graphics, content.productName.c_str(), Gdiplus::RectF(80, 0, 600, 24),
                   tools.Font(9, Gdiplus::FontStyleBold), tools.CentredFormat(), kTitleTextColour);

    if (product != nullptr && product->productImage != nullptr)
        DrawProductPicture(graphics, scale, product->productImage, clientWidth,
                           content.productCache, content.productBackdrop);

    if (content.bottomStrip != nullptr) {
        graphics.DrawImage(content.bottomStrip, 0, 435, 800, 40);
    }

    if (content.elements != nullptr) {
        content.elements->Draw(graphics);
    }
}
