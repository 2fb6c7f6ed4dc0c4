#include "controls/list_geometry.h"

#include <algorithm>
#include <climits>
#include <cstdint>

#include <windows.h>

int ListVisibleRows(int clientHeight, int headerHeight, int rowHeight) {
    if (rowHeight <= 0)
        return 0;
    return std::max(0, (clientHeight - headerHeight) / rowHeight);
}

int ListContentHeight(int headerHeight, int rowCount, int visibleRows, int rowHeight) {
    const std::int64_t rows = std::max(rowCount, visibleRows);
    const std::int64_t height = std::int64_t{headerHeight} + rows * rowHeight;
    return static_cast<int>(std::min<std::int64_t>(height, INT_MAX));
}

int ListWheelScroll(int scrollY, int contentHeight, int windowHeight, int rowHeight,
                    bool awayFromUser) {
    // 64 bits: the sums below must not wrap for a huge content.
    const std::int64_t y = scrollY;
    const std::int64_t content = contentHeight;
    const std::int64_t window = windowHeight;
    if (content < window + rowHeight)
        return scrollY;
    if (awayFromUser)
        return static_cast<int>(std::min<std::int64_t>(y + rowHeight, 0));
    if (y + content > window + rowHeight)
        return static_cast<int>(y - rowHeight);
    if (y + content > window)
        return static_cast<int>(window - content);
    return scrollY;
}

int ListKeyRow(int current, int rowCount, int pageRows, unsigned key) {
    if (rowCount <= 0)
        return -1;
    const std::int64_t page = std::max(pageRows, 1);
    std::int64_t row = current;
    switch (key) {
        case VK_UP:
            row = current < 0 ? 0 : row - 1;
            break;
        case VK_DOWN:
            row = row + 1;
            break;
        case VK_PRIOR:
            row = current < 0 ? 0 : row - page;
            break;
        case VK_NEXT:
            row = current < 0 ? page - 1 : row + page;
            break;
        case VK_HOME:
            row = 0;
            break;
        case VK_END:
            row = rowCount - 1;
            break;
        default:
            return -1;
    }
    return static_cast<int>(std::clamp<std::int64_t>(row, 0, rowCount - 1));
}

int ListScrollToRow(int scrollY, int row, int rowHeight, int viewHeight) {
    const std::int64_t top = std::int64_t{row} * rowHeight;
    const std::int64_t bottom = top + rowHeight;
    std::int64_t y = scrollY;
    if (top < -y)
        y = -top;
    else if (bottom > -y + viewHeight)
        y = viewHeight - bottom;
    return static_cast<int>(std::clamp<std::int64_t>(y, INT_MIN, 0));
}
