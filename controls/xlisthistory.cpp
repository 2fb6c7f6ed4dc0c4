#include "controls/xlisthistory.h"

#include <climits>

#include "controls/list_geometry.h"
#include "framework/afxapp.h"
#include "framework/afxgdi.h"
#include "controls/list_messages.h"
#include "skin/display_scale.h"
#include "skin/picture_cache.h"

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

BEGIN_MESSAGE_MAP(XListHistory, CSkinnedWnd<CWnd>)
ON_WM_MOUSEMOVE()
ON_WM_MOUSELEAVE()
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONUP()
ON_WM_SETCURSOR()
ON_WM_MOUSEWHEEL()
ON_MESSAGE(WM_FOCUS_ELEMENT, &XListHistory::OnFocusElement)
ON_MESSAGE(WM_SIZE, &XListHistory::OnSizeMessage)
END_MESSAGE_MAP()

XListHistory::~XListHistory() {
    // The window goes before the picture it paints with.
    DestroyWindow();
}

BOOL XListHistory::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID,
                          int pictureId) {
    showHeader = 1;
    const DisplayScale scale =
        DisplayScale::Of(pParentWnd != nullptr ? pParentWnd->m_hWnd : nullptr);
    buttonPictureId = pictureId;
    buttonPicture = SharedPngResource(pictureId, static_cast<UINT>(scale.dpi()));
    const RECT device = scale.ToDevice(rect);
    const BOOL created =
        CreateEx(0, AfxRegisterWndClass(0), nullptr, dwStyle, device, pParentWnd, nID);
    createRect = rect;
    return created;
}

void XListHistory::LayOut() {
    if (m_hWnd != nullptr)
        MoveWindowLogical(m_hWnd, createRect);
}

void XListHistory::LoadPictures(UINT dpi) {
    buttonPicture = SharedPngResource(buttonPictureId, dpi);
    buttons.SetPicture(m_hWnd, buttonPicture);
    frame.Changed(m_hWnd);
}

void XListHistory::AddColumn(const std::wstring& title, int width) {
    if (title.empty())
        return;
    const LONG left = columns.empty() ? 0 : columns.back().rect.right;
    XListItem column;
    column.text = title;
    column.rect = RECT{left, 0, left + width, headerHeight};
    columns.push_back(std::move(column));
    LayOutRows();
    frame.Changed(m_hWnd);
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
        if (row.size() > kButtonColumn) {
            SkinElement button;
            button.name = kButtonName;
            button.action = RowCount();
            button.picture = buttonPicture;
            button.shown = false;  // until the layout puts it in view
            button.focusOrder = 1;
            button.focusWhileHidden = true;
            buttons.Add(m_hWnd, std::move(button));
        }
        rows.push_back(std::move(row));
        // Only the new row: a long answer is laid out in one pass.
        if (m_hWnd != nullptr) {
            const RECT client = LogicalClientRect(m_hWnd);
            LayOutRow(rows.size() - 1, client);
            contentHeight = ListContentHeight(
                HeaderHeight(), RowCount(),
                ListVisibleRows(client.bottom, HeaderHeight(), rowHeight), rowHeight);
        }
    }
    frame.Changed(m_hWnd);
}

void XListHistory::SetItemText(int row, int column, const std::wstring& text) {
    if (row < 0 || row >= RowCount() || column < 0)
        return;
    std::vector<XListItem>& cells = rows[static_cast<size_t>(row)];
    if (static_cast<size_t>(column) >= cells.size())
        return;
    cells[static_cast<size_t>(column)].text = text;
    frame.Changed(m_hWnd, cells[static_cast<size_t>(column)].rect);
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
    buttons.Clear(m_hWnd);
    LayOutRows();
    frame.Changed(m_hWnd);
}

void XListHistory::LayOutRows() {
    if (m_hWnd == nullptr)
        return;
    const RECT client = LogicalClientRect(m_hWnd);
    for (size_t r = 0; r < rows.size(); ++r)
        LayOutRow(r, client);
    contentHeight =
        ListContentHeight(HeaderHeight(), RowCount(),
                          ListVisibleRows(client.bottom, HeaderHeight(), rowHeight), rowHeight);
}

