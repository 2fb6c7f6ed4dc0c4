// The main window itself, created against the store simulator: what its
// initialisation builds, hover, the actions of its buttons, the mobile
// number box, history navigation and its painting.
#include <windows.h>
#include <gdiplus.h>
#include <oleacc.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/main_elements.h"
#include "app/parvelle_dlg.h"
#include "config/local_config.h"
#include "dib_canvas.h"
#include "pages/page_messages.h"
#include "resource.h"
#include "store/link_handoff.h"
#include "store/store_state.h"
#include "pump.h"
#include "tests/store/store_sim_fixture.h"

namespace {

std::vector<std::string> g_commandLines;
UINT WINAPI RecordWinExec(LPCSTR commandLine, UINT) {
    g_commandLines.push_back(commandLine);
    return 33;
}

// The message box the action button may show, seen from a timer that runs
// inside the box's own loop and closes it.
struct BoxSeen {
    bool shown = false;
    std::wstring caption;
    std::vector<std::wstring> texts;
    int buttons = 0;
};
BoxSeen g_box;
HWND g_boxOwner = nullptr;

BOOL CALLBACK CollectChild(HWND child, LPARAM) {
    wchar_t cls[64] = {}, text[256] = {};
    GetClassNameW(child, cls, 64);
    GetWindowTextW(child, text, 256);
    if (lstrcmpiW(cls, L"Button") == 0 && IsWindowVisible(child))
        ++g_box.buttons;
    else if (text[0] != 0)
        g_box.texts.push_back(text);
    return TRUE;
}

BOOL CALLBACK FindBox(HWND hwnd, LPARAM) {
    if (GetWindow(hwnd, GW_OWNER) != g_boxOwner || !IsWindowVisible(hwnd))
        return TRUE;
    g_box.shown = true;
    wchar_t caption[256] = {};
    GetWindowTextW(hwnd, caption, 256);
    g_box.caption = caption;
    EnumChildWindows(hwnd, CollectChild, 0);
    PostMessageW(hwnd, WM_COMMAND, IDOK, 0);
    return FALSE;
}

void CALLBACK CloseBoxTimer(HWND, UINT, UINT_PTR id, DWORD) {
    EnumThreadWindows(GetCurrentThreadId(), FindBox, 0);
    if (g_box.shown)
        KillTimer(nullptr, id);
}

class MainWindowTest : public StoreSimTest {
protected:
    void SetUp() override {
        StoreSimTest::SetUp();
        mobileNumber = "unchanged";
        AdapterInfo adapter;
        adapter.type = 6;
        adapter.description = "Intel(R) Ethernet";
        adapter.address = {0x0a, 0x00, 0x27, 0x00, 0x08, 0x01};
        dlg_.startupInputs.moduleDir = dir_.path();
        dlg_.startupInputs.firstArgument = L"";
        dlg_.startupInputs.adapters = std::vector<AdapterInfo>{adapter};
    }
    void TearDown() override {
        dlg_.DestroyWindow();
        StoreSimTest::TearDown();
    }

    void WriteServerIni(const std::wstring& extra) {
        const std::string host = apiHost();
        ASSERT_TRUE(dir_.WriteFile(
            L"server.ini",
            Utf16FileBytes(L"[server]\r\ndomain=" + std::wstring(host.begin(), host.end()) +
                           L"\r\nca_file=" + sim_.CaFileWide() + L"\r\ntitle=主窗口 测试\r\n" +
                           extra)));
    }
    void Start(const std::wstring& extra = L"") {
        WriteServerIni(extra);
        ASSERT_TRUE(dlg_.Create(CparvelleDlg::IDD, nullptr));
        PumpPending();
    }

    LRESULT Press(int x, int y) {
        return dlg_.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    }
    void Move(int x, int y) { dlg_.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(x, y)); }

    // Presses the action button with `text` in the edit; true when the
    // "wrong format" box came up (and was closed).
    bool Activate(const wchar_t* text) {
        dlg_.mobileEdit.SetWindowText(text);
        g_box = BoxSeen();
        g_boxOwner = dlg_.m_hWnd;
        const UINT_PTR timer = SetTimer(nullptr, 0, 50, CloseBoxTimer);
        Press(390, 530);
        KillTimer(nullptr, timer);
        PumpPending();
        return g_box.shown;
    }

    bool Visible(const CWnd& wnd) const { return IsWindowVisible(wnd.m_hWnd) != FALSE; }

    CparvelleDlg dlg_;
};

}  // namespace

