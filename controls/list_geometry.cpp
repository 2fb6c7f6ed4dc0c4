#include "controls/list_geometry.h"

#include <algorithm>
#include <climits>
#include <cstdint>

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
