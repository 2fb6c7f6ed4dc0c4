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

// The row the keyboard moves to from `current` (-1: none yet) among
// `rowCount` rows, `pageRows` of which fit the view: Up and Down one row,
// Page Up and Page Down a view's worth, Home and End the first and last,
// stopping at either end; -1 when there are no rows or `key` is none of these.
int ListKeyRow(int current, int rowCount, int pageRows, unsigned key);

// scrollY that brings row `row` wholly into a view `viewHeight` high below the
// header, moving as little as possible; never above 0.
int ListScrollToRow(int scrollY, int row, int rowHeight, int viewHeight);