TEST_F(MainWindowTest, InitialisationBuildsTheStoreFront) {
    Start(L"type=1\r\npay_type=1\r\n");
    EXPECT_TRUE(Visible(dlg_));
    RECT r{};
    GetClientRect(dlg_.m_hWnd, &r);
    EXPECT_EQ(800, r.right);
    EXPECT_EQ(600, r.bottom);
    wchar_t title[64] = {};
    GetWindowTextW(dlg_.m_hWnd, title, 64);
    EXPECT_STREQ(L"主窗口 测试", title);
    EXPECT_EQ(1, dlg_.storeType);
    EXPECT_EQ(1, dlg_.payTypeIsFirst);
    EXPECT_NE(nullptr, dlg_.bottomStrip);
    EXPECT_EQ(reinterpret_cast<LRESULT>(dlg_.icon), dlg_.SendMessage(WM_GETICON, ICON_BIG, 0));

    // Every button has its picture; where each lies, the presses below find.
    ASSERT_EQ(6u, dlg_.elements.size());
    for (const SkinElement& e : dlg_.elements)
        EXPECT_NE(nullptr, e.picture) << e.action;

    // The selector: the product's packages, the first one chosen and shown.
    const std::vector<PackageRecord>& packages = storeState.products.front().packages;
    ASSERT_EQ(packages.size(), dlg_.selector.dropWnd.ItemCount());
    for (size_t i = 0; i < packages.size(); ++i) {
        EXPECT_EQ(packages[i].name, dlg_.selector.dropWnd.ItemText(i));
        EXPECT_EQ(packages[i].id, dlg_.selector.dropWnd.ItemValue(i));
    }
    EXPECT_EQ(0, dlg_.selector.dropWnd.selectedIndex);
    wchar_t chosen[64] = {};
    GetWindowTextW(dlg_.selector.edit.m_hWnd, chosen, 64);
    EXPECT_EQ(packages[0].name, chosen);
    EXPECT_EQ(CparvelleDlg::kSelectorId, static_cast<UINT>(dlg_.selector.GetDlgCtrlID()));
    RECT sel{};
    GetWindowRect(dlg_.selector.m_hWnd, &sel);
    MapWindowPoints(nullptr, dlg_.m_hWnd, reinterpret_cast<POINT*>(&sel), 2);
    EXPECT_EQ((RECT{150, 444, 436, 469}).left, sel.left);
    EXPECT_EQ(469, sel.bottom);

    // The edit: placed on the bottom strip, at most 15 characters.
    RECT edit{};
    GetWindowRect(dlg_.mobileEdit.m_hWnd, &edit);
    MapWindowPoints(nullptr, dlg_.m_hWnd, reinterpret_cast<POINT*>(&edit), 2);
    EXPECT_EQ(571, edit.left);
    EXPECT_EQ(447, edit.top);
    EXPECT_EQ(160, edit.right - edit.left);
    EXPECT_EQ(25, edit.bottom - edit.top);
    EXPECT_EQ(15u, dlg_.mobileEdit.GetLimitText());
    EXPECT_TRUE(Visible(dlg_.mobileEdit));

    // The pages: hidden, below the title strip, stacked in creation order,
    // each clipped by those above it (a payment page left beneath the
    // history repaints without drawing over it).
    for (CWnd* page : {static_cast<CWnd*>(&dlg_.pagePay1), static_cast<CWnd*>(&dlg_.pageHistory),
                       static_cast<CWnd*>(&dlg_.pagePay2)}) {
        EXPECT_FALSE(Visible(*page));
        EXPECT_NE(0, GetWindowLongPtrW(page->m_hWnd, GWL_STYLE) & WS_CLIPSIBLINGS);
        RECT p{};
        GetWindowRect(page->m_hWnd, &p);
        MapWindowPoints(nullptr, dlg_.m_hWnd, reinterpret_cast<POINT*>(&p), 2);
        EXPECT_EQ(0, p.left);
        EXPECT_EQ(24, p.top);
        EXPECT_EQ(800, p.right);
        EXPECT_EQ(600, p.bottom);
    }
    EXPECT_EQ(dlg_.pageHistory.m_hWnd, GetWindow(dlg_.pagePay1.m_hWnd, GW_HWNDNEXT));
    EXPECT_EQ(dlg_.pagePay2.m_hWnd, GetWindow(dlg_.pageHistory.m_hWnd, GW_HWNDNEXT));
}

TEST_F(MainWindowTest, AMoveToAnotherScaleTakesASanePlaceAndItsArtworkAndAForgedOneNothing) {
    Start(L"type=1\r\npay_type=1\r\n");
    auto widths = [this] {
        return std::vector<UINT>{dlg_.elements[kElementClose].picture->GetWidth(),
                                 dlg_.bottomStrip->GetWidth(),
                                 dlg_.pagePay1.core.elements[kOfficialSiteTab].picture->GetWidth(),
                                 dlg_.pagePay2.core.elements[0].picture->GetWidth(),
                                 dlg_.pageHistory.arrowPicture->GetWidth(),
                                 dlg_.pageHistory.elements[0].picture->GetWidth(),
                                 dlg_.pageHistory.list.buttonPicture->GetWidth()};
    };
    const std::vector<UINT> at96 = widths();
    RECT start{};
    GetWindowRect(dlg_.m_hWnd, &start);
    // The message from anyone else on the desktop, while the system's scale
    // for the window stays 96: nothing moves, no artwork is taken anew, and its
    // rectangle is not even read.
    RECT forged{-32000, -32000, -31990, 5};
    dlg_.SendMessage(WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&forged));
    dlg_.SendMessage(WM_DPICHANGED, MAKEWPARAM(0xFFFF, 0), reinterpret_cast<LPARAM>(&forged));
    dlg_.SendMessage(WM_DPICHANGED, MAKEWPARAM(144, 144), static_cast<LPARAM>(0x10));
    RECT now{};
    GetWindowRect(dlg_.m_hWnd, &now);
    EXPECT_TRUE(EqualRect(&now, &start));
    EXPECT_EQ(at96, widths());

    // The window moves to a 150 % screen, where the system suggests a place
    // (this process's own scale stays 96 under the test, so the children keep
    // their places).
    RECT suggested{40, 30, 40 + 1200, 30 + 900};
    dlg_.ApplyScale(144, &suggested);
    GetWindowRect(dlg_.m_hWnd, &now);
    EXPECT_TRUE(EqualRect(&now, &suggested));
    std::vector<UINT> at144 = widths();
    ASSERT_EQ(at96.size(), at144.size());
    for (size_t i = 0; i < at96.size(); ++i)
        EXPECT_EQ(at96[i] * 3 / 2, at144[i]) << i;
    // The frames are composed anew, with the new pictures.
    EXPECT_TRUE(dlg_.frame.changed());
    EXPECT_TRUE(dlg_.pagePay1.core.frame.changed());
    EXPECT_TRUE(dlg_.pageHistory.frame.changed());
    // A suggestion of the right size on no monitor: the window stays.
    RECT nowhere{-50000, -50000, -50000 + 1200, -50000 + 900};
    dlg_.ApplyScale(144, &nowhere);
    GetWindowRect(dlg_.m_hWnd, &now);
    EXPECT_TRUE(EqualRect(&now, &suggested));
    // And back on a 100 % screen, with a suggestion of the wrong size: the
    // window keeps its corner and takes its own size.
    suggested = RECT{0, 0, 5, 5};
    dlg_.ApplyScale(96, &suggested);
    GetWindowRect(dlg_.m_hWnd, &now);
    const RECT kept{40, 30, 840, 630};
    EXPECT_TRUE(EqualRect(&now, &kept));
    EXPECT_EQ(at96, widths());
    RECT edit{};
    GetWindowRect(dlg_.mobileEdit.m_hWnd, &edit);
    MapWindowPoints(nullptr, dlg_.m_hWnd, reinterpret_cast<POINT*>(&edit), 2);
    EXPECT_EQ(571, edit.left);
    EXPECT_EQ(447, edit.top);
}

TEST_F(MainWindowTest, FailedStartUpEndsTheWindowUnseen) {
    dlg_.startupInputs.adapters = std::vector<AdapterInfo>{};
    WriteServerIni(L"");
    EXPECT_FALSE(dlg_.Create(CparvelleDlg::IDD, nullptr));
    EXPECT_EQ(nullptr, dlg_.m_hWnd);
    EXPECT_TRUE(Requests().empty());
}

