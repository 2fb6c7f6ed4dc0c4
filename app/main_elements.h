#pragma once
// The main window's title strip and store-front buttons, and its drag zone.
#include <windows.h>

#include "skin/skin_element.h"

// Indices into the main window's elements, in table (and hit-test) order.
enum MainElement {
    kElementClose = 0,
    kElementMinimise = 1,
    kElementMyOrders = 2,
    kElementService = 3,
    kElementOfficialSite = 4,
    kElementActivate = 5,
    kMainElementCount = 6,
};

// Picture id and rectangle of each element. The official-site tab reaches
// one column past the 800-pixel client area; that column is clipped.
extern const SkinElementRecord kMainElementRecords[kMainElementCount];

// Height of the title strip the window is dragged by.
constexpr int kTitleStripHeight = 24;

// True when a press at client point `p` drags the window: the title strip
// from x 0 to clientWidth - 221 (the buttons at its right end stay clickable).
bool InMainDragZone(POINT p, int clientWidth);
