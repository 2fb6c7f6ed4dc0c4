// The payment pages without the store: what a click reaches in each view,
// the price line's pixels, hover repainting only the element under the
// pointer, the paid-order message's record freed on every path, and the
// hidden selector offering screen readers nothing. The
// order itself is driven end to end in tests/e2e/pay_pages_test.py.
#include <windows.h>
#include <gdiplus.h>
#include <oleacc.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <memory>
#include <string>

#include "config/local_config.h"
#include "dib_canvas.h"
#include "framework/afxwnd.h"
#include "pages/blocking_request.h"
#include "pages/page_messages.h"
#include "pages/page_pay1.h"
#include "pages/page_pay2.h"
#include "pages/pay_page_core.h"
#include "pump.h"
#include "skin/ole_session.h"
#include "skin/paint_tools.h"
#include "store/order_watch.h"
#include "store/orders.h"
#include "store/store_state.h"
#include "temp_dir.h"

namespace {

PackageRecord Package(int id, const std::wstring& name) {
    PackageRecord p;
    p.id = id;
    p.name = name;
    p.price = 9900;
    p.sourcePrice = 19900;
    p.title1 = L"标题一";
    p.helpTitle = L"安装指南";
    p.helpLinkUrl = L"https://localhost/help/" + std::to_wstring(id);
    return p;
}

// Pixels of a canvas that are (nearly) the colour `rgb`.
bool Near(DWORD pixel, DWORD rgb, int tolerance = 40) {
    for (int shift : {0, 8, 16}) {
        const int a = static_cast<int>((pixel >> shift) & 0xFF);
        const int b = static_cast<int>((rgb >> shift) & 0xFF);
        if (a - b > tolerance || b - a > tolerance)
            return false;
    }
    return true;
}

constexpr DWORD kOrange = 0xFF9933;
constexpr DWORD kGrey = 0xC6CFD2;
constexpr DWORD kWhite = 0xFFFFFF;

// Two pages under one shown parent, with a catalogue of three packages.
class PayPagesTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        storeState.products.assign(1, ProductRecord{});
        storeState.products[0].shopUrl = "https://localhost/shop/1";
        for (int i = 0; i < 3; ++i)
            storeState.products[0].packages.push_back(
                Package(101 + i, L"套餐" + std::to_wstring(i + 1)));
        dir_ = new TempDir;
        localConfig.qrImagePath = dir_->Join(L"tmp.bin");  // never written: placeholder
        parent_ = new CWnd;
        ASSERT_TRUE(parent_->CreateEx(0, AfxRegisterWndClass(0), L"pages test",
                                      WS_POPUP | WS_VISIBLE, 0, 0, 800, 600, nullptr, nullptr));
    }
    static void TearDownTestSuite() {
        delete parent_;
        delete dir_;
        storeState.products.clear();
    }

    template <class Page>
    void Open(Page& page) {
        ASSERT_TRUE(page.Create(Page::kTemplateId, parent_));
        page.MoveWindow(0, 0, 800, 576);
        page.ShowWindow(SW_SHOW);
        PumpPending();
    }

    // The bounding box of what is waiting to be repainted; empty when nothing.
    static RECT Pending(HWND hwnd) {
        RECT box{};
        GetUpdateRect(hwnd, &box, FALSE);
        ValidateRect(hwnd, nullptr);
        return box;
    }

    static CWnd* parent_;
    static TempDir* dir_;
};

CWnd* PayPagesTest::parent_ = nullptr;
TempDir* PayPagesTest::dir_ = nullptr;

bool Same(const RECT& a, const RECT& b) {
    return EqualRect(&a, &b) != 0;
}

bool Empty(const RECT& r) {
    return IsRectEmpty(&r) != 0;
}