TEST_F(MainWindowTest, PointerMovesHoverButtonsAndLeavingClearsThem) {
    Start();
    Move(752, 12);  // minimise
    EXPECT_EQ(1, dlg_.elements[kElementMinimise].hover);
    EXPECT_EQ(0, dlg_.elements.trackLeave());
    Move(782, 12);  // straight onto close
    EXPECT_EQ(0, dlg_.elements[kElementMinimise].hover);
    EXPECT_EQ(1, dlg_.elements[kElementClose].hover);
    Move(390, 530);
    EXPECT_EQ(0, dlg_.elements[kElementClose].hover);
    EXPECT_EQ(1, dlg_.elements[kElementActivate].hover);
    dlg_.SendMessage(WM_MOUSELEAVE);
    for (const SkinElement& e : dlg_.elements)
        EXPECT_EQ(0, e.hover);
    EXPECT_EQ(1, dlg_.elements.trackLeave());
}

TEST_F(MainWindowTest, PaintsTheStoreFrontWithTheHoveredFrame) {
    Start();
    DibCanvas before(800, 600);
    dlg_.SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(before.dc));
    EXPECT_EQ(0x272E48u, before.Pixel(300, 3));
    EXPECT_NE(0xFFFFFFu, before.Pixel(400, 200));  // the product picture
    // Kept once, at its drawn size (800 x 411 drawn 802 wide): as the
    // backdrop's pixels, the stretched copy they came from let go.
    EXPECT_EQ(802, dlg_.productBackdrop.size().cx);
    EXPECT_EQ(412, dlg_.productBackdrop.size().cy);
    EXPECT_EQ(nullptr, dlg_.productPicture.ready());
    Move(782, 12);
    DibCanvas after(800, 600);
    dlg_.SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(after.dc));
    int changed = 0;
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 800; ++x)
            if (before.Pixel(x, y) != after.Pixel(x, y)) {
                ++changed;
                EXPECT_TRUE(x >= 770 && x < 794) << x << "," << y;
            }
    EXPECT_GT(changed, 20);
}

// What `window` shows at its next paint, through its kept frame; a failure
// unless that is exactly what a frame composed afresh shows.
::testing::AssertionResult ShowsAsComposed(HWND window, FrameCache& frame,
                                           std::vector<std::uint32_t>* shown = nullptr) {
    RECT client{};
    GetClientRect(window, &client);
    const std::vector<std::uint32_t> kept = CaptureErasePaint(window, client.right, client.bottom);
    frame.Changed(nullptr);
    const std::vector<std::uint32_t> fresh = CaptureErasePaint(window, client.right, client.bottom);
    if (shown != nullptr)
        *shown = kept;
    size_t stale = 0;
    for (size_t i = 0; i < kept.size() && i < fresh.size(); ++i)
        stale += kept[i] != fresh[i] ? 1 : 0;
    if (stale != 0 || kept.size() != fresh.size())
        return ::testing::AssertionFailure() << stale << " pixels of a stale frame";
    return ::testing::AssertionSuccess();
}

// Pixels that differ between two paints of a `width`-wide window inside `r`.
int Differing(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b, int width,
              const RECT& r) {
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            n += a[static_cast<size_t>(y * width + x)] != b[static_cast<size_t>(y * width + x)];
    return n;
}

std::string OrderPage(int page, int count) {
    std::string orders;
    for (int i = 0; i < count; ++i) {
        orders += std::string(i ? "," : "") + "{\"order_no\":\"P" + std::to_string(page) + "-" +
                  std::to_string(i) +
                  "\",\"package_name\":\"套餐\",\"pay_count\":" + std::to_string(page * 10 + i) +
                  ",\"pay_status\":0}";
    }
    return "{\"status_code\":1000,\"data\":{\"current_page\":" + std::to_string(page) +
           ",\"last_page\":2,\"total\":15,\"data\":[" + orders + "]}}";
}

// Each skinned window keeps its composed frame: a paint that changes nothing
// composes nothing, and every change (a hovered button, a new order's QR
// code, the paid view, another page of the history) shows at the next paint
// exactly as a frame composed afresh shows it.
TEST_F(MainWindowTest, KeptFramesShowEveryChange) {
    Start(L"pay_type=1\r\n");
    std::vector<std::uint32_t> before, after;
    ASSERT_TRUE(ShowsAsComposed(dlg_.m_hWnd, dlg_.frame, &before));
    const unsigned composed = dlg_.frame.composed();
    CaptureErasePaint(dlg_.m_hWnd, 800, 600);
    RedrawWindow(dlg_.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    EXPECT_EQ(composed, dlg_.frame.composed()) << "a repaint of nothing new composed";
    Move(782, 12);
    EXPECT_TRUE(ShowsAsComposed(dlg_.m_hWnd, dlg_.frame, &after));
    EXPECT_LT(20, Differing(before, after, 800, dlg_.elements[kElementClose].rect));

    // The payment page: another order's QR code, then the paid view.
    EXPECT_FALSE(Activate(L"13800138000"));
    CPagePay1& pay = dlg_.pagePay1;
    ASSERT_TRUE(Visible(pay));
    ASSERT_TRUE(ShowsAsComposed(pay.m_hWnd, pay.core.frame, &before));
    pay.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(530, 450));  // the QR square: a new order
    PumpPending();
    EXPECT_TRUE(ShowsAsComposed(pay.m_hWnd, pay.core.frame, &after));
    EXPECT_LT(100, Differing(before, after, 800, pay.core.qrRect));
    auto links = std::make_unique<OrderLinks>();
    links->linkUrl = "https://paid/1";
    links->packageId = pay.core.package().id;
    ASSERT_TRUE(PaidOrderPosts().Post(pay.m_hWnd, WM_ORDER_PAID, 1, std::move(links)));
    PumpPending();
    ASSERT_EQ(kPaidView, pay.core.view);
    EXPECT_TRUE(ShowsAsComposed(pay.m_hWnd, pay.core.frame, &before));
    EXPECT_LT(1000, Differing(before, after, 800, RECT{0, 0, 800, 576}));

    // The history: page 2 after page 1, in the table and in the pager.
    AnswerWith("orderList", OrderPage(1, 12));
    Press(680, 10);
    CPageHistory& history = dlg_.pageHistory;
    ASSERT_TRUE(Visible(history));
    ASSERT_EQ(12, history.list.RowCount());
    std::vector<std::uint32_t> table;
    ASSERT_TRUE(ShowsAsComposed(history.list.m_hWnd, history.list.frame, &table));
    ASSERT_TRUE(ShowsAsComposed(history.m_hWnd, history.frame, &before));
    AnswerWith("orderList", OrderPage(2, 3));
    history.FetchOrderPage(2);
    ASSERT_EQ(3, history.list.RowCount());
    EXPECT_TRUE(ShowsAsComposed(history.m_hWnd, history.frame, &after));
    EXPECT_LT(20, Differing(before, after, 800, RECT{0, 490, 800, 576}));  // the pager
    before = table;
    EXPECT_TRUE(ShowsAsComposed(history.list.m_hWnd, history.list.frame, &table));
    EXPECT_LT(100, Differing(before, table, 654, RECT{0, 36, 654, 426}));

    // Back on the store front, the hidden pages keep no frame, backdrop or
    // page-sized picture; shown again, a page is composed anew.
    EXPECT_EQ(1, dlg_.PostMessage(WM_HISTORY_NAVIGATE, kHistoryNavigateSource, 0));
    PumpPending();
    ASSERT_FALSE(Visible(history));
    EXPECT_TRUE(history.frame.changed());
    EXPECT_TRUE(history.list.frame.changed());
    EXPECT_TRUE(pay.core.frame.changed());
    EXPECT_EQ(nullptr, pay.core.background);
    EXPECT_EQ(nullptr, pay.core.paidBackground);
    EXPECT_FALSE(Activate(L"13800138000"));
    ASSERT_TRUE(Visible(pay));
    EXPECT_TRUE(ShowsAsComposed(pay.m_hWnd, pay.core.frame));
    EXPECT_NE(nullptr, pay.core.background);
}

