// Orders against the store simulator: creation, the payment watch with its
// cadence and stop, and the link lookup.
#include <windows.h>

#include <gtest/gtest.h>

#include <cjson/cJSON.h>

#include <process.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "config/local_config.h"
#include "process_stats.h"
#include "store/order_watch.h"
#include "store/orders.h"
#include "store/watch_thread.h"
#include "tests/store/store_sim_fixture.h"

namespace {

// While set, no watch thread can be started.
bool failWatchThreads = false;

}  // namespace

// This test's own thread start, linked in place of the program's.
ScopedHandle BeginWatchThread(unsigned(__stdcall* procedure)(void*), void* argument) {
    if (failWatchThreads)
        return ScopedHandle();
    return ScopedHandle(
        reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, procedure, argument, 0, nullptr)));
}

namespace {

// A message-only window that collects WM_ORDER_PAID.
class PaidReceiver {
public:
    PaidReceiver()
        : hwnd_(CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr,
                                nullptr)) {}
    ~PaidReceiver() {
        PaidOrderPosts().Discard(hwnd_);
        DestroyWindow(hwnd_);
    }
    PaidReceiver(const PaidReceiver&) = delete;
    PaidReceiver& operator=(const PaidReceiver&) = delete;

    HWND hwnd() const { return hwnd_; }

    // Pumps for `ms` (or until the first report); returns the reports this
    // window could redeem, counting the ones it could not in *stale.
    std::vector<std::unique_ptr<OrderLinks>> Collect(DWORD ms, bool untilFirst,
                                                     int* stale = nullptr) {
        std::vector<std::unique_ptr<OrderLinks>> reports;
        DWORD start = GetTickCount();
        do {
            MSG msg;
            while (PeekMessageW(&msg, hwnd_, 0, 0, PM_REMOVE)) {
                if (msg.message != WM_ORDER_PAID)
                    continue;
                auto links = PaidOrderPosts().Redeem(hwnd_, msg.lParam);
                if (links)
                    reports.push_back(std::move(links));
                else if (stale)
                    ++*stale;
            }
            if (untilFirst && !reports.empty())
                break;
            Sleep(5);
        } while (GetTickCount() - start < ms);
        return reports;
    }

private:
    HWND hwnd_;
};

std::string ReadFile(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

bool FileExists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string OrderNoFrom(const std::string& query) {
    size_t at = query.find("order_no=");
    return at == std::string::npos ? "" : query.substr(at + 9);
}

// Runs beside other tests: every fault is aimed at this test's own requests
// (its own mobile numbers and order numbers).
class OrdersTest : public StoreSimTest {
protected:
    OrdersTest() { ownsSimulator_ = false; }

    void SetUp() override {
        tag_ = std::to_string(GetTickCount());
        StoreSimTest::SetUp();
        localConfig.qrImagePath = localConfig.moduleDir + L"\\tmp.bin";
    }
    void TearDown() override {
        StopOrderPolling();
        EXPECT_TRUE(WaitForOrderWatchThreads(5000));
        StoreSimTest::TearDown();
    }

    // A fault for the requests `request` whose query contains `match`.
    void Fault(const char* request, const std::string& match, const char* kind, int count,
               const std::string& body = "", int ms = 0) const {
        std::unique_ptr<cJSON, decltype(&cJSON_Delete)> f(cJSON_CreateObject(), cJSON_Delete);
        cJSON_AddStringToObject(f.get(), "request", request);
        cJSON_AddStringToObject(f.get(), "match", match.c_str());
        cJSON_AddStringToObject(f.get(), "kind", kind);
        cJSON_AddNumberToObject(f.get(), "count", count);
        if (!body.empty())
            cJSON_AddStringToObject(f.get(), "body", body.c_str());
        if (std::string(kind) == "body" && ms > 0)
            cJSON_AddNumberToObject(f.get(), "ms", ms);
        if (std::string(kind) == "hang")
            cJSON_AddNumberToObject(f.get(), "max_ms", ms);
        std::unique_ptr<char, decltype(&cJSON_free)> text(cJSON_PrintUnformatted(f.get()),
                                                          cJSON_free);
        ASSERT_TRUE(sim_.AddFault(text.get())) << text.get();
    }

    // createOrder for `mobile` answers with order `orderNo` (until cleared).
    void OrdersAnswer(const std::string& mobile, const std::string& orderNo) const {
        Fault("createOrder", "mobile=" + mobile, "body", 0,
              R"({"status_code":1000,"data":{"order_no":")" + orderNo +
                  R"(","qrcode":"https://pay.example.com/)" + orderNo + R"("}})");
    }

    std::vector<SimLogEntry> Polls(const std::string& orderNo) const {
        std::vector<SimLogEntry> polls;
        for (SimLogEntry& e : Requests("orderDetail"))
            if (OrderNoFrom(e.query) == orderNo)
                polls.push_back(std::move(e));
        return polls;
    }

    std::string tag_;  // makes this run's order numbers its own
    PaidReceiver receiver_;
};

