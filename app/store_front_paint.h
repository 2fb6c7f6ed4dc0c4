#pragma once
// What the main window shows below its pages: the title strip with the logo
// and the product's name, the product picture, the bottom strip and the
// picture buttons.
#include <windows.h>
#include <gdiplus.h>

#include <string>
#include <vector>

#include "app/scaled_picture.h"
#include "skin/display_scale.h"
#include "skin/kept_backdrop.h"
#include "skin/paint_tools.h"
#include "skin/drawn_elements.h"
#include "store/store_state.h"

struct StoreFrontContent {
    const ProductRecord* product = nullptr;  // the current product; none: no pictures
    std::wstring productName;
    Gdiplus::Image* bottomStrip = nullptr;  // none: not drawn
    const DrawnElements* elements = nullptr;
    // The product picture's stretched rows that the frame shows; none: the
    // picture is stretched at every paint.
    ScaledPicture* productCache = nullptr;
    // Those rows as the frame's device pixels, copied in with one blit; none:
    // GDI+ draws them at every compose.
    KeptBackdrop* productBackdrop = nullptr;
};

// Draws the store front, in order, onto a frame already cleared to white:
// title strip (0xFF272E48, 24 pixels), logo 24 x 24, the name in bold 9 pt
// centred in x 80..680, the product picture from y 24 at the client width + 2
// with its aspect kept, the bottom strip at (0, 435) 800 x 40, the elements.
// `graphics` draws logical units at `scale`.
void PaintStoreFront(Gdiplus::Graphics& graphics, PaintTools& tools, const DisplayScale& scale,
                     int clientWidth, const StoreFrontContent& content);

// Height of the product picture drawn at `drawWidth`: drawWidth * H / W in
// unsigned arithmetic, truncated; 0 for a picture without width; at most
// INT_MAX (the largest size GDI+ draws), never wrapped round to a small one.
UINT ProductPictureHeight(UINT drawWidth, UINT pictureWidth, UINT pictureHeight);
