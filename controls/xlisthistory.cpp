#include "controls/xlisthistory.h"

#include "controls/list_geometry.h"
#include "framework/afxapp.h"
#include "framework/afxgdi.h"
#include "controls/list_messages.h"
#include "skin/offscreen_frame.h"
#include "skin/picture_frame.h"
#include "skin/png_resource.h"

namespace {

constexpr Gdiplus::REAL kHeaderPoints = 10.0f;
constexpr Gdiplus::REAL kCellPoints = 9.2f;
constexpr Gdiplus::ARGB kCellText = 0xFF231815;
constexpr Gdiplus::ARGB kAmountText = 0xFFFF9933;
constexpr Gdiplus::ARGB kHeaderBand = 0xFFF6F6F6;
constexpr Gdiplus::ARGB kHeaderText = 0xFF1473E6;

// Where a row's button picture sits in its cell.
constexpr int kButtonLeft = 50;
constexpr int kButtonTop = 6;
constexpr int kButtonWidth = 72;
constexpr int kButtonHeight = 24;

// Cells keep 5 pixels above and below their text.
constexpr int kTextInset = 5;

Gdiplus::RectF RectF(int x, int y, int width, int height) {
    return Gdiplus::RectF(static_cast<Gdiplus::REAL>(x), static_cast<Gdiplus::REAL>(y),
                          static_cast<Gdiplus::REAL>(width), static_cast<Gdiplus::REAL>(height));
}

int Width(const RECT& r) {
    return r.right - r.left;
}

// A first column narrower than 10 pixels is hidden, title and cells.
size_t FirstDrawnColumn(const std::vector<XListItem>& columns) {
    if (!columns.empty() && Width(columns[0].rect) < XListHistory::kMinShownFirstColumn)
        return 1;
    return 0;
}

}  // namespace

BEGIN_MESSAGE_MAP(XListHistory, CWnd)
ON_WM_ERASEBKGND()
ON_WM_MOUSEMOVE()
ON_WM_MOUSELEAVE()
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONUP()
ON_WM_SETCURSOR()
ON_WM_MOUSEWHEEL()
END_MESSAGE_MAP()

XListHistory::~XListHistory() {
    // The window goes before the picture it paints with.
    DestroyWindow();
}

BOOL XListHistory::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID,
                          int pictureId) {
    showHeader = 1;
    buttonPicture = LoadPngResource(pictureId);
    const BOOL created =
        CreateEx(0, AfxRegisterWndClass(0), nullptr, dwStyle, rect, pParentWnd, nID);
    createRect = rect;
    return created;
}

void XListHistory::AddColumn(const std::wstring& title, int width) {
    if (title.empty())
        return;
    const LONG left = columns.empty() ? 0 : columns.back().rect.right;
    XListItem column;
    column.text = title;
    column.rect = RECT{left, 0, left + width, headerHeight};
    columns.push_back(std::move(column));
    Invalidate();
}

void XListHistory::InsertRow(int index, const std::wstring& text) {
    if (index < 0)
        return;
    if (index < RowCount()) {
        if (!rows[static_cast<size_t>(index)].empty())
            rows[static_cast<size_t>(index)][0].text = text;
    } else {
        std::vector<XListItem> row(columns.size());
        for (size_t c = 0; c < columns.size(); ++c) {
            row[c].rect = RECT{columns[c].rect.left, rowHeight * index, columns[c].rect.right,
                               rowHeight * (index + 1)};
        }
        if (!row.empty())
            row[0].text = text;
        rows.push_back(std::move(row));
    }
    Invalidate();
}

void XListHistory::SetItemText(int row, int column, const std::wstring& text) {
    if (row < 0 || row >= RowCount() || column < 0)
        return;
    std::vector<XListItem>& cells = rows[static_cast<size_t>(row)];
    if (static_cast<size_t>(column) >= cells.size())
        return;
    cells[static_cast<size_t>(column)].text = text;
    InvalidateRect(&cells[static_cast<size_t>(column)].rect);
}

void* XListHistory::RowData(int row) const {
    if (row < 0 || row >= RowCount() || rows[static_cast<size_t>(row)].empty())
        return nullptr;
    return rows[static_cast<size_t>(row)][0].data;
}

void XListHistory::SetRowData(int row, void* data) {
    if (row < 0 || row >= RowCount() || rows[static_cast<size_t>(row)].empty())
        return;
    rows[static_cast<size_t>(row)][0].data = data;
}

void XListHistory::ResetRows() {
    scrollY = 0;
    selectedRow = -1;
    rows.clear();
    Invalidate();
}

BOOL XListHistory::OnEraseBkgnd(CDC* pDC) {
    Paint(pDC->GetSafeHdc());
    return TRUE;
}

