#pragma once
// The pager row below the history table: a first-page chevron cell, one cell
// per page and a last-page chevron cell, 26 x 26 each, ending at the table's
// right edge (x 727) and growing to the left with the number of pages.
#include <windows.h>

#include <string>
#include <vector>

enum class PagerCellKind : BYTE { First, Page, Last };

struct PagerCell {
    int value = 0;     // page requested when the cell is clicked
    BYTE current = 0;  // 1 for the page the answer named as current
    RECT rect{};       // page client coordinates
    PagerCellKind kind = PagerCellKind::Page;
};

constexpr int kPagerCellSize = 26;
constexpr int kPagerTop = 520;
constexpr int kPagerRight = 727;
constexpr int kPageWidth = 800;

// The cells for `lastPage` pages with `currentPage` marked: the first cell at
// x 675 - 26 * lastPage, then pages 1 to lastPage, then the last cell. With
// no pages (lastPage 0 or less) the last cell sits right of the first one,
// so a negative count moves both to the right, past the page for -5 and
// less. Only cells that reach into the page's width (x 0 to 800) are built,
// so a store that claims billions of pages costs at most a window's width of
// cells; whenever every cell lies within that width (lastPage from -3 to 26)
// the row is complete. A currentPage outside 1 to lastPage marks nothing.
std::vector<PagerCell> BuildPager(int currentPage, int lastPage);

// What a cell says to people: its page number, or where a chevron leads.
std::wstring PagerCellName(const PagerCell& cell);
