// The pager row and the texts of a history row, from the store's answer; the
// table's keys.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/list_geometry.h"
#include "pages/history_pager.h"
#include "pages/history_rows.h"
#include "store/order_list.h"

namespace {

struct Expected {
    int value;
    int current;
    int left;
    PagerCellKind kind;
};

void ExpectRow(const std::vector<PagerCell>& cells, const std::vector<Expected>& want) {
    ASSERT_EQ(want.size(), cells.size());
    for (size_t i = 0; i < want.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(want[i].value, cells[i].value);
        EXPECT_EQ(want[i].current, cells[i].current);
        EXPECT_EQ(want[i].kind, cells[i].kind);
        EXPECT_EQ((RECT{want[i].left, 520, want[i].left + 26, 546}.left), cells[i].rect.left);
        EXPECT_EQ(want[i].left + 26, cells[i].rect.right);
        EXPECT_EQ(520, cells[i].rect.top);
        EXPECT_EQ(546, cells[i].rect.bottom);
    }
}

// Every row whose cells fit the page is complete: first-page chevron, the
// pages, last-page chevron, ending at x 727.
std::vector<Expected> FullRow(int current, int last) {
    std::vector<Expected> row;
    int x = 675 - 26 * last;
    row.push_back({1, 0, x, PagerCellKind::First});
    for (int n = 1; n <= last; ++n)
        row.push_back({n, n == current ? 1 : 0, x + 26 * n, PagerCellKind::Page});
    row.push_back({last, 0, x + 26 * (last + 1), PagerCellKind::Last});
    return row;
}

TEST(HistoryPager, RowsThatFitThePageAreComplete) {
    ExpectRow(BuildPager(1, 0),
              {{1, 0, 675, PagerCellKind::First}, {0, 0, 701, PagerCellKind::Last}});
    ExpectRow(BuildPager(1, 1), {{1, 0, 649, PagerCellKind::First},
                                 {1, 1, 675, PagerCellKind::Page},
                                 {1, 0, 701, PagerCellKind::Last}});
    ExpectRow(BuildPager(5, 12), FullRow(5, 12));
    EXPECT_EQ(363, BuildPager(5, 12).front().rect.left);
    ExpectRow(BuildPager(26, 26), FullRow(26, 26));
    EXPECT_EQ(-1, BuildPager(26, 26).front().rect.left);
    // A current page outside 1..last marks nothing.
    for (int current : {0, 13, -1, 2147483647})
        ExpectRow(BuildPager(current, 12), FullRow(current, 12));
    // A negative count: no page cells, the two chevrons side by side from
    // x 675 + 26 * -count, in order; those past the page's right edge are
    // not built.
    ExpectRow(BuildPager(-1, -1),
              {{1, 0, 701, PagerCellKind::First}, {-1, 0, 727, PagerCellKind::Last}});
    ExpectRow(BuildPager(1, -2),
              {{1, 0, 727, PagerCellKind::First}, {-2, 0, 753, PagerCellKind::Last}});
    ExpectRow(BuildPager(1, -4), {{1, 0, 779, PagerCellKind::First}});
    EXPECT_TRUE(BuildPager(1, -5).empty());
}

TEST(HistoryPager, AHostilePageCountBuildsOnlyTheCellsThePageShows) {
    const int last = 2147483647;
    std::vector<PagerCell> cells = BuildPager(last, last);
    // Pages last-26 .. last from x -1 to 701, then the last-page chevron.
    ASSERT_EQ(28u, cells.size());
    EXPECT_EQ(last - 26, cells.front().value);
    EXPECT_EQ(-1, cells.front().rect.left);
    EXPECT_EQ(PagerCellKind::Page, cells.front().kind);
    EXPECT_EQ(1, cells[26].current);
    EXPECT_EQ(last, cells[26].value);
    EXPECT_EQ(675, cells[26].rect.left);
    EXPECT_EQ(PagerCellKind::Last, cells.back().kind);
    EXPECT_EQ(last, cells.back().value);
    EXPECT_EQ(701, cells.back().rect.left);
    // The first cell that no longer fits is the first one dropped.
    cells = BuildPager(1, 27);
    ASSERT_EQ(28u, cells.size());
    EXPECT_EQ(1, cells.front().value);
    EXPECT_EQ(PagerCellKind::Page, cells.front().kind);
    // The most negative count puts both chevrons far past the right edge.
    EXPECT_TRUE(BuildPager(1, -2147483647 - 1).empty());
}

TEST(HistoryRows, TextsOfAnAnswer) {
    const std::string name(5000, 'x');
    const std::string body =
        "{\"Status_Code\":1000,\"data\":{\"current_page\":2,\"total\":40,\"data\":["
        "{\"order_no\":\"P1\",\"package_name\":\"年度会员\",\"pay_count\":9.999,\"pay_status\":1,"
        "\"package_id\":103},"
        "{\"order_no\":\"P2\",\"pay_count\":\"12\",\"pay_status\":2},"
        "{\"pay_count\":1e300,\"package_name\":\"" +
        name +
        "\"},"
        "{}]}}";
    OrderListPage page;
    ASSERT_TRUE(ParseOrderList(body.c_str(), page));
    EXPECT_EQ(2, page.currentPage);
    EXPECT_EQ(1, page.lastPage);  // absent
    EXPECT_EQ(40, page.total);
    ASSERT_EQ(4u, page.orders.size());

    HistoryRowTexts paid = MakeHistoryRowTexts(page.orders[0]);
    EXPECT_EQ(L"P1", paid.orderNo);
    EXPECT_EQ(L"年度会员", paid.packageName);
    EXPECT_EQ(L"\uFFE510.00", paid.amount);
    EXPECT_EQ(L"购买成功", paid.status);
    EXPECT_EQ(103, page.orders[0].packageId);

    HistoryRowTexts unpaid = MakeHistoryRowTexts(page.orders[1]);
    EXPECT_EQ(L"\uFFE50.00", unpaid.amount);
    EXPECT_EQ(L"未支付", unpaid.status);

    HistoryRowTexts huge = MakeHistoryRowTexts(page.orders[2]);
    EXPECT_EQ(5000u, huge.packageName.size());
    EXPECT_EQ(1u + 301u + 3u, huge.amount.size());  // ￥, 301 digits, ".00"
    EXPECT_EQ(L"\uFFE51000000000", huge.amount.substr(0, 11));

    HistoryRowTexts empty = MakeHistoryRowTexts(page.orders[3]);
    EXPECT_EQ(L"", empty.orderNo);
    EXPECT_EQ(L"\uFFE50.00", empty.amount);
    EXPECT_EQ(L"未支付", empty.status);
}

TEST(HistoryRows, RefusedAnswersLeaveThePageAsItWas) {
    OrderListPage page;
    page.total = 7;
    for (const char* body : {"", "not json", "{\"status_code\":1001,\"data\":{}}",
                             "{\"status_code\":\"1000\",\"data\":{}}", "{\"status_code\":1000}",
                             "{\"status_code\":1000,\"data\":[]}"}) {
        EXPECT_FALSE(ParseOrderList(body, page)) << body;
    }
    EXPECT_EQ(7, page.total);
    ASSERT_TRUE(
        ParseOrderList("{\"status_code\":1000,\"data\":{\"last_page\":3,\"data\":[]}}", page));
    EXPECT_EQ(0, page.total);
    EXPECT_EQ(3, page.lastPage);
    EXPECT_TRUE(page.orders.empty());

    // Orders sent as the members of an object are rows in member order; a
    // scalar lists none.
    ASSERT_TRUE(
        ParseOrderList("{\"status_code\":1000,\"data\":{\"data\":{"
                       "\"x\":{\"order_no\":\"O1\",\"pay_status\":1},"
                       "\"y\":{\"order_no\":\"O2\"}}}}",
                       page));
    ASSERT_EQ(2u, page.orders.size());
    EXPECT_EQ("O1", page.orders[0].orderNo);
    EXPECT_EQ(1, page.orders[0].payStatus);
    EXPECT_EQ("O2", page.orders[1].orderNo);
    ASSERT_TRUE(ParseOrderList("{\"status_code\":1000,\"data\":{\"data\":\"O3\"}}", page));
    EXPECT_TRUE(page.orders.empty());
}

}  // namespace

