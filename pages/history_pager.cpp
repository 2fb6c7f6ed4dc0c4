#include "pages/history_pager.h"

#include <algorithm>
#include <cstdint>

namespace {

// Cell positions are computed in 64 bits: 26 times a page count from the
// network does not fit 32.
bool Reaches(std::int64_t left) {
    return left < kPageWidth && left + kPagerCellSize > 0;
}

PagerCell Cell(int value, BYTE current, std::int64_t left, PagerCellKind kind) {
    const LONG x = static_cast<LONG>(left);
    return PagerCell{value, current,
                     RECT{x, kPagerTop, x + kPagerCellSize, kPagerTop + kPagerCellSize}, kind};
}

}  // namespace

std::vector<PagerCell> BuildPager(int currentPage, int lastPage) {
    std::vector<PagerCell> cells;
    const std::int64_t pages = lastPage;
    // The last cell ends at the table's right edge.
    const std::int64_t firstLeft = kPagerRight - kPagerCellSize * (pages + 2);
    auto leftOf = [&](std::int64_t n) { return firstLeft + kPagerCellSize * n; };

    if (Reaches(firstLeft))
        cells.push_back(Cell(1, 0, firstLeft, PagerCellKind::First));
    // Page n sits at leftOf(n); the first that reaches into the page is the
    // smallest n with leftOf(n) + 26 > 0.
    const std::int64_t firstVisible = (-firstLeft) / kPagerCellSize;
    for (std::int64_t n = std::max<std::int64_t>(1, firstVisible); n <= pages; ++n) {
        if (!Reaches(leftOf(n)))
            continue;
        const BYTE current = n == currentPage ? 1 : 0;
        cells.push_back(Cell(static_cast<int>(n), current, leftOf(n), PagerCellKind::Page));
    }
    // The last cell follows the page cells; with none (a count of 0 or
    // less) it follows the first cell.
    const std::int64_t lastLeft = leftOf(std::max<std::int64_t>(pages, 0) + 1);
    if (Reaches(lastLeft))
        cells.push_back(Cell(lastPage, 0, lastLeft, PagerCellKind::Last));
    return cells;
}

std::wstring PagerCellName(const PagerCell& cell) {
    switch (cell.kind) {
        case PagerCellKind::First:
            return L"首页";
        case PagerCellKind::Last:
            return L"尾页";
        case PagerCellKind::Page:
            break;
    }
    return std::to_wstring(cell.value);
}