void XListHistory::LayOutRow(size_t index, const RECT& client) {
    const int header = HeaderHeight();
    // 64 bits: a row far below the window is simply out of view.
    const long long top =
        static_cast<long long>(scrollY) + header + static_cast<long long>(index) * rowHeight;
    const int y = static_cast<int>(top);
    std::vector<XListItem>& row = rows[index];
    if (!row.empty() && !columns.empty())
        row[0].rect = RECT{columns[0].rect.left, y, columns[0].rect.right, y + rowHeight};
    for (size_t j = FirstDrawnColumn(columns); j < row.size() && j < columns.size(); ++j)
        row[j].rect = RECT{columns[j].rect.left, y, columns[j].rect.right, y + rowHeight};

    // The row's button: the rows made once the table had a button column
    // have one each, in row order, its action the row's index.
    if (columns.size() <= kButtonColumn || buttons.empty())
        return;
    const size_t first = static_cast<size_t>(buttons[0].action);
    const size_t button = index - first;
    if (index < first || button >= buttons.size() ||
        buttons[button].action != static_cast<int>(index))
        return;
    if (top >= client.bottom || top + rowHeight <= header) {
        buttons.SetShown(m_hWnd, button, false);
        return;
    }
    const RECT& column = columns[kButtonColumn].rect;
    const RECT view{0, header, client.right, client.bottom};
    const RECT cell{column.left, y, column.right, y + rowHeight};
    RECT seen{};
    const bool inView = IntersectRect(&seen, &cell, &view) != FALSE;
    buttons.SetRect(m_hWnd, button, seen,
                    RECT{column.left + kButtonLeft, y + kButtonTop,
                         column.left + kButtonLeft + kButtonWidth, y + kButtonTop + kButtonHeight});
    buttons.SetShown(m_hWnd, button, inView);
}

void XListHistory::Compose(OffscreenFrame& canvas) {
    Gdiplus::Graphics& g = canvas.graphics();
    PaintTools& tools = canvas.tools();
    Gdiplus::StringFormat& centred = tools.CentredFormat();

    const size_t start = FirstDrawnColumn(columns);
    for (const std::vector<XListItem>& row : rows) {
        for (size_t j = start; j < row.size() && j < columns.size(); ++j) {
            const RECT& cell = row[j].rect;
            if (cell.top >= canvas.height() || cell.bottom <= 0 || j == kButtonColumn)
                continue;  // out of view; the buttons follow
            const RECT& column = columns[j].rect;
            const Gdiplus::RectF textBox = RectF(column.left, cell.top + kTextInset, Width(column),
                                                 rowHeight - 2 * kTextInset);
            if (j == kAmountColumn) {
                tools.DrawText(g, row[j].text.c_str(), textBox,
                               tools.Font(kCellPoints, Gdiplus::FontStyleBold), centred,
                               kAmountText);
            } else {
                tools.DrawText(g, row[j].text.c_str(), textBox, tools.Font(kCellPoints), centred,
                               kCellText);
            }
        }
    }
    buttons.Draw(g);

    // Drawn last: the band covers a row scrolled under it.
    if (showHeader == 1) {
        g.FillRectangle(&tools.Brush(kHeaderBand), 1, 1, canvas.width() - 2, headerHeight);
        for (size_t j = start; j < columns.size(); ++j) {
            const RECT& column = columns[j].rect;
            tools.DrawText(g, columns[j].text.c_str(),
                           RectF(column.left, 0, Width(column), headerHeight),
                           tools.Font(kHeaderPoints, Gdiplus::FontStyleBold), centred, kHeaderText);
        }
    }
    buttons.DrawFocusRing(g, canvas.scale(), HasKeyboardFocus(m_hWnd));
}

LRESULT XListHistory::OnSizeMessage(WPARAM, LPARAM) {
    LayOutRows();
    return Default();
}

void XListHistory::OnMouseMove(UINT nFlags, CPoint point) {
    const bool entering = buttons.trackLeave() == 1;
    buttons.OnMouseMove(m_hWnd, point);
    if (entering)
        SetFocus();  // the wheel goes to the focused window
    CWnd::OnMouseMove(nFlags, point);
}

void XListHistory::OnMouseLeave() {
    scrollPressY = -1;
    pressed = 0;
    buttons.OnMouseLeave(m_hWnd);
    frame.Changed(m_hWnd);
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
    if (const SkinElement* button = buttons.At(point))
        OpenRow(button->action);
    frame.Changed(m_hWnd);
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
    const RECT logical = DisplayScale::Of(m_hWnd).ToLogical(window);
    const int windowHeight = logical.bottom - logical.top;
    scrollY = ListWheelScroll(scrollY, contentHeight, windowHeight, rowHeight, zDelta > 0);
    if (contentHeight >= windowHeight + rowHeight) {
        LayOutRows();
        frame.Changed(m_hWnd);
    }
    return CWnd::OnMouseWheel(nFlags, zDelta, pt);
}

