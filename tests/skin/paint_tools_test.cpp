// Text of a paint: the "微软雅黑" family in points and the two string formats.
#include <gtest/gtest.h>

#include <algorithm>

#include "skin/paint_tools.h"
#include "test_pictures.h"

namespace {

struct InkBox {
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1, count = 0;
};

// Where dark pixels lie on a white canvas.
InkBox Ink(Gdiplus::Bitmap& canvas) {
    InkBox box;
    for (int y = 0; y < static_cast<int>(canvas.GetHeight()); ++y) {
        for (int x = 0; x < static_cast<int>(canvas.GetWidth()); ++x) {
            if ((PixelOf(canvas, x, y) & 0xFF) < 0x80) {
                box.left = std::min(box.left, x);
                box.right = std::max(box.right, x);
                box.top = std::min(box.top, y);
                box.bottom = std::max(box.bottom, y);
                ++box.count;
            }
        }
    }
    return box;
}

InkBox DrawInBox(bool centred, const wchar_t* text) {
    Gdiplus::Bitmap canvas(300, 60, PixelFormat32bppARGB);
    {
        Gdiplus::Graphics g(&canvas);
        g.Clear(Gdiplus::Color(0xFFFFFFFF));
        PaintTools tools;
        tools.DrawText(g, text, Gdiplus::RectF(0, 0, 300, 60), tools.Font(10),
                       centred ? tools.CentredFormat() : tools.NearFormat(), 0xFF000000);
    }
    return Ink(canvas);
}

TEST(PaintTools, ChineseTextNearAndCentred) {
    const InkBox nearInk = DrawInBox(false, L"立即激活");
    ASSERT_GT(nearInk.count, 40) << "no text drawn: is \"微软雅黑\" available?";
    EXPECT_LT(nearInk.left, 6);
    // Centred vertically in both formats.
    EXPECT_NEAR((nearInk.top + nearInk.bottom) / 2.0, 30.0, 4.0);

    const InkBox centredInk = DrawInBox(true, L"立即激活");
    EXPECT_NEAR((centredInk.left + centredInk.right) / 2.0, 150.0, 4.0);
    EXPECT_NEAR((centredInk.top + centredInk.bottom) / 2.0, 30.0, 4.0);
    EXPECT_EQ(centredInk.right - centredInk.left, nearInk.right - nearInk.left);
}

TEST(PaintTools, FontsInLogicalPixelsAndSharedWithinAPaint) {
    PaintTools tools;
    Gdiplus::Font& regular = tools.Font(9);
    EXPECT_EQ(regular.GetLastStatus(), Gdiplus::Ok);
    // 9 points at 96 DPI: the frame's transform, not the device, scales it.
    EXPECT_EQ(regular.GetUnit(), Gdiplus::UnitPixel);
    EXPECT_FLOAT_EQ(regular.GetSize(), 12.0f);
    EXPECT_EQ(&tools.Font(9), &regular);
    Gdiplus::Font& bold = tools.Font(9, Gdiplus::FontStyleBold);
    EXPECT_NE(&bold, &regular);
    EXPECT_EQ(bold.GetStyle(), Gdiplus::FontStyleBold);
}

}  // namespace