TEST_F(PayPagesTest, ClicksReachOnlyWhatTheViewDraws) {
    CPagePay1 pay1;
    Open(pay1);
    CPagePay2 pay2;
    Open(pay2);
    const POINT copyLink{597, 228}, openLink{530, 228}, copyHelp{597, 277}, openHelp{530, 277};
    const POINT tab{780, 500};

    for (PayPageCore* core : {&pay1.core, &pay2.core}) {
        const POINT qr{core->qrRect.left + 20, core->qrRect.top + 10};
        const RECT alipay = core->elements[kAlipayChoice].rect;
        // The choice's rectangle takes in the logo up to its right edge.
        const POINT alipayLogo{alipay.right - 1, alipay.top + 5};
        const POINT wechat{core->elements[kWeChatChoice].rect.left + 16,
                           core->elements[kWeChatChoice].rect.top + 16};
        auto at = [&](int view, POINT p) {
            core->SetView(view);
            return core->ActionAt(p);
        };
        // Purchase view: the Open and Copy buttons lie unseen over the details.
        EXPECT_EQ(kQrSquareElement, at(kPurchaseView, qr));
        EXPECT_EQ(kAlipayChoice, at(kPurchaseView, alipayLogo));
        EXPECT_EQ(1, core->PayTypeAt(alipayLogo));
        EXPECT_EQ(kWeChatChoice, at(kPurchaseView, wechat));
        EXPECT_EQ(2, core->PayTypeAt(wechat));
        EXPECT_EQ(kOfficialSiteTab, at(kPurchaseView, tab));
        for (POINT p : {copyLink, openLink, copyHelp, openHelp})
            EXPECT_EQ(-1, at(kPurchaseView, p)) << p.x << "," << p.y;
        // Paid view: only its four buttons.
        EXPECT_EQ(kCopyLink, at(kPaidView, copyLink));
        EXPECT_EQ(kOpenLink, at(kPaidView, openLink));
        EXPECT_EQ(kCopyHelp, at(kPaidView, copyHelp));
        EXPECT_EQ(kOpenHelp, at(kPaidView, openHelp));
        for (POINT p : {qr, alipayLogo, wechat, tab})
            EXPECT_EQ(-1, at(kPaidView, p)) << p.x << "," << p.y;
        // A plain white page reacts to nothing.
        for (int view : {0, 3})
            for (POINT p : {qr, alipayLogo, tab, copyLink})
                EXPECT_EQ(-1, at(view, p));
    }
    // The second page's QR square: its upper part orders, below the box not.
    pay2.core.SetView(kPurchaseView);
    EXPECT_EQ(kQrSquareElement, pay2.core.ActionAt(POINT{500, 340}));
    EXPECT_EQ(-1, pay2.core.ActionAt(POINT{500, 500}));
}

// A press made while an order request blocked is dropped with the request's
// queued input; its release, coming later, must not act as a click (it would
// order again). The next whole click counts.
TEST_F(PayPagesTest, AClickPressedWhileARequestBlockedDoesNothing) {
    CPagePay1 page;
    Open(page);
    page.core.SetView(kPurchaseView);
    const int unchecked = page.core.CheckedPayType() == 1 ? kWeChatChoice : kAlipayChoice;
    const RECT& choice = page.core.elements[static_cast<size_t>(unchecked)].rect;
    const LPARAM at = MAKELPARAM(choice.left + 16, choice.top + 16);
    const int before = page.core.CheckedPayType();

    page.PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, at);
    { BlockingRequest wait; }
    page.SendMessage(WM_LBUTTONUP, 0, at);
    EXPECT_EQ(before, page.core.CheckedPayType());

    page.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, at);
    page.SendMessage(WM_LBUTTONUP, 0, at);
    EXPECT_NE(before, page.core.CheckedPayType());
}

TEST_F(PayPagesTest, PricesAndOrderViewsFromAnyNumber) {
    EXPECT_EQ(L"0.00", FormatPrice(0));
    EXPECT_EQ(L"0.05", FormatPrice(5));
    EXPECT_EQ(L"99.00", FormatPrice(9900));
    EXPECT_EQ(L"21474836.47", FormatPrice(INT_MAX));
    EXPECT_EQ(L"-21474836.48", FormatPrice(INT_MIN));
    EXPECT_EQ(kPurchaseView, ViewOfOrder(0));
    EXPECT_EQ(kPaidView, ViewOfOrder(1));
    EXPECT_EQ(0, ViewOfOrder(INT_MAX));  // no overflow into a negative view
}

