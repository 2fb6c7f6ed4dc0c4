#pragma once
// Where the main window goes when the display scale it is shown at changes.
#include <windows.h>

#include "skin/display_scale.h"

// The window's rectangle at `scale` for a window of `logical` size whose top
// left corner is now at `from`: at the top left of `suggested` (the system's
// proposal) when that has the window's size at `scale`, give or take the
// system's rounding, and lies on a monitor; otherwise at `from`. Always of
// the window's size at `scale`: a rectangle sent by someone else cannot
// shrink, stretch or hide the window.
RECT PlaceAtScale(const RECT* suggested, POINT from, SIZE logical, DisplayScale scale);