TEST_F(OrdersTest, OrderIsCreatedWatchedThroughFailuresAndReportedOnce) {
    // Ten unpaid polls (the store unreachable for three of them, answers that
    // only look paid for three more), then paid with keys in other cases.
    const std::string orderNo = "TW-" + tag_;
    const std::string match = "order_no=" + orderNo;
    OrdersAnswer("138%200013", orderNo);
    Fault("orderDetail", match, "drop", 3);
    Fault("orderDetail", match, "body", 1, R"({"status_code":"1000","data":{"status":1}})");
    Fault("orderDetail", match, "body", 1, R"({"status_code":1000,"data":{"status":"1"}})");
    Fault("orderDetail", match, "body", 1, R"({"status_code":1000,"data":{"status":2}})");
    Fault("orderDetail", match, "body", 4, R"({"status_code":1000,"data":{"status":0}})");
    Fault("orderDetail", match, "body", 1,
          R"({"STATUS_CODE":1000,"Data":{"Status":1,"link_url":"https://dl.example.com/a.zip",)"
          R"("code":"C-1"}})");

    // Every value is encoded: a mobile text cannot add a parameter.
    ASSERT_TRUE(CreateOrder(receiver_.hwnd(), 2, 101, "138 0013&pay_type=1"));
    std::vector<SimLogEntry> created;
    for (SimLogEntry& e : Requests("createOrder"))
        if (e.query.find("mobile=138%20") != std::string::npos)
            created.push_back(std::move(e));
    ASSERT_EQ(created.size(), 1u);
    EXPECT_EQ(created[0].query,
              "mac=0a:00:27:00:05:01&type=1&channel=master&pay_type=2&package_id=101&mobile=138%"
              "200013%26pay_type%3D1");
    EXPECT_EQ(storeState.currentOrderNo, orderNo);
    // The code the pages show is the file as written, kept in memory.
    std::string file;
    ASSERT_TRUE(dir_.ReadFile(L"tmp.bin", &file));
    EXPECT_EQ(file,
              std::string(storeState.currentQr.file.begin(), storeState.currentQr.file.end()));
    EXPECT_GT(storeState.currentQr.side, 0);
    EXPECT_TRUE(OrderWatchActive());

    auto reports = receiver_.Collect(40000, true);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0]->linkUrl, "https://dl.example.com/a.zip");
    EXPECT_EQ(reports[0]->code, "C-1");
    EXPECT_EQ(reports[0]->linkFileName, "");  // absent: empty
    EXPECT_TRUE(WaitForOrderWatchThreads(3000)) << "the watch ends after reporting";

    // Nothing more: exactly eleven polls, the first at once, then 2 s apart.
    EXPECT_TRUE(receiver_.Collect(2500, false).empty());
    std::vector<SimLogEntry> polls = Polls(orderNo);
    ASSERT_EQ(polls.size(), 11u);
    EXPECT_LT(polls[0].time - created[0].time, 0.5);
    for (size_t i = 1; i < polls.size(); ++i) {
        double gap = polls[i].time - polls[i - 1].time;
        EXPECT_GE(gap, 1.95) << "poll " << i;
        EXPECT_LT(gap, 3.0) << "poll " << i;
    }
    // Once the store answers again, the watch keeps its connection, and the
    // next order's watch goes on with it.
    for (size_t i = 4; i < polls.size(); ++i)
        EXPECT_EQ(polls[i].conn, polls[3].conn) << "poll " << i;
    const std::string nextNo = "TW2-" + tag_;
    OrdersAnswer("13800000013", nextNo);
    Fault("orderDetail", "order_no=" + nextNo, "body", 1,
          R"({"status_code":1000,"data":{"status":1,"link_url":"https://dl.example.com/b"}})");
    ASSERT_TRUE(CreateOrder(receiver_.hwnd(), 1, 101, "13800000013"));
    ASSERT_EQ(receiver_.Collect(10000, true).size(), 1u);
    std::vector<SimLogEntry> nextPolls = Polls(nextNo);
    ASSERT_EQ(nextPolls.size(), 1u);
    EXPECT_EQ(nextPolls[0].conn, polls.back().conn);
}