TEST_F(PayPagesTest, PriceLineOrangePriceThenGreyStruckPrice) {
    DibCanvas canvas(800, 600);
    canvas.Fill(kWhite);
    {
        Gdiplus::Graphics graphics(canvas.dc);
        PaintTools tools;
        DrawPriceLine(graphics, tools, 620, 405, 415, 9900, 19900);
    }
    GdiFlush();
    // The strike line: the longest run of exact grey on row 415.
    int runStart = -1, runLength = 0;
    for (int x = 600, start = -1; x < 800; ++x) {
        if (canvas.Pixel(x, 415) == kGrey) {
            if (start < 0)
                start = x;
            if (x - start + 1 > runLength) {
                runLength = x - start + 1;
                runStart = start;
            }
        } else {
            start = -1;
        }
    }
    ASSERT_GT(runLength, 15) << "no strike line at y 415";
    const int runEnd = runStart + runLength;
    // Orange 13-point price from x 620, ending just before the line begins;
    // the grey 8-point price under the line. Edges blend with the white.
    int orangeLeft = 800, orangeRight = -1, orangeTop = 600, orangeBottom = -1;
    int greyText = 0;
    for (int y = 395; y < 435; ++y) {
        for (int x = 600; x < 800; ++x) {
            const DWORD p = canvas.Pixel(x, y);
            const int r = (p >> 16) & 0xFF, b = p & 0xFF;
            if (r > b + 8) {
                EXPECT_LT(x, runStart) << x << "," << y;
                if (Near(p, kOrange, 30)) {
                    orangeLeft = std::min(orangeLeft, x);
                    orangeRight = std::max(orangeRight, x);
                    orangeTop = std::min(orangeTop, y);
                    orangeBottom = std::max(orangeBottom, y);
                }
            } else if (b > r && y != 415) {
                EXPECT_GE(x, runStart - 4) << x << "," << y;
                EXPECT_LE(x, runEnd + 4) << x << "," << y;
                ++greyText;
            }
        }
    }
    EXPECT_GE(orangeLeft, 620);
    EXPECT_LE(orangeLeft, 626);
    EXPECT_LT(orangeRight, runStart);
    EXPECT_LE(runStart - orangeRight, 10);
    EXPECT_GE(orangeBottom - orangeTop, 11);  // 13 pt digits, not 8 pt ones
    EXPECT_GT(greyText, 20);
    // Nothing outside the two 20-pixel-high boxes.
    for (int x = 0; x < 800; ++x) {
        EXPECT_EQ(kWhite, canvas.Pixel(x, 400)) << x;
        EXPECT_EQ(kWhite, canvas.Pixel(x, 430)) << x;
    }
}

TEST_F(PayPagesTest, HoverRepaintsOnlyTheElementUnderThePointer) {
    CPagePay1 page;
    Open(page);
    PayPageCore& core = page.core;
    core.SetView(kPurchaseView);
    Pending(page.m_hWnd);
    auto move = [&](int x, int y) {
        page.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
        return Pending(page.m_hWnd);
    };
    // The tab reaches one pixel past the page's right edge.
    RECT tab = core.elements[kOfficialSiteTab].rect;
    tab.right = 800;

    EXPECT_TRUE(Same(tab, move(780, 500)));
    EXPECT_EQ(1, core.elements[kOfficialSiteTab].hover);
    // Over the Alipay mark: the tab goes back, the choices never change.
    EXPECT_TRUE(Same(tab, move(626, 475)));
    EXPECT_EQ(0, core.elements[kAlipayChoice].hover);
    EXPECT_EQ(1, core.elements[kWeChatChoice].hover);
    EXPECT_TRUE(Empty(move(626, 511)));
    EXPECT_EQ(1, core.elements[kWeChatChoice].hover);
    // The paid view's buttons are not there in the purchase view.
    EXPECT_TRUE(Empty(move(597, 228)));
    EXPECT_EQ(0, core.elements[kCopyLink].hover);

    core.SetView(kPaidView);
    Pending(page.m_hWnd);
    const RECT copy = core.elements[kCopyLink].rect;
    EXPECT_TRUE(Same(copy, move(597, 228)));
    EXPECT_EQ(1, core.elements[kCopyLink].hover);
    EXPECT_TRUE(Same(copy, move(780, 500)));
    EXPECT_EQ(0, core.elements[kOfficialSiteTab].hover);  // not drawn in this view
    move(597, 228);
    page.SendMessage(WM_MOUSELEAVE);
    EXPECT_TRUE(Same(copy, Pending(page.m_hWnd)));
    EXPECT_EQ(0, core.elements[kCopyLink].hover);
    EXPECT_EQ(1, core.elements[kWeChatChoice].hover);
}

