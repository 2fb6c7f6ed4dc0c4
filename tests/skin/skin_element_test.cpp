// The two-frame drawing rule of picture buttons.
#include <gtest/gtest.h>

#include "skin/drawn_elements.h"
#include "skin/focus_border.h"
#include "skin/skin_element.h"
#include "test_pictures.h"

namespace {

constexpr Gdiplus::ARGB kRed = 0xFFFF0000;
constexpr Gdiplus::ARGB kBlue = 0xFF0000FF;
constexpr Gdiplus::ARGB kGreen = 0xFF00FF00;

// Draws `element` onto a white canvas and returns the canvas.
std::unique_ptr<Gdiplus::Bitmap> DrawOnCanvas(const SkinElement& element, int width, int height) {
    std::unique_ptr<Gdiplus::Bitmap> canvas(
        new Gdiplus::Bitmap(width, height, PixelFormat32bppARGB));
    Gdiplus::Graphics g(canvas.get());
    g.Clear(Gdiplus::Color(0xFFFFFFFF));
    DrawSkinElement(g, element);
    return canvas;
}

// Every pixel of `rect` on the canvas has `rgb`; the first mismatch is reported.
::testing::AssertionResult RectIs(Gdiplus::Bitmap& canvas, const RECT& rect, std::uint32_t rgb) {
    for (int y = rect.top; y < rect.bottom; ++y) {
        for (int x = rect.left; x < rect.right; ++x) {
            const std::uint32_t got = PixelOf(canvas, x, y) & 0xFFFFFF;
            if (got != rgb) {
                return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ") is "
                                                     << std::hex << got << ", expected " << rgb;
            }
        }
    }
    return ::testing::AssertionSuccess();
}

TEST(SkinElementDrawing, HoverSelectsTheLeftOrRightHalf) {
    SkinElement element;
    element.rect = RECT{10, 5, 34, 29};
    element.picture = TwoFramePicture(48, 24, kRed, kBlue);

    auto normal = DrawOnCanvas(element, 60, 40);
    EXPECT_TRUE(RectIs(*normal, element.rect, kRed & 0xFFFFFF));
    EXPECT_TRUE(RectIs(*normal, RECT{0, 0, 60, 5}, 0xFFFFFF)) << "drawn outside its rect";
    EXPECT_TRUE(RectIs(*normal, RECT{34, 0, 60, 40}, 0xFFFFFF)) << "drawn outside its rect";

    element.hover = 1;
    auto hovered = DrawOnCanvas(element, 60, 40);
    EXPECT_TRUE(RectIs(*hovered, element.rect, kBlue & 0xFFFFFF));
    EXPECT_TRUE(RectIs(*hovered, RECT{34, 0, 60, 40}, 0xFFFFFF)) << "drawn outside its rect";
}

TEST(SkinElementDrawing, OddWidthPictureUsesTwentyPixelFramesAndNeverItsLastColumn) {
    // 41 columns: 0-19 red, 20-39 blue, 40 green (the column no frame covers).
    SkinElement element;
    element.rect = RECT{0, 0, 20, 12};
    element.picture = TwoFramePicture(41, 12, kRed, kBlue, 40, kGreen);

    auto normal = DrawOnCanvas(element, 30, 12);
    EXPECT_TRUE(RectIs(*normal, element.rect, kRed & 0xFFFFFF));

    element.hover = 1;
    auto hovered = DrawOnCanvas(element, 30, 12);
    EXPECT_TRUE(RectIs(*hovered, element.rect, kBlue & 0xFFFFFF));
    EXPECT_TRUE(RectIs(*hovered, RECT{20, 0, 30, 12}, 0xFFFFFF));
}

TEST(SkinElementDrawing, FrameIsStretchedIntoALargerRect) {
    SkinElement element;
    element.hover = 1;
    element.rect = RECT{0, 0, 48, 48};  // twice a frame's size
    element.picture = TwoFramePicture(48, 24, kRed, kBlue);
    auto canvas = DrawOnCanvas(element, 60, 60);
    // Away from the edges, where resampling may blend in neighbours.
    EXPECT_TRUE(RectIs(*canvas, RECT{2, 2, 46, 46}, kBlue & 0xFFFFFF));
    EXPECT_TRUE(RectIs(*canvas, RECT{48, 0, 60, 60}, 0xFFFFFF));
}

TEST(SkinElementDrawing, MissingPictureDrawsNothing) {
    SkinElement element;
    element.rect = RECT{0, 0, 10, 10};
    auto canvas = DrawOnCanvas(element, 10, 10);
    EXPECT_TRUE(RectIs(*canvas, element.rect, 0xFFFFFF));
}

TEST(SkinElementTable, BuildsElementsInTableOrderWithTheirPictures) {
    static const SkinElementRecord kTable[] = {
        {133, 770, 0, 794, 24}, {134, 740, 0, 764, 24}, {99999, 1, 2, 3, 4},  // no such picture
    };
    std::vector<SkinElement> elements = BuildSkinElements(kTable);
    ASSERT_EQ(elements.size(), 3u);
    EXPECT_EQ(elements[0].rect.left, 770);
    EXPECT_EQ(elements[0].rect.right, 794);
    EXPECT_EQ(elements[1].rect.left, 740);
    EXPECT_EQ(elements[2].rect.bottom, 4);
    for (const SkinElement& e : elements)
        EXPECT_EQ(e.hover, 0);
    ASSERT_NE(elements[0].picture, nullptr);
    ASSERT_NE(elements[1].picture, nullptr);
    EXPECT_EQ(elements[0].picture->GetWidth(), 48u);
    EXPECT_EQ(elements[2].picture, nullptr);
}

}  // namespace

