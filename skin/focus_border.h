#pragma once
// The system's focus border: how thick a focus ring is drawn at a display
// scale, as Windows draws its own controls' rings there.
#include <windows.h>

// Width (cx, the vertical edges) and height (cy, the horizontal edges) of the
// focus border in device pixels at `dpi`: the system's value for that DPI
// where it gives one (Windows 10 1607 and later), else its value for 96 DPI
// scaled; never below one pixel.
SIZE FocusBorderPixels(int dpi);