void XListHistory::Paint(HDC target) {
    OffscreenFrame frame(m_hWnd, target);
    Gdiplus::Graphics& g = frame.graphics();
    PaintTools& tools = frame.tools();
    Gdiplus::StringFormat& centred = tools.CentredFormat();

    const size_t start = FirstDrawnColumn(columns);
    const int header = showHeader == 1 ? headerHeight : 0;
    const int visibleRows = ListVisibleRows(frame.height(), header, rowHeight);

    // 64 bits: rows far below the window still get rectangles without wrapping.
    long long y = static_cast<long long>(scrollY) + header;
    for (std::vector<XListItem>& row : rows) {
        const int top = static_cast<int>(y);
        const bool onScreen = y < frame.height() && y + rowHeight > 0;
        if (!row.empty() && !columns.empty())
            row[0].rect = RECT{columns[0].rect.left, top, columns[0].rect.right, top + rowHeight};
        for (size_t j = start; j < row.size() && j < columns.size(); ++j) {
            const RECT& column = columns[j].rect;
            row[j].rect = RECT{column.left, top, column.right, top + rowHeight};
            if (!onScreen)
                continue;
            const Gdiplus::RectF textBox =
                RectF(column.left, top + kTextInset, Width(column), rowHeight - 2 * kTextInset);
            if (j == kAmountColumn) {
                tools.DrawText(g, row[j].text.c_str(), textBox,
                               tools.Font(kCellPoints, Gdiplus::FontStyleBold), centred,
                               kAmountText);
            } else if (j == kButtonColumn) {
                DrawPictureFrame(g, buttonPicture.get(), row[j].hot,
                                 RectF(column.left + kButtonLeft, top + kButtonTop, kButtonWidth,
                                       kButtonHeight));
            } else {
                tools.DrawText(g, row[j].text.c_str(), textBox, tools.Font(kCellPoints), centred,
                               kCellText);
            }
        }
        y += rowHeight;
    }
    contentHeight = ListContentHeight(header, RowCount(), visibleRows, rowHeight);

    // Drawn last: the band covers a row scrolled under it.
    if (showHeader == 1) {
        g.FillRectangle(&tools.Brush(kHeaderBand), 1, 1, frame.width() - 2, headerHeight);
        for (size_t j = start; j < columns.size(); ++j) {
            const RECT& column = columns[j].rect;
            tools.DrawText(g, columns[j].text.c_str(),
                           RectF(column.left, 0, Width(column), headerHeight),
                           tools.Font(kHeaderPoints, Gdiplus::FontStyleBold), centred, kHeaderText);
        }
    }
}

void XListHistory::OnMouseMove(UINT nFlags, CPoint point) {
    if (trackLeave == 1) {
        TRACKMOUSEEVENT request{};
        request.cbSize = sizeof request;
        request.dwFlags = TME_LEAVE;
        request.hwndTrack = m_hWnd;
        request.dwHoverTime = 3;
        TrackMouseEvent(&request);
        trackLeave = 0;
        // The wheel goes to the focused window.
        SetFocus();
    }
    for (std::vector<XListItem>& row : rows) {
        if (row.size() <= kButtonColumn)
            continue;
        XListItem& cell = row[kButtonColumn];
        const bool inside = PtInRect(&cell.rect, point) != FALSE;
        if (inside && cell.hot != 1) {
            cell.hot = 1;
            InvalidateRect(&cell.rect);
        } else if (!inside && cell.hot == 1) {
            cell.hot = 0;
            InvalidateRect(&cell.rect);
        }
    }
    CWnd::OnMouseMove(nFlags, point);
}

void XListHistory::OnMouseLeave() {
    scrollPressY = -1;
    pressed = 0;
    trackLeave = 1;
    for (std::vector<XListItem>& row : rows) {
        if (row.size() > kButtonColumn && row[kButtonColumn].hot == 1)
            row[kButtonColumn].hot = 0;
    }
    Invalidate();
}

void XListHistory::OnLButtonDown(UINT nFlags, CPoint point) {
    pressed = 1;
    if (InListStrip(point.x, Width(createRect), kStripWidth))
        scrollPressY = point.y;
    CWnd::OnLButtonDown(nFlags, point);
}

void XListHistory::OnLButtonUp(UINT nFlags, CPoint point) {
    if (pressed == 0)
        return;
    pressed = 0;
    if (scrollPressY > 0) {
        // A click that began in the strip opens nothing.
        scrollPressY = -1;
        return;
    }
    for (size_t r = 0; r < rows.size(); ++r) {
        if (rows[r].size() > kButtonColumn && PtInRect(&rows[r][kButtonColumn].rect, point)) {
            selectedRow = static_cast<int>(r);
            if (CWnd* parent = GetParent())
                parent->PostMessage(WM_HISTORY_ROW_OPEN, r, 0);
            break;
        }
    }
    Invalidate();
    pressed = 0;
    CWnd::OnLButtonUp(nFlags, point);
}

BOOL XListHistory::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message) {
    if (pWnd != nullptr && pWnd->GetSafeHwnd() == m_hWnd) {
        ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
        return TRUE;
    }
    return CWnd::OnSetCursor(pWnd, nHitTest, message);
}

BOOL XListHistory::OnMouseWheel(UINT nFlags, short zDelta, CPoint pt) {
    CRect window;
    GetWindowRect(&window);
    scrollY = ListWheelScroll(scrollY, contentHeight, window.Height(), rowHeight, zDelta > 0);
    if (contentHeight >= window.Height() + rowHeight)
        Invalidate();
    return CWnd::OnMouseWheel(nFlags, zDelta, pt);
}
