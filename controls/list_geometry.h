#pragma once
// The history table's geometry rules, apart from the window.

// Rows that fit below the header in a client area `clientHeight` high
// (truncated; 0 when none fits).
int ListVisibleRows(int clientHeight, int headerHeight, int rowHeight);

// Header plus the drawn rows: max(rowCount, visibleRows) rows, never past
// INT_MAX however many rows there are.
int ListContentHeight(int headerHeight, int rowCount, int visibleRows, int rowHeight);

// scrollY after one wheel message on a window `windowHeight` high. Nothing
// scrolls unless the content is at least a row taller than the window; a turn
// away from the user moves a row up to 0, a turn toward the user moves a row
// down, the last step only so far that the last row ends at the bottom edge.
int ListWheelScroll(int scrollY, int contentHeight, int windowHeight, int rowHeight,
                    bool awayFromUser);

// A press at `x` lies in the right-hand strip (the last `stripWidth` pixel
// columns of a control `width` wide), where a click never opens a row.
inline bool InListStrip(int x, int width, int stripWidth) {
    return x > width - stripWidth - 1;
}