TEST_F(MainWindowTest, ValidNumberOpensTheChosenPackageOnTheConfiguredPage) {
    Start(L"pay_type=1\r\n");
    dlg_.selector.dropWnd.SelectIndex(2);
    PumpPending();
    EXPECT_FALSE(Activate(L"13800138000"));
    EXPECT_EQ("13800138000", mobileNumber);
    EXPECT_FALSE(Visible(dlg_.mobileEdit));
    EXPECT_FALSE(Visible(dlg_.selector));
    EXPECT_TRUE(Visible(dlg_.pagePay1));
    EXPECT_FALSE(Visible(dlg_.pagePay2));
    EXPECT_EQ(1, dlg_.pagePay1.core.view);
    EXPECT_EQ(storeState.products.front().packages[2].id, dlg_.pagePay1.core.package().id);
}

TEST_F(MainWindowTest, SecondPayTypeUsesTheOtherPage) {
    Start(L"pay_type=2\r\n");
    EXPECT_EQ(0, dlg_.payTypeIsFirst);
    EXPECT_FALSE(Activate(L"19912345678"));
    EXPECT_TRUE(Visible(dlg_.pagePay2));
    EXPECT_FALSE(Visible(dlg_.pagePay1));
    EXPECT_EQ(storeState.products.front().packages[0].id, dlg_.pagePay2.core.package().id);
    // My orders covers the order page, which stays shown beneath it.
    Press(680, 10);
    EXPECT_TRUE(Visible(dlg_.pageHistory));
    EXPECT_TRUE(Visible(dlg_.pagePay2));
}

// A payment the store confirms while the user looks at the history or the
// store front brings its page, in the paid view, to the front.
TEST_F(MainWindowTest, APaymentConfirmedElsewhereBringsItsPageForward) {
    Start(L"pay_type=1\r\n");
    EXPECT_FALSE(Activate(L"19912345678"));
    ASSERT_TRUE(Visible(dlg_.pagePay1));
    auto paid = [&](const char* link) {
        auto links = std::make_unique<OrderLinks>();
        links->linkUrl = link;
        links->packageId = dlg_.pagePay1.core.package().id;
        ASSERT_TRUE(
            PaidOrderPosts().Post(dlg_.pagePay1.m_hWnd, WM_ORDER_PAID, 1, std::move(links)));
        PumpPending();
        PumpPending();
    };
    Press(680, 10);  // My orders, over the page
    ASSERT_TRUE(Visible(dlg_.pageHistory));
    paid("https://paid/1");
    EXPECT_TRUE(Visible(dlg_.pagePay1));
    EXPECT_FALSE(Visible(dlg_.pageHistory));
    EXPECT_FALSE(Visible(dlg_.mobileEdit));
    EXPECT_EQ(kPaidView, dlg_.pagePay1.core.view);

    // Back to the store front through the history, then a confirmation.
    Press(680, 10);
    EXPECT_EQ(1, dlg_.PostMessage(WM_HISTORY_NAVIGATE, kHistoryNavigateSource, 0));
    PumpPending();
    ASSERT_TRUE(Visible(dlg_.mobileEdit));
    paid("https://paid/2");
    EXPECT_TRUE(Visible(dlg_.pagePay1));
    EXPECT_FALSE(Visible(dlg_.mobileEdit));
    EXPECT_FALSE(Visible(dlg_.selector));
    EXPECT_EQ("https://paid/2", dlg_.pagePay1.core.paidLinks.linkUrl);
}

TEST_F(MainWindowTest, WrongNumbersShowTheBoxAndChangeNothing) {
    Start();
    for (const wchar_t* text :
         {L"", L"1380013800", L"23800138000", L"138001380001", L"1380013800a", L"1380013800 "}) {
        EXPECT_TRUE(Activate(text)) << text;
        EXPECT_EQ(L"", g_box.caption);
        EXPECT_EQ(std::vector<std::wstring>{L"手机格式错误！"}, g_box.texts);
        EXPECT_EQ(1, g_box.buttons);
        EXPECT_EQ("unchanged", mobileNumber);
        EXPECT_TRUE(Visible(dlg_.mobileEdit));
        EXPECT_TRUE(Visible(dlg_.selector));
        EXPECT_FALSE(Visible(dlg_.pagePay1));
    }
}

