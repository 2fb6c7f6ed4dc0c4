// The payment page against the store simulator: a payment the store has
// confirmed reaches the user even when the user moved on to another order
// at the same moment.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "config/local_config.h"
#include "framework/afxwnd.h"
#include "pages/page_pay2.h"
#include "pages/pay_page_core.h"
#include "store/order_watch.h"
#include "store/orders.h"
#include "store/store_state.h"
#include "tests/store/store_sim_fixture.h"
#include "pump.h"

namespace {

// What is queued, and what handling it posts, is handled.
void Pump() {
    PumpPending();
}

// Waits, without handling it, until a paid report sits in `page`'s queue.
bool WaitForQueuedReport(HWND page, DWORD ms) {
    const DWORD start = GetTickCount();
    MSG msg;
    while (!PeekMessageW(&msg, page, WM_ORDER_PAID, WM_ORDER_PAID, PM_NOREMOVE)) {
        if (GetTickCount() - start > ms)
            return false;
        Sleep(5);
    }
    return true;
}

PackageRecord Package(int id, const std::wstring& name) {
    PackageRecord p;
    p.id = id;
    p.name = name;
    p.price = 9900;
    return p;
}

class PaidReportTest : public StoreSimTest {
protected:
    PaidReportTest() { ownsSimulator_ = false; }

    void SetUp() override {
        StoreSimTest::SetUp();
        localConfig.qrImagePath = localConfig.moduleDir + L"\\tmp.bin";
        storeState.products.assign(1, ProductRecord{});
        storeState.products[0].packages = {Package(101, L"月卡"), Package(102, L"年卡")};
        tag_ = std::to_string(GetTickCount());
        mobileNumber = "137" + tag_.substr(tag_.size() > 8 ? tag_.size() - 8 : 0);
        ASSERT_TRUE(parent_.CreateEx(0, AfxRegisterWndClass(0), L"paid report test",
                                     WS_POPUP | WS_VISIBLE, 0, 0, 800, 600, nullptr, nullptr));
    }
    void TearDown() override {
        StopOrderPolling();
        EXPECT_TRUE(WaitForOrderWatchThreads(5000));
        parent_.DestroyWindow();
        StoreSimTest::TearDown();
    }

    // createOrder of package `packageId` for this test's number answers with
    // order `orderNo`, whose details say `detail`.
    void OrderOf(int packageId, const std::string& orderNo, const std::string& detail) const {
        AnswerFor("createOrder",
                  "package_id=" + std::to_string(packageId) + "&mobile=" + mobileNumber,
                  R"({"status_code":1000,"data":{"order_no":")" + orderNo +
                      R"(","qrcode":"https://pay.example.com/)" + orderNo + R"("}})");
        AnswerFor("orderDetail", "order_no=" + orderNo, detail);
    }

    void AnswerFor(const std::string& request, const std::string& match,
                   const std::string& body) const {
        const std::string fault = R"({"request":")" + request + R"(","match":")" + match +
                                  R"(","kind":"body","count":0,"body":)" + JsonString(body) + "}";
        ASSERT_TRUE(sim_.AddFault(fault)) << fault;
    }

    static std::string JsonString(const std::string& text) {
        std::string quoted = "\"";
        for (char c : text) {
            if (c == '"' || c == '\\')
                quoted += '\\';
            quoted += c;
        }
        return quoted + "\"";
    }

    size_t Polls(const std::string& orderNo) const {
        size_t polls = 0;
        for (const SimLogEntry& e : Requests("orderDetail"))
            polls += e.query == "order_no=" + orderNo ? 1 : 0;
        return polls;
    }

    std::string tag_;
    CWnd parent_;
};

// Order A is paid just as the user chooses another package and orders B:
// A's report is already queued when B's order is made. The page shows A as
// paid, with A's package and link, and B is watched no more.
TEST_F(PaidReportTest, AConfirmedPaymentOutranksTheOrderMadeMeanwhile) {
    const std::string a = "PA-" + tag_, b = "PB-" + tag_;
    OrderOf(101, a,
            R"({"status_code":1000,"data":{"status":1,"link_url":"https://dl.example.com/a"}})");
    OrderOf(102, b, R"({"status_code":1000,"data":{"status":0}})");

    CPagePay2 page;
    ASSERT_TRUE(page.Create(CPagePay2::kTemplateId, &parent_));
    page.MoveWindow(0, 0, 800, 576);
    Pump();  // the selector's first choice: package 101
    page.ShowPackage(1, storeState.products[0].packages[0]);
    Pump();
    ASSERT_EQ(101, page.core.package().id);
    const RECT qr = page.core.qrRect;
    const LPARAM inQr = MAKELPARAM(qr.left + 20, qr.top + 20);

    page.SendMessage(WM_LBUTTONUP, 0, inQr);  // orders A
    ASSERT_EQ(a, storeState.currentOrderNo);
    ASSERT_TRUE(WaitForQueuedReport(page.m_hWnd, 5000));

    // Taken before the report: another package, and a click that orders B.
    ASSERT_TRUE(page.LoadPackage(1));
    page.SendMessage(WM_LBUTTONUP, 0, inQr);
    ASSERT_EQ(b, storeState.currentOrderNo);
    EXPECT_EQ(kPurchaseView, page.core.view);

    Pump();
    EXPECT_EQ(kPaidView, page.core.view);
    EXPECT_EQ("https://dl.example.com/a", page.core.paidLinks.linkUrl);
    EXPECT_EQ(101, page.core.package().id);
    EXPECT_EQ(L"月卡", page.core.package().name);
    EXPECT_FALSE(page.selector.IsWindowVisible());
    EXPECT_FALSE(OrderWatchActive());
    EXPECT_EQ(0u, PaidOrderPosts().Outstanding());

    // B's watch ended: its thread is gone, so every poll of B it made is in
    // the simulator's log already, and nothing queued brings another.
    EXPECT_TRUE(WaitForOrderWatchThreads(5000));
    const size_t polled = Polls(b);
    EXPECT_LE(polled, 1u);
    Pump();
    EXPECT_EQ(0u, PaidOrderPosts().Outstanding());
    EXPECT_FALSE(OrderWatchActive());
    EXPECT_EQ(polled, Polls(b));
    EXPECT_EQ(kPaidView, page.core.view);
    page.DestroyWindow();
}

}  // namespace