TEST_F(OrdersTest, RefusedOrdersLeaveNoFileNoNumberAndNoWatch) {
    const char* refusals[] = {
        R"({"status_code":1001,"message":"手机号码格式错误"})",
        R"({"status_code":1000,"data":{"order_no":"X1","qrcode":""}})",
        R"({"status_code":1000,"data":{"order_no":"X2"}})",
        R"({"status_code":1000,"data":{"order_no":"","qrcode":"https://x/pay/X3"}})",
        R"({"status_code":1000,"data":{"order_no":4,"qrcode":"https://x/pay/X4"}})",
        R"({"status_code":1000})",
        "<html>busy</html>",
    };
    OrdersAnswer("13900000004", "TR-" + tag_);
    for (const char* body : refusals) {
        ASSERT_TRUE(CreateOrder(receiver_.hwnd(), 1, 101, "13900000004"));  // an old watch
        ASSERT_TRUE(FileExists(localConfig.qrImagePath));
        Fault("createOrder", "mobile=13900000003", "body", 1, body);
        EXPECT_FALSE(CreateOrder(receiver_.hwnd(), 1, 101, "13900000003")) << body;
        EXPECT_FALSE(FileExists(localConfig.qrImagePath)) << body;
        EXPECT_TRUE(storeState.currentQr.empty()) << body;
        EXPECT_TRUE(storeState.currentOrderNo.empty()) << body;
        EXPECT_FALSE(OrderWatchActive()) << body;
    }
    // A created order whose watch cannot start is no order: its QR code would
    // take a payment nothing reports.
    ASSERT_TRUE(CreateOrder(receiver_.hwnd(), 1, 101, "13900000004"));
    failWatchThreads = true;
    const std::string unwatched = "TU-" + tag_;
    OrdersAnswer("13900000005", unwatched);
    const bool created = CreateOrder(receiver_.hwnd(), 1, 101, "13900000005");
    failWatchThreads = false;
    EXPECT_FALSE(created);
    EXPECT_FALSE(FileExists(localConfig.qrImagePath));
    EXPECT_TRUE(storeState.currentQr.empty());
    EXPECT_TRUE(storeState.currentOrderNo.empty());
    EXPECT_FALSE(OrderWatchActive());
    EXPECT_TRUE(WaitForOrderWatchThreads(3000));
}

TEST_F(OrdersTest, TemporaryNamesTakenInAdvanceDoNotStopAnOrder) {
    // Every name a process could guess the program would write the QR picture
    // under first: this process's id with a counter, and a fixed suffix.
    for (int n = 0; n < 1000; ++n) {
        wchar_t suffix[48];
        swprintf(suffix, 48, L".%lu-%d.tmp", GetCurrentProcessId(), n);
        ASSERT_TRUE(dir_.WriteFile(L"tmp.bin" + std::wstring(suffix), "taken"));
    }
    for (const wchar_t* suffix : {L".tmp", L".part", L".new", L"~"})
        ASSERT_TRUE(dir_.WriteFile(L"tmp.bin" + std::wstring(suffix), "taken"));
    const std::string orderNo = "TT-" + tag_;
    OrdersAnswer("13900000006", orderNo);
    ASSERT_TRUE(CreateOrder(receiver_.hwnd(), 1, 101, "13900000006"));
    EXPECT_EQ(storeState.currentOrderNo, orderNo);
    std::string picture;
    ASSERT_TRUE(dir_.ReadFile(L"tmp.bin", &picture));
    EXPECT_EQ(picture.substr(0, 2), "BM");
}