TEST_F(MainWindowTest, ProductWithoutPackagesLeavesTheActionIdle) {
    AnswerWith("getProductList",
               R"({"status_code":1000,"data":[{"id":9,"name":"空目录","packages":[]}]})");
    Start();
    EXPECT_EQ(0u, dlg_.selector.dropWnd.ItemCount());
    EXPECT_EQ(-1, dlg_.selector.dropWnd.selectedIndex);
    EXPECT_FALSE(Activate(L"13800138000"));
    EXPECT_EQ("unchanged", mobileNumber);
    EXPECT_TRUE(Visible(dlg_.mobileEdit));
    EXPECT_FALSE(Visible(dlg_.pagePay1));
    EXPECT_FALSE(Visible(dlg_.pagePay2));
}

TEST_F(MainWindowTest, TitleButtonsOpenLinksAndTheHistory) {
    Start();
    const LinkHandoffCalls saved =
        SetLinkHandoffCalls(LinkHandoffCalls{RecordWinExec, SystemLinkHandoffCalls().shellExecuteW,
                                             SystemLinkHandoffCalls().setClipboardData});
    g_commandLines.clear();
    Press(600, 10);   // customer service
    Press(780, 520);  // official site tab
    Press(580, 10);   // neither a button nor the drag zone
    SetLinkHandoffCalls(saved);
    ASSERT_EQ(2u, g_commandLines.size());
    EXPECT_EQ(ExplorerCommandLine(storeState.customerServiceUrl), g_commandLines[0]);
    EXPECT_EQ(ExplorerCommandLine(storeState.products.front().shopUrl), g_commandLines[1]);
    EXPECT_TRUE(Visible(dlg_.mobileEdit));

    Press(680, 10);  // my orders
    EXPECT_TRUE(Visible(dlg_.pageHistory));
    EXPECT_FALSE(Visible(dlg_.mobileEdit));
    EXPECT_FALSE(Visible(dlg_.selector));
}

TEST_F(MainWindowTest, MinimiseAndCloseButtons) {
    Start();
    Press(752, 12);
    EXPECT_TRUE(IsIconic(dlg_.m_hWnd));
    dlg_.ShowWindow(SW_RESTORE);
    ASSERT_TRUE(Visible(dlg_));
    Press(782, 12);  // slides shut and ends the dialog
    EXPECT_FALSE(Visible(dlg_));
}

TEST_F(MainWindowTest, HistoryNavigationOpensTheOrderOrGoesBack) {
    Start(L"pay_type=1\r\n");
    Press(680, 10);
    ASSERT_TRUE(Visible(dlg_.pageHistory));

    // Each record carries a picture handle of the test's own (holding no
    // picture): its owner count tells how many copies of the record live.
    const PackagePicture marker(static_cast<DeferredPicture*>(nullptr), [](DeferredPicture*) {});

    // Another source, or a pointer this process never posted (any program
    // can post the message): ignored, and never freed.
    auto stray = std::make_unique<PackageRecord>();
    stray->packageImage = marker;
    EXPECT_EQ(1, dlg_.SendMessage(WM_HISTORY_NAVIGATE, 131, reinterpret_cast<LPARAM>(stray.get())));
    EXPECT_EQ(1, dlg_.SendMessage(WM_HISTORY_NAVIGATE, kHistoryNavigateSource,
                                  reinterpret_cast<LPARAM>(stray.get())));
    EXPECT_EQ(2, marker.use_count()) << "the stray record is neither freed nor copied";
    stray.reset();
    EXPECT_TRUE(Visible(dlg_.pageHistory));

    // The posted record: redeemed, its package copied into the page, and
    // freed (the marker's owners: the test and the page's copy).
    auto record = std::make_unique<PackageRecord>(storeState.products.front().packages[1]);
    record->payStatus = 1;
    record->packageImage = marker;
    ASSERT_TRUE(HistoryNavigatePosts().Post(dlg_.m_hWnd, WM_HISTORY_NAVIGATE,
                                            kHistoryNavigateSource, std::move(record)));
    PumpPending();
    EXPECT_EQ(2, marker.use_count());
    EXPECT_EQ(0u, HistoryNavigatePosts().Outstanding());
    EXPECT_FALSE(Visible(dlg_.pageHistory));
    EXPECT_TRUE(Visible(dlg_.pagePay1));
    EXPECT_FALSE(Visible(dlg_.mobileEdit));
    EXPECT_EQ(kPaidView, dlg_.pagePay1.core.view);
    EXPECT_EQ(storeState.products.front().packages[1].name, dlg_.pagePay1.core.package().name);
    EXPECT_EQ(storeState.products.front().packages[1].linkUrl,
              dlg_.pagePay1.core.paidLinks.linkUrl);

    // Back to the store front from the history.
    Press(680, 10);
    EXPECT_FALSE(Visible(dlg_.pagePay1));
    EXPECT_EQ(1, dlg_.PostMessage(WM_HISTORY_NAVIGATE, kHistoryNavigateSource, 0));
    PumpPending();
    EXPECT_FALSE(Visible(dlg_.pageHistory));
    EXPECT_FALSE(Visible(dlg_.pagePay1));
    EXPECT_FALSE(Visible(dlg_.pagePay2));
    EXPECT_TRUE(Visible(dlg_.mobileEdit));
    EXPECT_TRUE(Visible(dlg_.selector));
}

// Every element a view draws has a name for people, and an element the view
// does not draw is out of the mouse's reach.
::testing::AssertionResult NamedAndHiddenUnreachable(const DrawnElements& elements) {
    for (const SkinElement& e : elements) {
        const POINT centre{(e.rect.left + e.rect.right) / 2, (e.rect.top + e.rect.bottom) / 2};
        if (e.shown && e.name.empty())
            return ::testing::AssertionFailure() << "unnamed element, action " << e.action;
        if (!e.shown && elements.At(centre) == &e)
            return ::testing::AssertionFailure() << "hidden element reachable, action " << e.action;
    }
    return ::testing::AssertionSuccess();
}

