// What the combo box puts on the screen: the parent's background with the
// chevron in both directions, the drop list's rows, border and separators,
// and the same frames read back from the real window under Xvfb.
#include <windows.h>
#include <psapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "combo_fixture.h"
#include "dib_canvas.h"
#include "skin/display_scale.h"

namespace {

const RECT kComboRect{20, 30, 306, 55};
constexpr int kWidth = 286;
constexpr int kHeight = 25;

bool Lit(std::uint32_t px) {
    return ((px >> 16) & 0xFF) >= 0x90 && ((px >> 8) & 0xFF) >= 0x90 && (px & 0xFF) >= 0x90;
}

// Light pixels of the chevron around its middle column x = w - 13, in rows
// [top, bottom].
int LitAroundApex(const Capture& c, int top, int bottom) {
    int n = 0;
    for (int y = top; y <= bottom; ++y) {
        for (int x = c.width - 15; x <= c.width - 11; ++x) {
            n += Lit(c.At(x, y));
        }
    }
    return n;
}

int LitIn(const Capture& c, int left, int top, int right, int bottom) {
    int n = 0;
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            n += Lit(c.At(x, y));
        }
    }
    return n;
}

class ComboPaintTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetCursorPos(1200, 1000);
        parent_ = std::make_unique<ComboTestParent>(40, 40, 500, 400);
        ASSERT_TRUE(combo().Create(WS_CHILD | WS_VISIBLE, kComboRect, parent_.get(), 6661));
        FillCombo(combo(), 3);
        combo().SelectInitial();
        PumpPending();
    }
    void TearDown() override {
        parent_.reset();
        PumpPending();
    }
    XCommbox& combo() { return parent_->combo; }
    void Toggle() {
        SendMessageW(combo().m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(kWidth - 10, 12));
    }

    std::unique_ptr<ComboTestParent> parent_;
};

TEST_F(ComboPaintTest, BodyShowsTheParentBackgroundAndAChevronThatFlips) {
    const int c = kHeight / 2;
    Capture closed = CaptureErase(combo().m_hWnd);
    ASSERT_EQ(closed.width, kWidth);
    // The parent's two colours, at the parent's split (body x 80 = parent x 100).
    const int split = ComboTestParent::kSplitX - kComboRect.left;
    EXPECT_EQ(closed.At(split - 1, 2), Rgb(ComboTestParent::kLeftColour));
    EXPECT_EQ(closed.At(split, 2), Rgb(ComboTestParent::kRightColour));
    EXPECT_EQ(closed.At(kWidth - 1, kHeight - 1), Rgb(ComboTestParent::kRightColour));
    EXPECT_EQ(closed.At(kWidth - 30, c), Rgb(ComboTestParent::kRightColour));

    // Pointing down: the apex at the bottom, the arms' ends at the top.
    EXPECT_GE(LitAroundApex(closed, c + 2, c + 4), 3);
    EXPECT_EQ(LitAroundApex(closed, c - 5, c - 2), 0);
    EXPECT_GE(LitIn(closed, kWidth - 21, c - 5, kWidth - 18, c - 2), 1) << "left arm's end";
    EXPECT_GE(LitIn(closed, kWidth - 8, c - 5, kWidth - 5, c - 2), 1) << "right arm's end";
    EXPECT_EQ(LitIn(closed, 0, 0, kWidth - 22, kHeight), 0) << "nothing else is drawn";
    EXPECT_EQ(LitIn(closed, kWidth - 3, 0, kWidth, kHeight), 0);

    Toggle();
    ASSERT_TRUE(combo().dropWnd.IsWindowVisible());
    Capture open = CaptureErase(combo().m_hWnd);
    EXPECT_GE(LitAroundApex(open, c - 4, c - 2), 3);
    EXPECT_EQ(LitAroundApex(open, c + 2, c + 5), 0);
    EXPECT_GE(LitIn(open, kWidth - 21, c + 2, kWidth - 18, c + 5), 1);
    EXPECT_EQ(open.At(split, 2), Rgb(ComboTestParent::kRightColour));

    Toggle();
    Capture again = CaptureErase(combo().m_hWnd);
    EXPECT_EQ(again.pixels, closed.pixels);
}