// A thousand orders stopped while their watch hangs in a transfer, waits for
// a slow answer, or has just been told the order is paid: only a payment the
// store confirmed is ever reported, every report reaches the page (none is
// taken back), nothing deadlocks, and handles and heap come back to where
// they were.
TEST_F(OrdersTest, StoppedWatchesNeverReportAndLeaveNothingBehind) {
    constexpr int kCycles = 400;
    const std::string paid = R"({"status_code":1000,"data":{"status":1,"link_url":"https://x/y"}})";
    // Four kinds of answer, a quarter of the cycles each, each quarter with an
    // order (and mobile number) of its own: a hanging transfer, a paid answer
    // after a short delay, a paid answer at once with the stop at once, and
    // with the stop a few milliseconds later.
    std::string mobiles[4];
    for (int q = 0; q < 4; ++q) {
        mobiles[q] = "1390000001" + std::to_string(q);
        const std::string orderNo = "TS-" + tag_ + "-" + std::to_string(q);
        OrdersAnswer(mobiles[q], orderNo);
        if (q == 0)
            Fault("orderDetail", "order_no=" + orderNo, "hang", 0, "", 3000);
        else
            Fault("orderDetail", "order_no=" + orderNo, "body", 0, paid, q == 1 ? 2 : 0);
    }
    // Warm-up: caches of the system, the library and the simulator.
    for (int i = 0; i < 20; ++i)
        ASSERT_TRUE(CreateOrder(receiver_.hwnd(), 2, 101, mobiles[2]));
    StopOrderPolling();
    ASSERT_TRUE(WaitForOrderWatchThreads(5000));
    receiver_.Collect(100, false);
    const DWORD handlesBefore = OpenHandleCount();
    const double heapBefore = static_cast<double>(HeapBytesInUse());

    int stale = 0;
    int reported = 0;
    auto collect = [&](DWORD ms) {
        for (const auto& report : receiver_.Collect(ms, false, &stale)) {
            EXPECT_NE(report->packageId, 101) << "the hanging order was never paid";
            EXPECT_EQ(report->linkUrl, "https://x/y");
            ++reported;
        }
    };
    for (int i = 0; i < kCycles; ++i) {
        const int mode = i * 4 / kCycles;
        ASSERT_TRUE(CreateOrder(receiver_.hwnd(), 1 + i % 2, 101 + mode, mobiles[mode]));
        if (mode == 3)
            Sleep(i % 7 * 5);  // lets some watches see the paid answer first
        StopOrderPolling();
        collect(0);
    }
    EXPECT_TRUE(WaitForOrderWatchThreads(10000)) << LiveOrderWatchThreads() << " still running";
    collect(200);
    EXPECT_EQ(stale, 0);
    EXPECT_GT(reported, 0);
    EXPECT_EQ(PaidOrderPosts().Outstanding(), 0u);

    const DWORD handlesAfter = OpenHandleCount();
    EXPECT_LE(handlesAfter, handlesBefore + 5) << handlesBefore << " -> " << handlesAfter;
    const double heapAfter = static_cast<double>(HeapBytesInUse());
    EXPECT_LT(heapAfter - heapBefore, 256 * 1024) << heapBefore << " -> " << heapAfter;
    std::printf("stop cycles: %d payments reported; handles %lu -> %lu; heap %.0f -> %.0f\n",
                reported, handlesBefore, handlesAfter, heapBefore, heapAfter);

    // The transport still works after all those aborted transfers.
    EXPECT_TRUE(CreateOrder(receiver_.hwnd(), 2, 101, "13800138000"));
}

TEST_F(OrdersTest, LookupFillsTheLinksAndKeepsTheAnswer) {
    HistoryOrder order;
    order.orderNo = "H-" + tag_;
    const std::string match = "order_no=" + order.orderNo;
    const std::string body =
        R"({"status_code":1000,"data":{"status":1,"link_url":"https://dl/x.zip",)"
        R"("help_title":"帮助","help_link_url":"https://help/1","code":"Z"}})";
    Fault("orderDetail", match, "body", 1, body);
    ASSERT_TRUE(LookupOrderLinks(order));
    EXPECT_EQ(order.linkUrl, "https://dl/x.zip");
    EXPECT_EQ(order.helpTitle, "帮助");
    EXPECT_EQ(order.helpLinkUrl, "https://help/1");
    EXPECT_EQ(ReadFile(L"c.txt"), body);
    EXPECT_EQ(Polls(order.orderNo).size(), 1u);

    // A failed request keeps the earlier links; an answer without a link
    // empties them and says so.
    Fault("orderDetail", match, "drop", 2);
    EXPECT_TRUE(LookupOrderLinks(order));
    EXPECT_EQ(order.linkUrl, "https://dl/x.zip");
    const std::string noLink = R"({"status_code":1000,"data":{"status":1,"link_url":""}})";
    Fault("orderDetail", match, "body", 1, noLink);
    EXPECT_FALSE(LookupOrderLinks(order));
    EXPECT_EQ(order.helpTitle, "");
    EXPECT_EQ(ReadFile(L"c.txt"), noLink);
}

}  // namespace