TEST(HistoryTableKeys, RowsFollowTheKeysAndComeIntoView) {
    // 12 rows, 10 in view: the keys stop at either end.
    EXPECT_EQ(0, ListKeyRow(-1, 12, 10, VK_DOWN));
    EXPECT_EQ(0, ListKeyRow(-1, 12, 10, VK_UP));
    EXPECT_EQ(4, ListKeyRow(3, 12, 10, VK_DOWN));
    EXPECT_EQ(0, ListKeyRow(0, 12, 10, VK_UP));
    EXPECT_EQ(11, ListKeyRow(11, 12, 10, VK_DOWN));
    EXPECT_EQ(9, ListKeyRow(-1, 12, 10, VK_NEXT));
    EXPECT_EQ(11, ListKeyRow(5, 12, 10, VK_NEXT));
    EXPECT_EQ(1, ListKeyRow(11, 12, 10, VK_PRIOR));
    EXPECT_EQ(0, ListKeyRow(11, 12, 10, VK_HOME));
    EXPECT_EQ(11, ListKeyRow(0, 12, 10, VK_END));
    EXPECT_EQ(-1, ListKeyRow(0, 0, 10, VK_DOWN));
    EXPECT_EQ(-1, ListKeyRow(0, 12, 10, VK_SPACE));
    EXPECT_EQ(2147483646, ListKeyRow(2147483646, 2147483647, 10, VK_NEXT));

    // The page's table: 390 pixels of rows below the header, 36 a row. A row
    // in view leaves the scroll alone; the last row ends at the bottom edge,
    // as the wheel leaves it; back to the first, the table is at the top.
    EXPECT_EQ(0, ListScrollToRow(0, 9, 36, 390));
    EXPECT_EQ(-42, ListScrollToRow(0, 11, 36, 390));
    EXPECT_EQ(-42, ListScrollToRow(-42, 2, 36, 390));
    EXPECT_EQ(-36, ListScrollToRow(-42, 1, 36, 390));
    EXPECT_EQ(0, ListScrollToRow(-42, 0, 36, 390));
    // A row far down never wraps round.
    EXPECT_LT(ListScrollToRow(0, 2147483647, 36, 390), -36);
}