TEST_F(ComboPaintTest, DropListDrawsRowsBorderAndSeparators) {
    Toggle();
    Capture list = CaptureErase(combo().dropWnd.m_hWnd);
    ASSERT_EQ(list.width, kWidth);
    ASSERT_EQ(list.height, 91);
    constexpr std::uint32_t kLine = 0xE6E6E6;
    constexpr std::uint32_t kWhite = 0xFFFFFF;
    for (int x : {0, kWidth - 1}) {
        EXPECT_EQ(list.At(x, 15), kLine) << "side border at x " << x;
    }
    EXPECT_EQ(list.At(100, 0), kLine) << "top border";
    for (int y : {30, 60, 90}) {
        EXPECT_EQ(list.At(150, y), kLine) << "separator at y " << y;
    }
    EXPECT_EQ(list.At(150, 29), kWhite);
    EXPECT_EQ(list.At(kWidth - 20, 45), kWhite) << "background, hot rows alike";

    // Each row's text: dark pixels starting just right of x 3, inside the row.
    for (int row = 0; row < 3; ++row) {
        int dark = 0;
        int leftmost = kWidth;
        for (int y = row * 30 + 1; y < row * 30 + 30; ++y) {
            for (int x = 1; x < 120; ++x) {
                if ((list.At(x, y) & 0xFF) < 0x80) {
                    ++dark;
                    leftmost = std::min(leftmost, x);
                }
            }
        }
        EXPECT_GT(dark, 20) << "row " << row << " text";
        EXPECT_GE(leftmost, 3);
        EXPECT_LT(leftmost, 12);
    }
}

// The read-only edit asks its colours with WM_CTLCOLORSTATIC: transparent,
// black on white, with the null brush, so its text lies on the parent's
// background. Other codes keep the default brush.
TEST_F(ComboPaintTest, EditTextIsDrawnStraightOntoTheParentBackground) {
    HWND body = combo().m_hWnd;
    HWND edit = combo().edit.m_hWnd;
    HDC dc = CreateCompatibleDC(nullptr);
    SetBkMode(dc, OPAQUE);
    SetTextColor(dc, RGB(1, 2, 3));
    SetBkColor(dc, RGB(4, 5, 6));
    const auto brush = reinterpret_cast<HBRUSH>(SendMessageW(
        body, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(edit)));
    EXPECT_EQ(brush, static_cast<HBRUSH>(GetStockObject(NULL_BRUSH)));
    EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
    EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 0));
    EXPECT_EQ(GetBkColor(dc), RGB(255, 255, 255));
    const auto other = reinterpret_cast<HBRUSH>(SendMessageW(
        body, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(edit)));
    EXPECT_NE(other, static_cast<HBRUSH>(GetStockObject(NULL_BRUSH)));
    DeleteDC(dc);

    // On the screen: the edit shows the parent's colours around dark text.
    RedrawWindow(parent_->m_hWnd, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PumpPending();
    RECT r;
    GetClientRect(edit, &r);
    HDC screen = GetDC(edit);
    const int mid = r.bottom / 2;
    // Edit x 74 is parent x 100, where the right colour starts.
    EXPECT_EQ(GetPixel(screen, r.right - 3, mid), ComboTestParent::kRightColour);
    EXPECT_EQ(GetPixel(screen, 60, 1), ComboTestParent::kLeftColour);
    int dark = 0;
    for (int y = 0; y < r.bottom; ++y) {
        for (int x = 0; x < 60; ++x) {
            const COLORREF c = GetPixel(screen, x, y);
            dark += GetRValue(c) < 0x18 && GetGValue(c) < 0x20 && GetBValue(c) < 0x30;
        }
    }
    ReleaseDC(edit, screen);
    EXPECT_EQ(WindowText(edit), L"套餐0");
    EXPECT_GT(dark, 10) << "the text is drawn in black";
}

