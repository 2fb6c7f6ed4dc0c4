// The history table with the page's real sizes (654 x 426 at (73, 64), rows
// and header 36 high), driven by the messages a user's mouse sends.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/list_messages.h"
#include "controls/xlisthistory.h"
#include "dib_canvas.h"
#include "framework/afxmsgmap.h"
#include "framework/afxwnd.h"
#include "resource.h"

namespace {

const RECT kListRect = {73, 64, 727, 490};

class TableParent : public CWnd {
public:
    TableParent() {
        CreateEx(0, AfxRegisterWndClass(0), L"history table test", WS_POPUP, 0, 0, 800, 600,
                 nullptr, nullptr);
        ShowWindow(SW_SHOWNOACTIVATE);
    }
    ~TableParent() override { DestroyWindow(); }
};

class ListHistoryTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE, kListRect, &parent, 2650, IDP_DETAILS));
    }

    void AddPageColumns(int firstWidth = 140) {
        list.AddColumn(L"订单编号", firstWidth);
        list.AddColumn(L"产品名称", 140);
        list.AddColumn(L"支付金额", 120);
        list.AddColumn(L"订单状态", 90);
        list.AddColumn(L"操作", 170);
    }

    void AddRows(int count) {
        for (int r = 0; r < count; ++r) {
            list.InsertRow(list.RowCount(), L"8888");
            list.SetItemText(r, 2, L"\uFFE599.00");
        }
    }

    std::vector<std::uint32_t> Paint() { return CaptureErasePaint(list.m_hWnd, 654, 426, 0); }

    void Wheel(int delta) {
        list.SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, delta), MAKELPARAM(300, 300));
    }
    void Press(int x, int y) { list.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y)); }
    void Release(int x, int y) { list.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(x, y)); }

    // The rows the table asked its parent to open, oldest first.
    std::vector<WPARAM> Opened() {
        std::vector<WPARAM> rows;
        MSG msg;
        while (PeekMessageW(&msg, parent.m_hWnd, WM_HISTORY_ROW_OPEN, WM_HISTORY_ROW_OPEN,
                            PM_REMOVE)) {
            EXPECT_EQ(0, msg.lParam);
            rows.push_back(msg.wParam);
        }
        return rows;
    }

    TableParent parent;
    XListHistory list;
};

TEST_F(ListHistoryTest, WheelScrollsOnlyATableTallerThanTheWindowByARow) {
    AddPageColumns();
    AddRows(11);
    EXPECT_EQ(36 + 11 * 36, list.contentHeight) << "laid out as the rows come, before a paint";
    Wheel(-120);
    EXPECT_EQ(0, list.scrollY);

    // The twelfth row makes it scroll: a row, then only to the last row's end.
    AddRows(1);
    EXPECT_EQ(468, list.contentHeight);
    std::vector<int> seen;
    for (int delta : {-120, -120, -120, -480, 120, 120, 120}) {
        Wheel(delta);
        seen.push_back(list.scrollY);
    }
    EXPECT_EQ((std::vector<int>{-36, -42, -42, -42, -6, 0, 0}), seen);
}

TEST_F(ListHistoryTest, PressesInTheRightHandStripOpenNothing) {
    AddPageColumns();
    AddRows(12);
    // Row 0's button cell: x 490 to 660 (past the edge), y 36 to 72.
    Release(600, 50);
    EXPECT_TRUE(Opened().empty()) << "a release without a press opens nothing";

    Press(644, 50);
    Release(600, 50);
    EXPECT_TRUE(Opened().empty()) << "a press in the strip (x 644) opens nothing";
    EXPECT_EQ(-1, list.selectedRow);

    Press(643, 50);
    Release(600, 50);
    EXPECT_EQ(std::vector<WPARAM>{0}, Opened());
    EXPECT_EQ(0, list.selectedRow);

    // A press at y 0 in the strip does not count as a strip press.
    Press(650, 0);
    Release(600, 120);
    EXPECT_EQ(std::vector<WPARAM>{2}, Opened());

    // Hit-testing follows the scrolling at once, without waiting for a
    // paint: scrolled a row up, y 50 is row 1.
    Wheel(-120);
    Press(600, 50);
    Release(600, 50);
    EXPECT_EQ(std::vector<WPARAM>{1}, Opened());
    // The mouse leaving forgets the press.
    Press(600, 50);
    list.SendMessage(WM_MOUSELEAVE);
    Release(600, 50);
    EXPECT_TRUE(Opened().empty());
}

TEST_F(ListHistoryTest, ARowOutOfViewIsNeitherDrawnNorClickable) {
    AddPageColumns();
    AddRows(12);
    Paint();
    // Scrolled to the end: row 0 lies at y -6 to 30, under the header band,
    // which also covers row 1 down to y 36.
    Wheel(-120);
    Wheel(-120);
    const std::vector<std::uint32_t> pixels = Paint();
    ASSERT_EQ(-42, list.scrollY);
    for (int y : {20, 33}) {
        list.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(600, y));
        Press(600, y);
        Release(600, y);
        EXPECT_TRUE(Opened().empty()) << "a click on the band at y " << y;
    }
    ASSERT_EQ(12u, list.buttons.size());
    EXPECT_EQ(0, list.buttons[0].hover + list.buttons[1].hover);
    EXPECT_FALSE(list.buttons[0].shown);
    EXPECT_TRUE(list.buttons[1].shown);
    EXPECT_TRUE(list.buttons[11].shown) << "partly in view at the bottom";
    // Row 0's button would reach the top pixel row, just above the band.
    for (int x = 560; x < 600; ++x)
        EXPECT_EQ(0xFFFFFFu, pixels[x] & 0xFFFFFFu) << "x " << x;

    Press(600, 40);
    Release(600, 40);
    EXPECT_EQ(std::vector<WPARAM>{1}, Opened());
}

// Dark pixels (text) in the band x0..x1 of the first row (y 41 to 67).
int DarkPixels(const std::vector<std::uint32_t>& pixels, int x0, int x1) {
    int dark = 0;
    for (int y = 41; y < 67; ++y) {
        for (int x = x0; x < x1; ++x) {
            const std::uint32_t p = pixels[static_cast<size_t>(y) * 654 + x];
            if (((p >> 16) & 0xFF) < 200 && ((p >> 8) & 0xFF) < 200 && (p & 0xFF) < 200)
                ++dark;
        }
    }
    return dark;
}

TEST_F(ListHistoryTest, AHiddenNarrowFirstColumnLeavesTheOthersInPlace) {
    AddPageColumns(9);
    AddRows(1);
    list.InsertRow(0, L"|");
    std::vector<std::uint32_t> narrow = Paint();
    EXPECT_EQ(0, DarkPixels(narrow, 0, 9));
    // The other columns keep their places: column 1 starts at x 9.
    EXPECT_EQ(9, list.columns[1].rect.left);
    list.SetItemText(0, 1, L"8888");
    narrow = Paint();
    EXPECT_GT(DarkPixels(narrow, 9, 149), 20);
}

TEST_F(ListHistoryTest, LongTextsAreCutByTheirCells) {
    AddPageColumns();
    AddRows(1);
    list.InsertRow(0, L"");
    list.SetItemText(0, 1, std::wstring(5000, L'W'));
    list.SetItemText(0, 2, L"\uFFE5" + std::wstring(301, L'8') + L".00");
    std::vector<std::uint32_t> pixels = Paint();
    // Nothing spills into the empty order number or the status column.
    EXPECT_EQ(0, DarkPixels(pixels, 0, 140));
    EXPECT_EQ(0, DarkPixels(pixels, 400, 490));
}

}  // namespace
