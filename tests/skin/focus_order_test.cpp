// The keyboard's way through a view, as plain functions over a list of stops.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "skin/focus_order.h"

namespace {

HWND Fake(int n) {
    return reinterpret_cast<HWND>(static_cast<INT_PTR>(0x1000 + n));
}

FocusStop Stop(int window, int element, int group = 0, bool focused = false, bool chosen = false) {
    FocusStop stop;
    stop.window = Fake(window);
    stop.element = element;
    stop.group = group;
    stop.focused = focused;
    stop.chosen = chosen;
    return stop;
}

}  // namespace

TEST(FocusOrder, TabWrapsAndArrowsStayInTheirGroup) {
    // A control, two pay methods, the QR square, then another window's
    // buttons in a group of their own: what a view lists.
    const std::vector<FocusStop> stops{Stop(1, -1), Stop(2, 0, 1), Stop(2, 1, 1, true),
                                       Stop(2, 7),  Stop(3, 2, 1), Stop(3, 3, 1)};
    // The focused element of the window with the focus; a window stop also
    // holds the focus of a window inside it, which the fake handles lack.
    EXPECT_EQ(2, CurrentFocusStop(stops, Fake(2)));
    EXPECT_EQ(0, CurrentFocusStop(stops, Fake(1)));
    EXPECT_EQ(-1, CurrentFocusStop(stops, Fake(3)));  // no element of it marked
    EXPECT_EQ(-1, CurrentFocusStop(stops, nullptr));

    // Tab and Shift+Tab wrap round; from nowhere they start at either end.
    EXPECT_EQ(3, NextFocusStop(6, 2, true));
    EXPECT_EQ(0, NextFocusStop(6, 5, true));
    EXPECT_EQ(5, NextFocusStop(6, 0, false));
    EXPECT_EQ(0, NextFocusStop(6, -1, true));
    EXPECT_EQ(5, NextFocusStop(6, -1, false));
    EXPECT_EQ(-1, NextFocusStop(0, -1, true));

    // Arrows wrap inside the group of one window: group 1 of window 3 is
    // another group than window 2's.
    EXPECT_EQ(2, ArrowFocusStop(stops, 1, true));
    EXPECT_EQ(1, ArrowFocusStop(stops, 2, true));
    EXPECT_EQ(2, ArrowFocusStop(stops, 1, false));
    EXPECT_EQ(5, ArrowFocusStop(stops, 4, true));
    EXPECT_EQ(4, ArrowFocusStop(stops, 5, true));
    // Outside any group, or from nowhere: nothing.
    EXPECT_EQ(-1, ArrowFocusStop(stops, 3, true));
    EXPECT_EQ(-1, ArrowFocusStop(stops, 0, true));
    EXPECT_EQ(-1, ArrowFocusStop(stops, -1, true));
    EXPECT_EQ(-1, ArrowFocusStop(stops, 6, true));
    // A group of one stays where it is.
    EXPECT_EQ(0, ArrowFocusStop({Stop(4, 0, 2)}, 0, false));
}

TEST(FocusOrder, TabTakesAGroupAsOneStopEnteredAtItsChosenElement) {
    // A control; two pay methods with the second checked; the QR square;
    // pager cells with none current; another window's button.
    const std::vector<FocusStop> stops{Stop(1, -1), Stop(2, 0, 1), Stop(2, 1, 1, false, true),
                                       Stop(2, 7),  Stop(2, 8, 2), Stop(2, 9, 2),
                                       Stop(3, 0)};
    // Into the methods, either way, at the checked one; out past both.
    EXPECT_EQ(2, TabFocusStop(stops, 0, true));
    EXPECT_EQ(2, TabFocusStop(stops, 3, false));
    EXPECT_EQ(3, TabFocusStop(stops, 1, true));
    EXPECT_EQ(3, TabFocusStop(stops, 2, true));
    EXPECT_EQ(0, TabFocusStop(stops, 1, false));
    // A group with nothing chosen is entered at its first, either way.
    EXPECT_EQ(4, TabFocusStop(stops, 3, true));
    EXPECT_EQ(4, TabFocusStop(stops, 6, false));
    EXPECT_EQ(6, TabFocusStop(stops, 5, true));
    // From nowhere: the first stop, or (backwards) the last, a group's entry
    // when the last is in one.
    EXPECT_EQ(0, TabFocusStop(stops, -1, true));
    EXPECT_EQ(1, TabFocusStop({Stop(1, -1), Stop(2, 8, 2), Stop(2, 9, 2)}, -1, false));
    EXPECT_EQ(-1, TabFocusStop({}, -1, true));
    // A group that is the only stop keeps the focus where it is.
    EXPECT_EQ(1, TabFocusStop({Stop(2, 0, 1), Stop(2, 1, 1)}, 1, true));
    // The same group number in another window is another group.
    EXPECT_EQ(1, TabFocusStop({Stop(2, 0, 1), Stop(3, 0, 1)}, 0, true));
}