TEST_F(MainWindowTest, EveryViewNamesWhatItDrawsAndHidesTheRest) {
    Start(L"pay_type=1\r\n");
    EXPECT_TRUE(NamedAndHiddenUnreachable(dlg_.elements));
    Press(680, 10);
    ASSERT_TRUE(Visible(dlg_.pageHistory));
    EXPECT_LT(2u, dlg_.pageHistory.elements.size()) << "the pager's cells are elements";
    EXPECT_TRUE(NamedAndHiddenUnreachable(dlg_.pageHistory.elements));

    PayPageCore& core = dlg_.pagePay1.core;
    for (int payStatus : {1, 0}) {
        auto record = std::make_unique<PackageRecord>(storeState.products.front().packages[0]);
        record->payStatus = payStatus;
        ASSERT_TRUE(HistoryNavigatePosts().Post(dlg_.m_hWnd, WM_HISTORY_NAVIGATE,
                                                kHistoryNavigateSource, std::move(record)));
        PumpPending();
        ASSERT_EQ(payStatus == 1 ? kPaidView : kPurchaseView, core.view);
        EXPECT_TRUE(NamedAndHiddenUnreachable(core.elements)) << "view " << core.view;
        size_t shown = 0;
        for (const SkinElement& e : core.elements)
            shown += e.shown ? 1 : 0;
        EXPECT_EQ(4u, shown) << "view " << core.view;
        Press(680, 10);
    }
}

TEST_F(MainWindowTest, HistoryRecordOpensOnTheSecondPageWhenConfigured) {
    Start(L"pay_type=2\r\n");
    HistoryNavigatePosts().Post(
        dlg_.m_hWnd, WM_HISTORY_NAVIGATE, kHistoryNavigateSource,
        std::make_unique<PackageRecord>(storeState.products.front().packages[3]));
    PumpPending();
    EXPECT_TRUE(Visible(dlg_.pagePay2));
    EXPECT_FALSE(Visible(dlg_.pagePay1));
    EXPECT_EQ(kPurchaseView, dlg_.pagePay2.core.view);
    EXPECT_EQ(storeState.products.front().packages[3].id, dlg_.pagePay2.core.package().id);

    // A copy still queued when the window goes is freed with it.
    HistoryNavigatePosts().Post(dlg_.m_hWnd, WM_HISTORY_NAVIGATE, kHistoryNavigateSource,
                                std::make_unique<PackageRecord>());
    EXPECT_EQ(1u, HistoryNavigatePosts().Outstanding());
    dlg_.DestroyWindow();
    EXPECT_EQ(0u, HistoryNavigatePosts().Outstanding());
}

TEST_F(MainWindowTest, KeyFilterSwallowsEnterAndCancelsOnEscape) {
    Start();
    MSG enter{dlg_.mobileEdit.m_hWnd, WM_KEYDOWN, VK_RETURN, 0, 0, {0, 0}};
    EXPECT_TRUE(dlg_.PreTranslateMessage(&enter));
    EXPECT_TRUE(Visible(dlg_));
    MSG other{dlg_.mobileEdit.m_hWnd, WM_KEYDOWN, 'A', 0, 0, {0, 0}};
    dlg_.PreTranslateMessage(&other);
    EXPECT_TRUE(Visible(dlg_));
    MSG escape{dlg_.mobileEdit.m_hWnd, WM_KEYDOWN, VK_ESCAPE, 0, 0, {0, 0}};
    dlg_.PreTranslateMessage(&escape);
    EXPECT_FALSE(Visible(dlg_));  // a modeless dialog hides on cancel
}

namespace {

// A child of a window's client object as a screen reader reads it: simple
// children by their properties, child objects (windows, table rows) by role.
struct ReadChild {
    std::wstring name;
    LONG role = 0;
    LONG state = 0;
    RECT place{};  // screen coordinates
    bool simple = true;
};

VARIANT ChildId(LONG id) {
    VARIANT v;
    v.vt = VT_I4;
    v.lVal = id;
    return v;
}

// The name of `id` in `object`; empty when it has none.
std::wstring NameOf(IAccessible* object, LONG id) {
    BSTR text = nullptr;
    const HRESULT hr = object->get_accName(ChildId(id), &text);
    std::wstring copy = SUCCEEDED(hr) && text ? std::wstring(text, SysStringLen(text)) : L"";
    SysFreeString(text);
    return copy;
}

struct Accessible {
    IAccessible* object = nullptr;
    Accessible() = default;
    Accessible(const Accessible&) = delete;
    Accessible& operator=(const Accessible&) = delete;
    ~Accessible() {
        if (object)
            object->Release();
    }
};

// The client object of `hwnd`, asked for as any client asks.
void ClientObject(HWND hwnd, Accessible& out) {
    ASSERT_EQ(S_OK, AccessibleObjectFromWindow(hwnd, OBJID_CLIENT, __uuidof(IAccessible),
                                               reinterpret_cast<void**>(&out.object)));
    ASSERT_NE(nullptr, out.object);
}

std::vector<ReadChild> ReadChildren(IAccessible* object) {
    std::vector<ReadChild> children;
    LONG count = 0;
    EXPECT_EQ(S_OK, object->get_accChildCount(&count));
    for (LONG id = 1; id <= count; ++id) {
        ReadChild child;
        IDispatch* inner = nullptr;
        const VARIANT v = ChildId(id);
        if (object->get_accChild(v, &inner) == S_OK && inner != nullptr) {
            child.simple = false;
            IAccessible* acc = nullptr;
            if (SUCCEEDED(
                    inner->QueryInterface(__uuidof(IAccessible), reinterpret_cast<void**>(&acc)))) {
                VARIANT role;
                VariantInit(&role);
                if (acc->get_accRole(ChildId(CHILDID_SELF), &role) == S_OK && role.vt == VT_I4)
                    child.role = role.lVal;
                child.name = NameOf(acc, CHILDID_SELF);
                acc->Release();
            }
            inner->Release();
        } else {
            child.name = NameOf(object, id);
            VARIANT role, state;
            VariantInit(&role);
            VariantInit(&state);
            EXPECT_EQ(S_OK, object->get_accRole(v, &role));
            EXPECT_EQ(S_OK, object->get_accState(v, &state));
            child.role = role.lVal;
            child.state = state.lVal;
            LONG x = 0, y = 0, w = 0, h = 0;
            EXPECT_EQ(S_OK, object->accLocation(&x, &y, &w, &h, v));
            child.place = RECT{x, y, x + w, y + h};
        }
        children.push_back(child);
    }
    return children;
}

// The simple children are exactly the shown elements with the expected
// roles, in order, named as drawn and placed where they are drawn; no hidden
// element is among them. `checked` names the choice that reads as checked.
::testing::AssertionResult ReadsAs(HWND hwnd, const DrawnElements& elements,
                                   const std::vector<LONG>& roles,
                                   const wchar_t* checked = nullptr) {
    Accessible client;
    ClientObject(hwnd, client);
    if (client.object == nullptr)
        return ::testing::AssertionFailure() << "no client object";
    std::vector<ReadChild> simple;
    for (const ReadChild& child : ReadChildren(client.object)) {
        // Texts to read are no elements.
        if (child.simple && child.role != ROLE_SYSTEM_STATICTEXT)
            simple.push_back(child);
    }
    size_t k = 0;
    for (const SkinElement& e : elements) {
        if (!e.shown)
            continue;
        if (k >= simple.size())
            return ::testing::AssertionFailure() << "shown element missing: action " << e.action;
        const ReadChild& c = simple[k];
        RECT place = e.rect;
        MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&place), 2);
        if (c.name != e.name || c.name.empty())
            return ::testing::AssertionFailure()
                   << "child " << k + 1 << " misnamed: " << c.name.size() << " characters";
        if (k >= roles.size() || c.role != roles[k])
            return ::testing::AssertionFailure() << "child " << k + 1 << " role " << c.role;
        if (!EqualRect(&c.place, &place))
            return ::testing::AssertionFailure() << "child " << k + 1 << " misplaced";
        const bool shouldCheck = checked != nullptr && e.name == checked;
        if (((c.state & STATE_SYSTEM_CHECKED) != 0) != shouldCheck)
            return ::testing::AssertionFailure() << "child " << k + 1 << " checked state wrong";
        if ((c.state & STATE_SYSTEM_INVISIBLE) != 0)
            return ::testing::AssertionFailure() << "child " << k + 1 << " reads as invisible";
        if ((c.state & STATE_SYSTEM_FOCUSABLE) == 0)
            return ::testing::AssertionFailure() << "child " << k + 1 << " not focusable";
        ++k;
    }
    if (k != simple.size() || k != roles.size())
        return ::testing::AssertionFailure()
               << simple.size() << " children for " << k << " shown elements";
    return ::testing::AssertionSuccess();
}