// Long details show exactly the lines the whole text shows (the box centres
// what is laid out, so a cut text would show other lines), at the first paint
// and at the repaints that reuse it.
TEST_F(PayPagesTest, LongDetailsShowWhatTheWholeTextShows) {
    CPagePay1 page;
    Open(page);
    page.core.SetView(kPurchaseView);
    const RECT box{464, 150, 784, 300};
    auto paint = [&](DibCanvas& canvas, const std::wstring& detail) {
        PackageRecord record = page.core.package();
        record.packageDetail = detail;
        page.core.SetPackage(nullptr, record);
        page.SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas.dc));
        GdiFlush();
    };
    std::wstring latin, chinese;
    while (latin.size() < 10000)
        latin += L"Quick brown foxes jump over lazy dogs, line after line. ";
    while (chinese.size() < 10000)
        chinese += L"这是一个很长的套餐说明，用来检查详情框。";
    for (const std::wstring& base : {latin, chinese}) {
        for (size_t length : {size_t{1000}, size_t{10000}}) {
            const std::wstring text = base.substr(0, length);
            // The reference: the box's backdrop with the whole text drawn over it.
            DibCanvas reference(800, 576);
            paint(reference, L"");
            {
                Gdiplus::Graphics g(reference.dc);
                PaintTools tools;
                tools.DrawText(g, text.c_str(), Gdiplus::RectF(464, 150, 320, 150), tools.Font(10),
                               tools.NearFormat(), kTextArgb);
            }
            GdiFlush();
            for (int repaint = 0; repaint < 2; ++repaint) {
                DibCanvas drawn(800, 576);
                paint(drawn, text);
                int differing = 0;
                for (int y = box.top; y < box.bottom; ++y)
                    for (int x = box.left; x < box.right; ++x)
                        differing += drawn.Pixel(x, y) != reference.Pixel(x, y) ? 1 : 0;
                EXPECT_EQ(0, differing) << length << " characters, paint " << repaint;
            }
        }
    }
}

TEST_F(PayPagesTest, AnythingTheStoreSendsPaints) {
    CPagePay1 page;
    Open(page);
    page.core.SetView(kPurchaseView);
    PackageRecord record = page.core.package();
    record.packageDetail.assign(10000, L'长');
    record.title1.assign(10000, L'W');
    record.price = INT_MAX;
    record.sourcePrice = INT_MIN;
    page.core.SetPackage(nullptr, record);
    DibCanvas canvas(800, 576);
    EXPECT_TRUE(page.SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas.dc)));
    GdiFlush();
    int orange = 0;
    for (int y = 405; y < 425; ++y)
        for (int x = 620; x < 720; ++x)
            orange += Near(canvas.Pixel(x, y), kOrange, 30) ? 1 : 0;
    EXPECT_GT(orange, 20);

    // The second page with a product without packages: an empty selector and
    // an empty package priced 0.00.
    std::vector<PackageRecord> saved;
    saved.swap(storeState.products[0].packages);
    CPagePay2 empty;
    Open(empty);
    storeState.products[0].packages.swap(saved);
    EXPECT_EQ(0u, empty.selector.dropWnd.ItemCount());
    EXPECT_EQ(0, empty.core.package().id);
    empty.core.SetView(kPurchaseView);
    DibCanvas canvas2(800, 576);
    EXPECT_TRUE(empty.SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas2.dc)));
    GdiFlush();
    orange = 0;
    for (int y = 119; y < 139; ++y)
        for (int x = 520; x < 620; ++x)
            orange += Near(canvas2.Pixel(x, y), kOrange, 30) ? 1 : 0;
    EXPECT_GT(orange, 10);
}

TEST_F(PayPagesTest, PaidOrderRecordsAreFreedOnEveryPath) {
    CPagePay2 page;
    Open(page);
    page.core.SetView(kPurchaseView);
    ASSERT_EQ(0u, PaidOrderPosts().Outstanding());

    auto links = [](const char* url) {
        auto record = std::make_unique<OrderLinks>();
        record->linkUrl = url;
        return record;
    };
    // A record this process never issued is neither read nor freed.
    OrderLinks forged;
    forged.linkUrl = "https://forged";
    EXPECT_EQ(0, page.SendMessage(WM_ORDER_PAID, 1, reinterpret_cast<LPARAM>(&forged)));
    EXPECT_EQ(0, page.SendMessage(WM_ORDER_PAID, 1, 0));
    EXPECT_EQ(kPurchaseView, page.core.view);
    EXPECT_TRUE(page.selector.IsWindowVisible());
    // The real one, queued; a message of another kind naming its record
    // first leaves it for the real one.
    ASSERT_TRUE(PaidOrderPosts().Post(page.m_hWnd, WM_ORDER_PAID, 1, links("https://a/1")));
    MSG queued{};
    ASSERT_TRUE(PeekMessageW(&queued, page.m_hWnd, WM_ORDER_PAID, WM_ORDER_PAID, PM_NOREMOVE));
    EXPECT_EQ(0, page.SendMessage(WM_ORDER_PAID, 0, queued.lParam));
    EXPECT_EQ(1u, PaidOrderPosts().Outstanding());
    EXPECT_EQ(kPurchaseView, page.core.view);
    // Paid view, links kept, selector hidden.
    PumpPending();
    EXPECT_EQ(kPaidView, page.core.view);
    EXPECT_EQ("https://a/1", page.core.paidLinks.linkUrl);
    EXPECT_FALSE(page.selector.IsWindowVisible());
    EXPECT_EQ(0u, PaidOrderPosts().Outstanding());
    // Still queued when the page goes: freed with it.
    ASSERT_TRUE(PaidOrderPosts().Post(page.m_hWnd, WM_ORDER_PAID, 1, links("https://a/2")));
    page.DestroyWindow();
    EXPECT_EQ(0u, PaidOrderPosts().Outstanding());
    PumpPending();
}