void XListHistory::OpenRow(int row) {
    selectedRow = row;
    if (CWnd* parent = GetParent())
        parent->PostMessage(WM_HISTORY_ROW_OPEN, static_cast<WPARAM>(row), 0);
}

void XListHistory::ListAccessibleNodes(std::vector<AccessibleNode>& nodes) const {
    const RECT client = LogicalClientRect(m_hWnd);
    const int header = showHeader == 1 ? headerHeight : 0;
    const RECT view{client.left, client.top + header, client.right, client.bottom};
    const size_t start = FirstDrawnColumn(columns);

    AccessibleNode titles;
    titles.role = ROLE_SYSTEM_ROW;
    titles.rect = RECT{client.left, client.top, client.right, client.top + header};
    if (header == 0)
        titles.state = STATE_SYSTEM_INVISIBLE;
    for (size_t j = start; j < columns.size(); ++j) {
        AccessibleNode title;
        title.name = columns[j].text;
        title.role = ROLE_SYSTEM_COLUMNHEADER;
        title.rect = columns[j].rect;
        title.state = titles.state;
        titles.children.push_back(std::move(title));
    }
    nodes.push_back(std::move(titles));

    for (size_t r = 0; r < rows.size(); ++r) {
        const std::vector<XListItem>& cells = rows[r];
        AccessibleNode row;
        row.role = ROLE_SYSTEM_ROW;
        if (!cells.empty()) {
            row.name = cells[0].text;
            row.rect = RECT{client.left, cells[0].rect.top, client.right, cells[0].rect.bottom};
        }
        RECT seen{};
        if (!IntersectRect(&seen, &row.rect, &view))
            row.state = STATE_SYSTEM_OFFSCREEN;
        for (size_t j = start; j < cells.size() && j < columns.size(); ++j) {
            if (j == kButtonColumn) {
                // The button, only while a click can reach it.
                if (r < buttons.size() && buttons[r].shown) {
                    AccessibleNode button =
                        ElementNode(buttons[r], HasKeyboardFocus(m_hWnd) &&
                                                    buttons.focused() == static_cast<int>(r));
                    row.children.push_back(std::move(button));
                }
                continue;
            }
            AccessibleNode cell;
            cell.name = cells[j].text;
            cell.role = ROLE_SYSTEM_CELL;
            cell.rect = cells[j].rect;
            cell.state = row.state;
            row.children.push_back(std::move(cell));
        }
        nodes.push_back(std::move(row));
    }
}

void XListHistory::DoAccessibleAction(int action) {
    if (action >= 0 && static_cast<size_t>(action) < buttons.size() &&
        buttons[static_cast<size_t>(action)].shown)
        OpenRow(action);
}

void XListHistory::AppendFocusStops(std::vector<FocusStop>& stops) const {
    AppendElementStops(stops, m_hWnd, buttons);
}

LRESULT XListHistory::OnFocusElement(WPARAM wParam, LPARAM) {
    FocusRow(wParam <= static_cast<WPARAM>(INT_MAX) ? static_cast<int>(wParam) : -1);
    return 0;
}

void XListHistory::FocusRow(int row) {
    if (row < 0 || static_cast<size_t>(row) >= buttons.size())
        return;
    const RECT client = LogicalClientRect(m_hWnd);
    const int header = showHeader == 1 ? headerHeight : 0;
    const int scrolled = ListScrollToRow(scrollY, row, rowHeight, client.bottom - header);
    if (scrolled != scrollY) {
        scrollY = scrolled;
        LayOutRows();
        frame.Changed(m_hWnd);
    }
    // The focus messages of a skinned window: focus taken, ring moved, the
    // row's button announced.
    LRESULT result = 0;
    HandleElementFocus(m_hWnd, buttons, accessible, WM_FOCUS_ELEMENT, static_cast<WPARAM>(row),
                       &result);
}

BOOL XListHistory::PreTranslateMessage(MSG* pMsg) {
    if (pMsg->message != WM_KEYDOWN)
        return FALSE;
    const RECT client = LogicalClientRect(m_hWnd);
    const int header = showHeader == 1 ? headerHeight : 0;
    const int row = ListKeyRow(buttons.focused(), static_cast<int>(buttons.size()),
                               ListVisibleRows(client.bottom, header, rowHeight),
                               static_cast<unsigned>(pMsg->wParam));
    switch (pMsg->wParam) {
        case VK_UP:
        case VK_DOWN:
        case VK_PRIOR:
        case VK_NEXT:
        case VK_HOME:
        case VK_END:
            ShowFocusCues(m_hWnd);
            FocusRow(row);
            return TRUE;
        default:
            return FALSE;
    }
}