// The default action of the simple child named `name`.
HRESULT DoDefault(HWND hwnd, const std::wstring& name) {
    Accessible client;
    ClientObject(hwnd, client);
    if (client.object == nullptr)
        return E_FAIL;
    LONG count = 0;
    client.object->get_accChildCount(&count);
    for (LONG id = 1; id <= count; ++id) {
        if (NameOf(client.object, id) == name)
            return client.object->accDoDefaultAction(ChildId(id));
    }
    return DISP_E_MEMBERNOTFOUND;
}

}  // namespace

// A screen reader reads every view from the windows' client objects: the
// elements it shows, named, placed and in the state drawn, none it hides;
// their default actions do what a click does; an object kept after its
// window is gone answers an error instead of reaching the window.
TEST_F(MainWindowTest, ScreenReadersReadAndActOnEveryView) {
    struct Com {
        Com() { CoInitialize(nullptr); }
        ~Com() { CoUninitialize(); }
    } com;
    Start(L"pay_type=1\r\n");
    const LONG button = ROLE_SYSTEM_PUSHBUTTON, link = ROLE_SYSTEM_LINK,
               radio = ROLE_SYSTEM_RADIOBUTTON;
    EXPECT_TRUE(ReadsAs(dlg_.m_hWnd, dlg_.elements, {button, button, button, link, link, button}));
    // After the elements, the chosen package's name and price as texts.
    auto texts = [](HWND hwnd) {
        Accessible client;
        ClientObject(hwnd, client);
        std::vector<std::wstring> names;
        for (const ReadChild& child : ReadChildren(client.object)) {
            if (child.role == ROLE_SYSTEM_STATICTEXT)
                names.push_back(child.name);
        }
        return names;
    };
    EXPECT_EQ((std::vector<std::wstring>{
                  storeState.products.front().packages[0].name,
                  L"价格：" + FormatPrice(storeState.products.front().packages[0].price)}),
              texts(dlg_.m_hWnd));

    // The keyboard's focus on an element: it alone reads as focused, the
    // client object names it, and screen readers hear of the move.
    static std::vector<LONG> focusEvents;
    focusEvents.clear();
    HWINEVENTHOOK hook = SetWinEventHook(
        EVENT_OBJECT_FOCUS, EVENT_OBJECT_FOCUS, nullptr,
        [](HWINEVENTHOOK, DWORD, HWND, LONG object, LONG child, DWORD, DWORD) {
            if (object == OBJID_CLIENT)
                focusEvents.push_back(child);
        },
        GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    SendMessage(dlg_.m_hWnd, WM_FOCUS_ELEMENT, kElementActivate, 0);
    PumpPending();
    UnhookWinEvent(hook);
    // The system's own event for the window (CHILDID_SELF) comes first.
    ASSERT_FALSE(focusEvents.empty());
    EXPECT_EQ(kElementActivate + 1, focusEvents.back());
    {
        Accessible client;
        ClientObject(dlg_.m_hWnd, client);
        const std::vector<ReadChild> read = ReadChildren(client.object);
        for (size_t i = 0; i < read.size(); ++i)
            EXPECT_EQ(i == kElementActivate, (read[i].state & STATE_SYSTEM_FOCUSED) != 0) << i;
        VARIANT focus;
        VariantInit(&focus);
        EXPECT_EQ(S_OK, client.object->get_accFocus(&focus));
        EXPECT_EQ(VT_I4, focus.vt);
        EXPECT_EQ(kElementActivate + 1, focus.lVal);
    }

    // The package selector reads as a combo box showing its choice; its
    // list's items are the packages, and once its button opened the list,
    // choosing one works as a click.
    const std::vector<PackageRecord>& packages = storeState.products.front().packages;
    ASSERT_LT(2u, packages.size());
    Accessible combo, list;
    ClientObject(dlg_.selector.m_hWnd, combo);
    VARIANT comboRole;
    VariantInit(&comboRole);
    EXPECT_EQ(S_OK, combo.object->get_accRole(ChildId(CHILDID_SELF), &comboRole));
    EXPECT_EQ(ROLE_SYSTEM_COMBOBOX, comboRole.lVal);
    BSTR value = nullptr;
    EXPECT_EQ(S_OK, combo.object->get_accValue(ChildId(CHILDID_SELF), &value));
    EXPECT_EQ(packages[0].name, std::wstring(value ? value : L""));
    SysFreeString(value);
    ClientObject(dlg_.selector.dropWnd.m_hWnd, list);
    const std::vector<ReadChild> items = ReadChildren(list.object);
    ASSERT_EQ(packages.size(), items.size());
    for (size_t i = 0; i < items.size(); ++i) {
        EXPECT_EQ(packages[i].name, items[i].name);
        EXPECT_EQ(ROLE_SYSTEM_LISTITEM, items[i].role);
        EXPECT_EQ(i == 0, (items[i].state & STATE_SYSTEM_SELECTED) != 0);
    }
    EXPECT_EQ(S_OK, combo.object->accDoDefaultAction(ChildId(1)));
    PumpPending();
    ASSERT_TRUE(Visible(dlg_.selector.dropWnd));
    EXPECT_EQ(S_OK, list.object->accDoDefaultAction(ChildId(3)));
    PumpPending();
    EXPECT_EQ(2, dlg_.selector.dropWnd.selectedIndex);
    EXPECT_EQ(packages[2].name, texts(dlg_.m_hWnd).at(0));
    EXPECT_EQ(S_OK, combo.object->get_accValue(ChildId(CHILDID_SELF), &value));
    EXPECT_EQ(packages[2].name, std::wstring(value ? value : L""));
    SysFreeString(value);

    // 立即激活 orders the chosen package, as a click does.
    // The default action runs later, from the window's own queue: an action
    // that shows a message box must not hold the reader's call.
    dlg_.mobileEdit.SetWindowText(L"13800138000");
    EXPECT_EQ(S_OK, DoDefault(dlg_.m_hWnd, L"立即激活"));
    EXPECT_FALSE(Visible(dlg_.pagePay1));
    PumpPending();
    ASSERT_TRUE(Visible(dlg_.pagePay1));
    EXPECT_EQ("13800138000", mobileNumber);
    PayPageCore& core = dlg_.pagePay1.core;
    EXPECT_EQ(kPurchaseView, core.view);
    EXPECT_EQ(packages[2].id, core.package().id);
    // The page covers the store front: only the title strip is left there.
    Accessible front;
    ClientObject(dlg_.m_hWnd, front);
    size_t simple = 0;
    for (const ReadChild& child : ReadChildren(front.object))
        simple += child.simple ? 1 : 0;
    EXPECT_EQ(4u, simple);
    EXPECT_TRUE(texts(dlg_.m_hWnd).empty());

    const HWND page = dlg_.pagePay1.m_hWnd;
    EXPECT_TRUE(
        ReadsAs(page, core.elements, {radio, radio, link, ROLE_SYSTEM_GRAPHIC}, L"微信支付"));
    EXPECT_EQ(S_OK, DoDefault(page, L"支付宝"));
    PumpPending();
    EXPECT_EQ(1, core.CheckedPayType());
    EXPECT_TRUE(ReadsAs(page, core.elements, {radio, radio, link, ROLE_SYSTEM_GRAPHIC}, L"支付宝"));

    // The paid view: Open and Copy of each link, and nothing of the purchase view.
    auto links = std::make_unique<OrderLinks>();
    links->linkUrl = "https://paid/1";
    links->packageId = core.package().id;
    ASSERT_TRUE(PaidOrderPosts().Post(page, WM_ORDER_PAID, 1, std::move(links)));
    PumpPending();
    ASSERT_EQ(kPaidView, core.view);
    EXPECT_TRUE(ReadsAs(page, core.elements, {link, button, link, button}));
    EXPECT_EQ(DISP_E_MEMBERNOTFOUND, DoDefault(page, L"支付宝"));
    // Nor does a posted action of an element the view hides run.
    PostMessage(page, WM_ACCESSIBLE_ACTION, kWeChatChoice, 0);
    PumpPending();
    EXPECT_EQ(1, core.CheckedPayType());
    EXPECT_EQ(kPaidView, core.view);

    // The history with a fetched page: Back, the site, the pager cells, and
    // the table with the orders' texts in its rows.
    Press(680, 10);
    ASSERT_TRUE(Visible(dlg_.pageHistory));
    CPageHistory& history = dlg_.pageHistory;
    ASSERT_LT(2u, history.elements.size());
    std::vector<LONG> roles{button, link};
    roles.resize(history.elements.size(), ROLE_SYSTEM_CELL);
    EXPECT_TRUE(ReadsAs(history.m_hWnd, history.elements, roles));
    // The row buttons are where the last paint put them.
    RedrawWindow(history.list.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    Accessible table;
    ClientObject(history.list.m_hWnd, table);
    VARIANT role;
    VariantInit(&role);
    EXPECT_EQ(S_OK, table.object->get_accRole(ChildId(CHILDID_SELF), &role));
    EXPECT_EQ(ROLE_SYSTEM_TABLE, role.lVal);
    const std::vector<ReadChild> rows = ReadChildren(table.object);
    ASSERT_EQ(static_cast<size_t>(history.list.RowCount()) + 1, rows.size());
    ASSERT_LT(0, history.list.RowCount());
    for (const ReadChild& row : rows) {
        EXPECT_FALSE(row.simple);
        EXPECT_EQ(ROLE_SYSTEM_ROW, row.role);
    }
    IDispatch* firstRow = nullptr;
    ASSERT_EQ(S_OK, table.object->get_accChild(ChildId(2), &firstRow));
    Accessible rowObject;
    ASSERT_TRUE(SUCCEEDED(firstRow->QueryInterface(__uuidof(IAccessible),
                                                   reinterpret_cast<void**>(&rowObject.object))));
    firstRow->Release();
    const std::vector<ReadChild> cells = ReadChildren(rowObject.object);
    ASSERT_EQ(5u, cells.size());
    for (int c = 0; c < 4; ++c) {
        EXPECT_EQ(history.list.rows[0][static_cast<size_t>(c)].text, cells[c].name);
        EXPECT_EQ(ROLE_SYSTEM_CELL, cells[c].role);
    }
    EXPECT_EQ(std::wstring(XListHistory::kButtonName), cells[4].name);
    EXPECT_EQ(button, cells[4].role);

    // Kept past its window: errors, never the freed page.
    Accessible kept;
    ClientObject(page, kept);
    dlg_.DestroyWindow();
    LONG count = 0;
    EXPECT_EQ(CO_E_OBJNOTCONNECTED, kept.object->get_accChildCount(&count));
    EXPECT_EQ(CO_E_OBJNOTCONNECTED, kept.object->accDoDefaultAction(ChildId(1)));
    EXPECT_EQ(CO_E_OBJNOTCONNECTED, rowObject.object->get_accChildCount(&count));
}
