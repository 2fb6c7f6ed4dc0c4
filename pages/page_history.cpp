#include "pages/page_history.h"

#include <climits>
#include <string>
#include <utility>

#include "framework/afxmsgmap.h"
#include "pages/blocking_request.h"
#include "pages/dialog_keys.h"
#include "pages/history_rows.h"
#include "pages/page_messages.h"
#include "resource.h"
#include "skin/display_scale.h"
#include "skin/frame_cache.h"
#include "skin/picture_frame.h"
#include "skin/picture_cache.h"
#include "store/link_handoff.h"
#include "store/order_list.h"
#include "store/orders.h"
#include "store/store_state.h"

namespace {

// Back and the official site come from the table; the pager's cells follow
// them, each with the action kFirstPagerCell + its place in the row, its
// page as its value and its kind as its look.
enum HistoryElement { kElementBack = 0, kElementOfficialSite = 1, kFirstPagerCell = 2 };

// The keyboard's order: Back, the table's rows (the table's own stops), the
// pager cells, the official site.
enum HistoryFocusOrder { kBackStop = 1, kPagerStop = 2, kOfficialSiteStop = 3 };

// The pager cells' group: one keyboard stop, entered at the current page's
// cell; the arrow keys move between them.
constexpr int kPagerGroup = 2;

const SkinElementRecord kHistoryElementRecords[] = {
    {IDP_BACK, 73, 24, 121, 48, L"返回", ElementRole::PushButton, kEveryView, kBackStop},
    {IDP_OFFICIAL_TAB, 769, 470, 801, 530, L"官网查看更多", ElementRole::Link, kEveryView,
     kOfficialSiteStop},
};

struct ColumnSpec {
    const wchar_t* title;
    int width;
};

// 660 pixels in all on a 654-pixel table: the action column runs 6 pixels
// past the right edge, where only its empty end lies.
const ColumnSpec kColumns[] = {
    {L"订单编号", 140}, {L"产品名称", 140}, {L"支付金额", 120}, {L"订单状态", 90}, {L"操作", 170},
};

const RECT kListRect = {73, 64, 727, 490};

constexpr Gdiplus::REAL kTextPoints = 10.0f;
constexpr Gdiplus::ARGB kTextColour = 0xFF454343;
constexpr Gdiplus::ARGB kCellOutline = 0xFFF2F2F2;
constexpr Gdiplus::ARGB kCurrentCellFill = 0xFFF7F8F8;
constexpr int kArrowInset = 3;
constexpr int kArrowSize = 20;
const Gdiplus::RectF kTotalLineBox(73.0f, 520.0f, 300.0f, 26.0f);

Gdiplus::RectF CellBox(const RECT& r) {
    return Gdiplus::RectF(static_cast<Gdiplus::REAL>(r.left), static_cast<Gdiplus::REAL>(r.top),
                          static_cast<Gdiplus::REAL>(r.right - r.left),
                          static_cast<Gdiplus::REAL>(r.bottom - r.top));
}

// One pager cell: a page's number, its fill when it is the current page, or
// a chevron; the outline round it.
void DrawPagerCell(Gdiplus::Graphics& g, PaintTools& tools, Gdiplus::Image* arrows,
                   const SkinElement& cell) {
    Gdiplus::Pen& outline = tools.Pen(kCellOutline);
    const RECT& r = cell.rect;
    const auto kind = static_cast<PagerCellKind>(cell.look);
    if (kind == PagerCellKind::Page) {
        if (cell.hover == 1)
            g.FillRectangle(&tools.Brush(kCurrentCellFill), CellBox(r));
        const std::wstring number = std::to_wstring(cell.value);
        tools.DrawText(g, number.c_str(), CellBox(r), tools.Font(kTextPoints),
                       tools.CentredFormat(), kTextColour);
    } else {
        const int frame = kind == PagerCellKind::First ? 0 : 1;
        DrawPictureFrame(g, arrows, frame,
                         Gdiplus::RectF(static_cast<Gdiplus::REAL>(r.left + kArrowInset),
                                        static_cast<Gdiplus::REAL>(r.top + kArrowInset), kArrowSize,
                                        kArrowSize));
    }
    g.DrawRectangle(&outline, static_cast<INT>(r.left), static_cast<INT>(r.top),
                    static_cast<INT>(r.right - r.left), static_cast<INT>(r.bottom - r.top));
}

}  // namespace

