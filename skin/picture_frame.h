#pragma once
// One frame of a two-frame picture (frames side by side, each half the
// picture's width) drawn outside a SkinElement: the table's row buttons and
// the pager's chevrons.
#include <windows.h>
#include <gdiplus.h>

// Draws frame `frame` (0 left, 1 right) of `picture` stretched into `dest`:
// source x frame * W / 2, W / 2 wide, H high (unsigned, truncated), UnitPixel.
// A null picture draws nothing.
void DrawPictureFrame(Gdiplus::Graphics& graphics, Gdiplus::Image* picture, int frame,
                      const Gdiplus::RectF& dest);
