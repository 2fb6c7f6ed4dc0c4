#pragma once
// How a page enters over the store front.
#include "framework/afxwnd.h"

// Slides `page` in from the right (AnimateWindow 300 ms, AW_SLIDE |
// AW_HOR_NEGATIVE).
void SlidePageIn(CWnd& page);