BEGIN_MESSAGE_MAP(CPageHistory, CSwitchedDialogPage)
ON_WM_MOUSELEAVE()
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONUP()
ON_MESSAGE(WM_HISTORY_ROW_OPEN, &CPageHistory::OnHistoryRowOpen)
ON_MESSAGE(WM_WINDOWPOSCHANGED, &CPageHistory::OnWindowPosChanged)
END_MESSAGE_MAP()

CPageHistory::~CPageHistory() {
    // The windows go before the pictures they paint with and the orders the
    // rows point to.
    DestroyWindow();
}

BOOL CPageHistory::PreTranslateMessage(MSG* pMsg) {
    return FilterPageKeys(*this, pMsg);
}

BOOL CPageHistory::Create(UINT nIDTemplate, CWnd* pParentWnd) {
    return CDialogEx::Create(nIDTemplate, pParentWnd);
}

BOOL CPageHistory::OnInitDialog() {
    CDialogEx::OnInitDialog();
    const UINT dpi = static_cast<UINT>(DisplayScale::Of(m_hWnd).dpi());
    arrowPicture = SharedPngResource(IDP_PAGER_ARROWS, dpi);
    elements = DrawnElements(BuildSkinElements(kHistoryElementRecords, dpi));
    list.Create(WS_CHILD | WS_VISIBLE, kListRect, this, kListId, IDP_DETAILS);
    for (const ColumnSpec& column : kColumns)
        list.AddColumn(column.title, column.width);
    return TRUE;
}

void CPageHistory::ScaleChanged(UINT dpi) {
    list.LayOut();
    list.LoadPictures(dpi);
    arrowPicture = SharedPngResource(IDP_PAGER_ARROWS, dpi);
    elements.LoadPictures(dpi);
    frame.Changed(m_hWnd);
}

void CPageHistory::OpenWith(int, const PackageRecord*) {
    FetchOrderPage(1);
}

void CPageHistory::Leave() {
    SlideWindowOut(m_hWnd);
}

LRESULT CPageHistory::OnWindowPosChanged(WPARAM, LPARAM lParam) {
    // Hidden, the page and its table keep no frame: both compose anew when
    // it shows.
    if (WindowPosHides(lParam))
        ReleaseFramesOf(m_hWnd);
    return Default();
}

void CPageHistory::FetchOrderPage(int page) {
    // The rows go before the orders they point to.
    list.ResetRows();
    orders.clear();

    OrderListPage answer;
    bool fetched = false;
    {
        // Clicks made meanwhile (Back, another page) act once the page is in.
        BlockingRequest busy(ClicksMeanwhile::Keep);
        fetched = FetchOrderList(page, answer);
    }
    if (fetched) {
        totalOrders = answer.total;
        pagerBuilt = true;
        // A pager cell the keyboard pressed keeps the focus in its place.
        const int focusedCell = elements.focused();
        elements.RemoveFrom(m_hWnd, kFirstPagerCell);
        for (const PagerCell& pager : BuildPager(answer.currentPage, answer.lastPage)) {
            SkinElement cell;
            cell.rect = pager.rect;
            cell.name = PagerCellName(pager);
            cell.action = static_cast<int>(elements.size());
            cell.role = ElementRole::Cell;
            cell.followsPointer = false;  // cells have no hover frame
            cell.hover = pager.current;   // the chosen cell of the group
            cell.group = kPagerGroup;
            cell.focusOrder = kPagerStop;
            cell.value = pager.value;
            cell.look = static_cast<BYTE>(pager.kind);
            elements.Add(m_hWnd, std::move(cell));
        }
        if (focusedCell >= kFirstPagerCell)
            elements.SetFocused(m_hWnd, focusedCell);
        for (HistoryOrder& order : answer.orders) {
            const int row = list.RowCount();
            const HistoryRowTexts texts = MakeHistoryRowTexts(order);
            list.InsertRow(row, texts.orderNo);
            list.SetItemText(row, 1, texts.packageName);
            list.SetItemText(row, 2, texts.amount);
            list.SetItemText(row, 3, texts.status);
            orders.push_back(std::make_unique<HistoryOrder>(std::move(order)));
            list.SetRowData(row, orders.back().get());
        }
    }
    // The pager and the total line are the page's own drawing.
    frame.Changed(m_hWnd);
    NotifyViewChanged(m_hWnd);
}

