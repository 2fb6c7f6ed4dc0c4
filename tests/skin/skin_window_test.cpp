// A window that paints through the off-screen frame: its pixels, its hover
// tracking (with synthetic and with real pointer moves) and the absence of
// leaks over thousands of paints.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>

#include "process_stats.h"
#include "skin/drawn_elements.h"
#include "skin_test_window.h"
#include "test_pictures.h"

namespace {

constexpr Gdiplus::ARGB kRed = 0xFFFF0000;
constexpr Gdiplus::ARGB kBlue = 0xFF0000FF;
constexpr Gdiplus::ARGB kGreen = 0xFF00FF00;
constexpr Gdiplus::ARGB kYellow = 0xFFFFFF00;
constexpr int kWidth = 320;
constexpr int kHeight = 120;

LPARAM At(int x, int y) {
    return MAKELPARAM(x, y);
}

POINT Centre(const RECT& r) {
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// Two picture buttons side by side in the title band and one lower down.
class SkinWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Keep the real pointer away from the window unless a test moves it.
        SetCursorPos(700, 700);
    }

    static std::vector<SkinElement> Elements() {
        std::vector<SkinElement> elements(3);
        elements[0].rect = RECT{200, 0, 224, 24};
        elements[0].picture = TwoFramePicture(48, 24, kRed, kBlue);
        elements[1].rect = RECT{230, 0, 254, 24};
        elements[1].picture = TwoFramePicture(48, 24, kGreen, kYellow);
        elements[2].rect = RECT{20, 60, 60, 100};
        elements[2].picture = TwoFramePicture(40, 40, kGreen, kRed);
        return elements;
    }

    static std::uint32_t Pixel(const std::vector<std::uint32_t>& pixels, POINT p) {
        return pixels[static_cast<size_t>(p.y) * kWidth + p.x];
    }

    // The window's pending update region, then validates it.
    static HRGN TakeUpdateRegion(HWND hwnd) {
        HRGN region = CreateRectRgn(0, 0, 0, 0);
        GetUpdateRgn(hwnd, region, FALSE);
        ValidateRect(hwnd, nullptr);
        return region;
    }

    static bool RegionIs(HRGN region, const RECT& a, const RECT* b = nullptr) {
        HRGN expected = CreateRectRgnIndirect(&a);
        if (b) {
            HRGN other = CreateRectRgnIndirect(b);
            CombineRgn(expected, expected, other, RGN_OR);
            DeleteObject(other);
        }
        const bool same = EqualRgn(region, expected) != FALSE;
        DeleteObject(expected);
        DeleteObject(region);
        return same;
    }
};

TEST_F(SkinWindowTest, PaintsTitleBandTextAndTheFrameEachElementSelects) {
    SkinTestWindow window(Elements(), kWidth, kHeight);
    std::vector<std::uint32_t> pixels = window.Capture();
    EXPECT_EQ(Pixel(pixels, {5, 5}), 0x272E48u) << "title band";
    EXPECT_EQ(Pixel(pixels, {300, 110}), 0xFFFFFFu) << "cleared to white";
    const auto& e = window.elements();
    EXPECT_EQ(Pixel(pixels, Centre(e[0].rect)), 0xFF0000u);
    EXPECT_EQ(Pixel(pixels, Centre(e[1].rect)), 0x00FF00u);
    EXPECT_EQ(Pixel(pixels, Centre(e[2].rect)), 0x00FF00u);

    // The caption: light glyph pixels in the band; the body text: dark pixels
    // on white, starting near the left of its box (near alignment).
    int light = 0;
    for (int y = 0; y < 24; ++y) {
        for (int x = 80; x < 200; ++x)
            light += (Pixel(pixels, {x, y}) & 0xFF) > 0xB0;
    }
    EXPECT_GT(light, 20) << "caption not drawn";
    int dark = 0;
    int leftmost = kWidth;
    for (int y = 30; y < 50; ++y) {
        for (int x = 0; x < 210; ++x) {
            if ((Pixel(pixels, {x, y}) & 0xFF) < 0x80) {
                ++dark;
                leftmost = std::min(leftmost, x);
            }
        }
    }
    EXPECT_GT(dark, 20) << "body text not drawn";
    EXPECT_LT(leftmost, 20);

    window.elements().SetHover(window.hwnd(), 0, 1);
    window.elements().SetHover(window.hwnd(), 2, 1);
    pixels = window.Capture();
    EXPECT_EQ(Pixel(pixels, Centre(e[0].rect)), 0x0000FFu);
    EXPECT_EQ(Pixel(pixels, Centre(e[1].rect)), 0x00FF00u);
    EXPECT_EQ(Pixel(pixels, Centre(e[2].rect)), 0xFF0000u);
}