// In the paid view the selector is hidden and its list closed: a screen
// reader finds its rows unseen and without an action, and actions posted to
// the list and to the selector anyway change nothing. Back in the purchase
// view, the opened list's rows choose as a click does, until the page hides.
TEST_F(PayPagesTest, TheHiddenSelectorAndItsListNeverAct) {
    OleSession ole;
    SetCursorPos(5, 590);  // away from where the list opens
    const std::vector<PackageRecord>& packages = storeState.products[0].packages;
    CPagePay2 page;
    Open(page);
    ASSERT_EQ(packages[0].id, page.core.package().id);
    XDropWnd& list = page.selector.dropWnd;
    auto paid = std::make_unique<OrderLinks>();
    paid->linkUrl = "https://paid/1";
    paid->packageId = packages[0].id;
    ASSERT_TRUE(PaidOrderPosts().Post(page.m_hWnd, WM_ORDER_PAID, 1, std::move(paid)));
    PumpPending();
    ASSERT_EQ(kPaidView, page.core.view);
    ASSERT_FALSE(page.selector.IsWindowVisible());

    IAccessible* rows = nullptr;
    ASSERT_EQ(S_OK, AccessibleObjectFromWindow(list.m_hWnd, OBJID_CLIENT, __uuidof(IAccessible),
                                               reinterpret_cast<void**>(&rows)));
    LONG count = 0;
    EXPECT_EQ(S_OK, rows->get_accChildCount(&count));
    EXPECT_EQ(3, count);
    for (LONG id = 1; id <= count; ++id) {
        VARIANT child;
        child.vt = VT_I4;
        child.lVal = id;
        VARIANT state;
        VariantInit(&state);
        EXPECT_EQ(S_OK, rows->get_accState(child, &state));
        EXPECT_NE(0, state.lVal & STATE_SYSTEM_INVISIBLE) << id;
        BSTR action = nullptr;
        EXPECT_EQ(S_FALSE, rows->get_accDefaultAction(child, &action)) << id;
        SysFreeString(action);
        EXPECT_EQ(DISP_E_MEMBERNOTFOUND, rows->accDoDefaultAction(child)) << id;
    }
    rows->Release();
    PostMessage(list.m_hWnd, WM_ACCESSIBLE_ACTION, 2, 0);
    PostMessage(page.selector.m_hWnd, WM_ACCESSIBLE_ACTION, XCommbox::kToggleList, 0);
    PumpPending();
    EXPECT_EQ(packages[0].id, page.core.package().id);
    EXPECT_EQ(0, list.selectedIndex);
    EXPECT_EQ(kPaidView, page.core.view);
    EXPECT_EQ("https://paid/1", page.core.paidLinks.linkUrl);
    EXPECT_FALSE(list.IsWindowVisible());

    page.ShowPackage(kPurchaseView, packages[0]);
    PumpPending();
    ASSERT_TRUE(page.selector.IsWindowVisible());
    PostMessage(page.selector.m_hWnd, WM_ACCESSIBLE_ACTION, XCommbox::kToggleList, 0);
    PumpPending();
    ASSERT_TRUE(list.IsWindowVisible());
    PostMessage(list.m_hWnd, WM_ACCESSIBLE_ACTION, 2, 0);
    PumpPending();
    EXPECT_EQ(packages[2].id, page.core.package().id);
    EXPECT_FALSE(list.IsWindowVisible());
    // A list left open by a page that went is hidden with its selector.
    PostMessage(page.selector.m_hWnd, WM_ACCESSIBLE_ACTION, XCommbox::kToggleList, 0);
    PumpPending();
    ASSERT_TRUE(list.IsWindowVisible());
    page.ShowWindow(SW_HIDE);
    PostMessage(list.m_hWnd, WM_ACCESSIBLE_ACTION, 1, 0);
    PumpPending();
    EXPECT_EQ(packages[2].id, page.core.package().id);
}

}  // namespace