void CPageHistory::ListAccessibleNodes(std::vector<AccessibleNode>& nodes) const {
    AppendShownElements(elements, nodes, m_hWnd);
}

void CPageHistory::AppendFocusStops(std::vector<FocusStop>& stops) const {
    AppendElementStops(stops, m_hWnd, elements, kBackStop, kBackStop);
    list.AppendFocusStops(stops);
    AppendElementStops(stops, m_hWnd, elements, kPagerStop);
}

void CPageHistory::DoAccessibleAction(int action) {
    ClickElement(action);
}

LRESULT CPageHistory::OnHistoryRowOpen(WPARAM wParam, LPARAM /*lParam*/) {
    // An index beyond int is no row.
    if (wParam <= static_cast<WPARAM>(INT_MAX))
        OpenHistoryOrder(static_cast<int>(wParam));
    return 0;
}

void CPageHistory::OpenHistoryOrder(int row) {
    if (row < 0 || row >= list.RowCount())
        return;
    HistoryOrder* order = static_cast<HistoryOrder*>(list.RowData(row));
    if (order == nullptr || storeState.products.empty())
        return;
    const PackageRecord* found = nullptr;
    for (const PackageRecord& package : storeState.products.front().packages) {
        if (package.id == order->packageId) {
            found = &package;
            break;
        }
    }
    if (found == nullptr)
        return;

    auto copy = std::make_unique<PackageRecord>(*found);
    copy->payStatus = order->payStatus;
    if (order->payStatus == 1) {
        BlockingRequest busy(ClicksMeanwhile::Keep);
        // Without an order link of its own the package's link stands.
        if (LookupOrderLinks(*order))
            copy->linkUrl = order->linkUrl;
    }
    HistoryNavigatePosts().Post(::GetParent(m_hWnd), WM_HISTORY_NAVIGATE, kHistoryNavigateSource,
                                std::move(copy));
}

void CPageHistory::Compose(OffscreenFrame& f) {
    Gdiplus::Graphics& g = f.graphics();
    PaintTools& tools = f.tools();
    elements.Draw(g, [this, &tools](Gdiplus::Graphics& graphics, const SkinElement& cell) {
        DrawPagerCell(graphics, tools, arrowPicture.get(), cell);
    });
    if (pagerBuilt) {
        const std::wstring line = L"共有" + std::to_wstring(totalOrders) + L"个订单，每页显示12个";
        tools.DrawText(g, line.c_str(), kTotalLineBox, tools.Font(kTextPoints), tools.NearFormat(),
                       kTextColour);
    }
    elements.DrawFocusRing(g, f.scale(), HasKeyboardFocus(m_hWnd));
}

void CPageHistory::OnMouseLeave() {
    CSkinnedWnd::OnMouseLeave();
    pressed = 0;
}

void CPageHistory::OnLButtonDown(UINT nFlags, CPoint point) {
    pressed = 1;
    NoteLeftButtonPress();
    CDialogEx::OnLButtonDown(nFlags, point);
}

void CPageHistory::OnLButtonUp(UINT nFlags, CPoint point) {
    // A release acts wherever the press began.
    pressed = 0;
    CDialogEx::OnLButtonUp(nFlags, point);
    if (!ReleaseEndsDroppedClick())
        ClickElement(elements.ActionAt(point));
}

void CPageHistory::ClickElement(int action) {
    switch (action) {
        case kElementBack:
            ::PostMessageW(::GetParent(m_hWnd), WM_HISTORY_NAVIGATE, kHistoryNavigateSource, 0);
            return;
        case kElementOfficialSite:
            if (!storeState.products.empty())
                OpenUrlInShell(storeState.products.front().shopUrl);
            return;
        default:
            break;
    }
    const int cell = elements.IndexOf(action);
    if (action >= kFirstPagerCell && cell >= 0) {
        // A copy: the fetch rebuilds the cells.
        const int value = elements[static_cast<size_t>(cell)].value;
        FetchOrderPage(value);
    }
}