TEST_F(SkinWindowTest, WhatReachesTheScreenIsTheFrame) {
    SkinTestWindow window(Elements(), kWidth, kHeight);
    window.elements().SetHover(window.hwnd(), 1, 1);
    RedrawWindow(window.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    HDC dc = GetDC(window.hwnd());
    const POINT a = Centre(window.elements()[0].rect);
    const POINT b = Centre(window.elements()[1].rect);
    EXPECT_EQ(GetPixel(dc, a.x, a.y), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(dc, b.x, b.y), RGB(255, 255, 0));
    EXPECT_EQ(GetPixel(dc, 5, 5), RGB(0x27, 0x2E, 0x48));
    ReleaseDC(window.hwnd(), dc);
}

TEST_F(SkinWindowTest, MovesRepaintOnlyTheElementsThatChange) {
    SkinTestWindow window(Elements(), kWidth, kHeight);
    HWND hwnd = window.hwnd();
    auto& e = window.elements();
    ValidateRect(hwnd, nullptr);
    EXPECT_EQ(window.elements().trackLeave(), 1);

    SendMessageW(hwnd, WM_MOUSEMOVE, 0, At(210, 10));
    EXPECT_EQ(window.elements().trackLeave(), 0) << "leave notification requested";
    EXPECT_EQ(e[0].hover, 1);
    EXPECT_EQ(e[1].hover, 0);
    EXPECT_TRUE(RegionIs(TakeUpdateRegion(hwnd), e[0].rect));

    SendMessageW(hwnd, WM_MOUSEMOVE, 0, At(212, 12));  // still inside: nothing to repaint
    EXPECT_EQ(GetUpdateRect(hwnd, nullptr, FALSE), FALSE);

    // Straight from the first onto the second: both change in one move.
    SendMessageW(hwnd, WM_MOUSEMOVE, 0, At(230, 0));
    EXPECT_EQ(e[0].hover, 0);
    EXPECT_EQ(e[1].hover, 1);
    EXPECT_TRUE(RegionIs(TakeUpdateRegion(hwnd), e[0].rect, &e[1].rect));

    // Right and bottom edges are outside.
    SendMessageW(hwnd, WM_MOUSEMOVE, 0, At(254, 10));
    EXPECT_EQ(e[1].hover, 0);
    ValidateRect(hwnd, nullptr);

    SendMessageW(hwnd, WM_MOUSEMOVE, 0, At(25, 65));
    ValidateRect(hwnd, nullptr);
    SendMessageW(hwnd, WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(e[2].hover, 0);
    EXPECT_EQ(window.elements().trackLeave(), 1);
    EXPECT_TRUE(RegionIs(TakeUpdateRegion(hwnd), e[2].rect));

    SendMessageW(hwnd, WM_MOUSEMOVE, 0, At(1, 1));
    EXPECT_EQ(window.elements().trackLeave(), 0) << "the next move asks again";
}

TEST_F(SkinWindowTest, ChoicesKeepTheirByteAndHiddenElementsTakeNoMouse) {
    // Element 0 is a choice mark: its byte means "chosen", not "hovered".
    std::vector<SkinElement> elements = Elements();
    elements[0].followsPointer = false;
    elements[0].hover = 1;
    SkinTestWindow window(std::move(elements), kWidth, kHeight);
    HWND hwnd = window.hwnd();
    auto& e = window.elements();
    ValidateRect(hwnd, nullptr);

    SendMessageW(hwnd, WM_MOUSEMOVE, 0, At(240, 10));
    EXPECT_EQ(e[0].hover, 1);
    EXPECT_EQ(e[1].hover, 1);
    EXPECT_TRUE(RegionIs(TakeUpdateRegion(hwnd), e[1].rect));

    SendMessageW(hwnd, WM_MOUSEMOVE, 0, At(205, 10));  // over the mark: no change
    EXPECT_EQ(e[0].hover, 1);
    EXPECT_EQ(e[1].hover, 0);

    SendMessageW(hwnd, WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(e[0].hover, 1);

    // A hidden element is neither hovered, hit nor drawn.
    e.SetShown(hwnd, 2, false);
    SendMessageW(hwnd, WM_MOUSEMOVE, 0, At(40, 80));
    EXPECT_EQ(e[2].hover, 0);
    EXPECT_EQ(e.At(POINT{40, 80}), nullptr);
    std::vector<std::uint32_t> pixels = window.Capture();
    EXPECT_EQ(Pixel(pixels, {40, 80}), 0xFFFFFFu) << "a hidden element was drawn";
}

TEST(SkinHitTest, FirstShownElementInOrderWins) {
    DrawnElements elements;
    for (RECT r : {RECT{0, 0, 10, 10}, RECT{5, 5, 20, 20}}) {
        SkinElement e;
        e.rect = r;
        e.action = 100 + static_cast<int>(elements.size());
        elements.Add(nullptr, std::move(e));
    }
    EXPECT_EQ(elements.ActionAt(POINT{7, 7}), 100);
    EXPECT_EQ(elements.ActionAt(POINT{10, 10}), 101);
    EXPECT_EQ(elements.ActionAt(POINT{20, 5}), -1);
    elements.SetShown(nullptr, 0, false);
    EXPECT_EQ(elements.ActionAt(POINT{7, 7}), 101);
    EXPECT_EQ(DrawnElements().ActionAt(POINT{0, 0}), -1);
}

// The real pointer: moving onto an element hovers it, and leaving the window
// through it clears it once the leave notification arrives.
TEST_F(SkinWindowTest, RealPointerHoversAndLeaving) {
    SkinTestWindow window(Elements(), kWidth, kHeight);
    HWND hwnd = window.hwnd();
    auto& e = window.elements();
    RECT frame;
    GetWindowRect(hwnd, &frame);
    const POINT on = Centre(e[0].rect);

    SetCursorPos(frame.left + on.x, frame.top + on.y);
    ASSERT_TRUE(PumpUntil([&] { return e[0].hover == 1; })) << "no WM_MOUSEMOVE arrived";
    EXPECT_EQ(window.elements().trackLeave(), 0);
    std::vector<std::uint32_t> pixels = window.Capture();
    EXPECT_EQ(Pixel(pixels, on), 0x0000FFu);

    SetCursorPos(frame.left + on.x, frame.top - 50);  // out through the top edge
    ASSERT_TRUE(PumpUntil([&] { return window.elements().trackLeave() == 1; }))
        << "no WM_MOUSELEAVE arrived";
    EXPECT_EQ(e[0].hover, 0);
    pixels = window.Capture();
    EXPECT_EQ(Pixel(pixels, on), 0xFF0000u);

    SetCursorPos(frame.left + 100, frame.top + 60);
    ASSERT_TRUE(PumpUntil([&] { return window.elements().trackLeave() == 0; }))
        << "the next move asks for a new leave notification";
    SetCursorPos(700, 700);
    EXPECT_TRUE(PumpUntil([&] { return window.elements().trackLeave() == 1; }));
}

TEST_F(SkinWindowTest, ThousandsOfRepaintsLeakNothing) {
    SkinTestWindow window(Elements(), kWidth, kHeight);
    HWND hwnd = window.hwnd();
    auto repaint = [&](int i) {
        const size_t index = static_cast<size_t>(i % 3);
        window.elements().SetHover(nullptr, index, window.elements()[index].hover ^ 1);
        RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ERASENOW);
    };
    for (int i = 0; i < 50; ++i)
        repaint(i);  // warm-up: caches of GDI+ and the system

    HANDLE self = GetCurrentProcess();
    const long gdiBefore = LiveGdiObjects();
    const DWORD userBefore = GetGuiResources(self, GR_USEROBJECTS);
    const double bytesBefore = static_cast<double>(HeapBytesInUse());
    const int paintsBefore = window.paints;
    constexpr int kRepaints = 3000;
    int handlesLeft = 0;
    for (int i = 0; i < kRepaints; ++i) {
        repaint(i);
        // The frame's context and bitmap are gone as soon as the paint ends.
        if (GetObjectType(window.lastMemoryDc) != 0 || GetObjectType(window.lastBitmap) != 0) {
            ++handlesLeft;
        }
    }
    const long gdiAfter = LiveGdiObjects();
    const DWORD userAfter = GetGuiResources(self, GR_USEROBJECTS);
    const double bytesAfter = static_cast<double>(HeapBytesInUse());

    EXPECT_EQ(window.paints - paintsBefore, kRepaints) << "every repaint went through the frame";
    EXPECT_NE(window.lastBitmap, nullptr) << "the frame was buffered";
    EXPECT_EQ(handlesLeft, 0);
    EXPECT_LE(gdiAfter, gdiBefore + 2)
        << "GDI objects before " << gdiBefore << ", after " << gdiAfter;
    EXPECT_LE(userAfter, userBefore + 2)
        << "USER objects before " << userBefore << ", after " << userAfter;
    // A leaked font, brush, format or graphics object is tens to hundreds of
    // bytes; 3000 of them show here. (Wine counts no USER objects: 0.)
    const double perPaint = (bytesAfter - bytesBefore) / kRepaints;
    EXPECT_GT(bytesBefore, 0.0) << "heap walking gave nothing";
    EXPECT_LT(perPaint, 16.0) << "the heap grew by " << perPaint << " bytes per paint";
    std::printf(
        "GDI objects %ld -> %ld, USER objects %lu -> %lu, heap in use %.0f -> %.0f bytes"
        " (%+.2f per paint)\n",
        gdiBefore, gdiAfter, userBefore, userAfter, bytesBefore, bytesAfter, perPaint);
}

}  // namespace