TEST(FocusRing, IsAsThickAsTheSystemBorderAtTheFrameScaleInBlackAndWhite) {
    // On the blue of the official-site tab, at 100 % and at 200 %: one
    // logical pixel in from the element's edge, every row and column of the
    // border showing black and white, nothing beyond it.
    constexpr std::uint32_t kTab = 0x1473E6;
    for (const int dpi : {96, 192}) {
        const int f = dpi / 96;
        const SIZE border = FocusBorderPixels(dpi);
        if (dpi == 192) {
            EXPECT_GE(border.cy, 2);
        }
        Gdiplus::Bitmap canvas(100 * f, 60 * f, PixelFormat32bppARGB);
        Gdiplus::Graphics g(&canvas);
        g.Clear(Gdiplus::Color(0xFF000000 | kTab));
        g.ScaleTransform(static_cast<Gdiplus::REAL>(f), static_cast<Gdiplus::REAL>(f));
        DrawFocusRect(g, DisplayScale(dpi), RECT{10, 10, 90, 50});
        const int left = 11 * f, top = 11 * f, right = 89 * f, bottom = 49 * f;
        auto twoTone = [&](int x0, int y0, int dx, int dy, int n) {
            bool black = false, white = false;
            for (int i = 0; i < n; ++i) {
                const std::uint32_t rgb = PixelOf(canvas, x0 + dx * i, y0 + dy * i) & 0xFFFFFF;
                black = black || rgb == 0;
                white = white || rgb == 0xFFFFFF;
                if (rgb != 0 && rgb != 0xFFFFFF)
                    return false;
            }
            return black && white;
        };
        for (int k = 0; k < border.cy; ++k) {
            EXPECT_TRUE(twoTone(left, top + k, 1, 0, right - left)) << dpi << " top row " << k;
            EXPECT_TRUE(twoTone(left, bottom - 1 - k, 1, 0, right - left)) << dpi << " bottom";
        }
        for (int k = 0; k < border.cx; ++k) {
            EXPECT_TRUE(twoTone(left + k, top, 0, 1, bottom - top)) << dpi << " left column " << k;
            EXPECT_TRUE(twoTone(right - 1 - k, top, 0, 1, bottom - top)) << dpi << " right";
        }
        EXPECT_TRUE(RectIs(canvas, RECT{0, 0, 100 * f, top}, kTab)) << dpi;
        EXPECT_TRUE(RectIs(canvas, RECT{0, 0, left, 60 * f}, kTab)) << dpi;
        EXPECT_TRUE(RectIs(
            canvas, RECT{left + border.cx, top + border.cy, right - border.cx, bottom - border.cy},
            kTab))
            << dpi;
    }
}
