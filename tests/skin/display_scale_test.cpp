// Logical units and device pixels: layout, hit tests and repaints must agree
// at every scale, and 96 DPI must change nothing.
#include <gtest/gtest.h>

#include "skin/display_scale.h"

namespace {

constexpr int kScales[] = {120, 144, 168, 192, 240};

TEST(DisplayScale, At96EveryMappingIsTheIdentity) {
    const DisplayScale scale(96);
    for (int v : {-7, 0, 1, 24, 599, 800}) {
        EXPECT_EQ(scale.ToDevice(v), v);
        EXPECT_EQ(scale.ToLogical(v), v);
    }
    const RECT r{571, 447, 731, 472};
    const RECT bounds = scale.ToDeviceBounds(r);
    EXPECT_TRUE(EqualRect(&bounds, &r));
    // Out-of-range answers from the system are taken as 96.
    EXPECT_TRUE(DisplayScale(0).identity());
    EXPECT_TRUE(DisplayScale(100000).identity());
}

TEST(DisplayScale, APixelHitsExactlyTheRectangleItIsDrawnIn) {
    for (int dpi : kScales) {
        const DisplayScale scale(dpi);
        for (int left = -3; left < 40; ++left) {
            for (int right = left + 1; right < 44; ++right) {
                const int from = scale.ToDevice(left);
                const int to = scale.ToDevice(right);
                ASSERT_LT(from, to) << dpi << " " << left << ".." << right;
                for (int d = from - 4; d < to + 4; ++d) {
                    const int logical = scale.ToLogical(d);
                    ASSERT_EQ(d >= from && d < to, logical >= left && logical < right)
                        << "dpi " << dpi << " pixel " << d << " rect " << left << ".." << right;
                }
            }
        }
        // Every logical unit owns a pixel, so a point maps back to itself.
        for (int v = -50; v < 900; ++v)
            ASSERT_EQ(scale.ToLogical(scale.ToDevice(v)), v) << dpi << " " << v;
    }
}

TEST(DisplayScale, WindowAndClientSizesFollowTheScale) {
    EXPECT_EQ(DisplayScale(144).ToDevice(800), 1200);
    EXPECT_EQ(DisplayScale(192).ToDevice(600), 1200);
    EXPECT_EQ(DisplayScale(120).ToDevice(576), 720);
    const RECT client{0, 0, 1400, 1050};
    const RECT logical = DisplayScale(168).ToLogical(client);
    EXPECT_EQ(logical.right, 800);
    EXPECT_EQ(logical.bottom, 600);
    // Repaints cover at least what a rectangle's pixels are.
    for (int dpi : kScales) {
        const DisplayScale scale(dpi);
        const RECT r{473, 323, 617, 467};
        const RECT exact = scale.ToDevice(r);
        const RECT bounds = scale.ToDeviceBounds(r);
        RECT both{};
        IntersectRect(&both, &exact, &bounds);
        EXPECT_TRUE(EqualRect(&both, &exact)) << dpi;
        const RECT fromReal = scale.ToDeviceBounds(Gdiplus::RectF(473.0f, 323.0f, 144.0f, 144.0f));
        EXPECT_TRUE(EqualRect(&fromReal, &bounds)) << dpi;
    }
}

TEST(DisplayScale, QrModulesGetWholePixelsWhereTheSquareHasRoom) {
    EXPECT_EQ(WholePixelsPerModule(216, 25), 8);   // 144 logical at 150 %
    EXPECT_EQ(WholePixelsPerModule(288, 29), 9);   // at 200 %
    EXPECT_EQ(WholePixelsPerModule(180, 177), 1);  // the largest code still fits
    EXPECT_EQ(WholePixelsPerModule(144, 177), 0);  // it does not: stretched instead
    EXPECT_EQ(WholePixelsPerModule(144, 0), 0);
}

}  // namespace