// PagefileUsage: the committed private memory (Wine reports PrivateUsage as 0).
size_t PrivateBytes() {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                         sizeof counters);
    return counters.PagefileUsage;
}

// Wine counts no GDI objects (GetGuiResources is 0), so a leaked buffer
// bitmap, DC or GDI+ object is caught as memory growth instead.
TEST_F(ComboPaintTest, RepaintsLeakNothing) {
    Toggle();
    auto repaint = [&] {
        RedrawWindow(combo().m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ERASENOW);
        RedrawWindow(combo().dropWnd.m_hWnd, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_ERASENOW);
    };
    for (int i = 0; i < 50; ++i) {
        repaint();  // warm-up: caches of GDI+ and the system
    }
    const size_t before = PrivateBytes();
    constexpr int kRepaints = 1000;
    for (int i = 0; i < kRepaints; ++i) {
        repaint();
    }
    const double perRepaint =
        (static_cast<double>(PrivateBytes()) - static_cast<double>(before)) / kRepaints;
    EXPECT_LT(perRepaint, 64.0) << "private bytes grew by " << perRepaint << " per repaint";
}

// The real window on the Xvfb screen: the chevron flips on the screen too.
TEST_F(ComboPaintTest, ScreenShowsTheChevronAndTheOpenList) {
    auto screenPixel = [](HWND hwnd, int x, int y) {
        HDC dc = GetDC(hwnd);
        const COLORREF c = GetPixel(dc, x, y);
        ReleaseDC(hwnd, dc);
        return c;
    };
    RedrawWindow(parent_->m_hWnd, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PumpPending();
    HWND body = combo().m_hWnd;
    const int c = kHeight / 2;
    EXPECT_EQ(screenPixel(body, kWidth - 13, c - 4), ComboTestParent::kRightColour);
    bool apexLit = false;
    for (int y = c + 2; y <= c + 4; ++y) {
        apexLit = apexLit || Lit(Rgb(screenPixel(body, kWidth - 13, y)));
    }
    EXPECT_TRUE(apexLit) << "pointing down on the screen";

    Toggle();
    PumpPending();
    RedrawWindow(body, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    EXPECT_EQ(screenPixel(body, kWidth - 13, c + 4), ComboTestParent::kRightColour);
    HWND list = combo().dropWnd.m_hWnd;
    EXPECT_EQ(screenPixel(list, 150, 30), RGB(0xE6, 0xE6, 0xE6));
    EXPECT_EQ(screenPixel(list, kWidth - 20, 45), RGB(255, 255, 255));
}

// At 150 % the body's drawing goes through the scale: the keyboard's ring
// lies wholly inside the 429 x 37 device pixels of a 286 x 25 body, with
// dots on each of its four sides.
TEST(ComboBodyDrawing, FocusRingStaysInsideTheBodyAt150Percent) {
    const DisplayScale scale(144);
    const RECT client{0, 0, kWidth, kHeight};
    const RECT device = scale.ToDevice(client);
    DibCanvas canvas(device.right, device.bottom);
    canvas.Fill(0x808080);
    {
        Gdiplus::Graphics g(canvas.dc);
        g.ScaleTransform(scale.factor(), scale.factor());
        DrawComboBody(g, scale, client, false, true);
        g.Flush(Gdiplus::FlushIntentionSync);
    }
    auto dark = [&](int left, int top, int right, int bottom) {
        int n = 0;
        for (int y = top; y < bottom; ++y) {
            for (int x = left; x < right; ++x)
                n += (canvas.Pixel(x, y) & 0xC0C0C0) == 0;
        }
        return n;
    };
    const int w = canvas.width;
    const int h = canvas.height;
    ASSERT_EQ(37, h);
    EXPECT_GT(dark(0, 0, w - 40, 6), 20) << "top side";
    EXPECT_GT(dark(0, h - 6, w - 40, h), 20) << "bottom side";
    EXPECT_GT(dark(0, 0, 6, h), 5) << "left side";
    EXPECT_GT(dark(w - 6, 0, w, h), 5) << "right side";
}

}  // namespace
