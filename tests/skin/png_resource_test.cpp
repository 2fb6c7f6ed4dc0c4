// The program's PNG resources: every picture of the skin is there with its
// size, and a loaded picture stands on its own.
#include <gtest/gtest.h>

#include <memory>

#include "skin/picture_cache.h"
#include "skin/png_resource.h"
#include "test_pictures.h"

namespace {

struct PictureSize {
    int id;
    UINT width;
    UINT height;
};

const PictureSize kPictures[] = {
    {133, 48, 24},  {134, 48, 24},   {162, 40, 20},   {163, 440, 80},  {164, 128, 24},
    {165, 64, 60},  {166, 128, 24},  {167, 800, 40},  {169, 360, 576}, {171, 96, 24},
    {172, 96, 24},  {173, 800, 576}, {174, 144, 144}, {175, 64, 32},   {176, 96, 24},
    {177, 144, 24}, {179, 360, 576},
};

TEST(PngResource, EveryPictureOfTheSkinLoadsWithItsSize) {
    for (const PictureSize& expected : kPictures) {
        std::unique_ptr<Gdiplus::Image> picture(LoadPngResource(expected.id));
        ASSERT_NE(picture, nullptr) << "picture " << expected.id;
        EXPECT_EQ(picture->GetLastStatus(), Gdiplus::Ok) << "picture " << expected.id;
        EXPECT_EQ(picture->GetWidth(), expected.width) << "picture " << expected.id;
        EXPECT_EQ(picture->GetHeight(), expected.height) << "picture " << expected.id;
    }
}

// Each display scale gets the smallest variant that need not be scaled up
// (the largest where none is that large), at the variant's own size.
TEST(PngResource, EachDisplayScaleGetsItsVariant) {
    const struct {
        UINT dpi;
        UINT halves;  // the variant's scale in halves: 2 = 1x, 3 = 1.5x, 4 = 2x
    } kScales[] = {{72, 2}, {96, 2}, {97, 3}, {120, 3}, {144, 3}, {168, 4}, {192, 4}, {288, 4}};
    for (const auto& scale : kScales) {
        for (const PictureSize& expected : kPictures) {
            std::unique_ptr<Gdiplus::Image> picture(LoadPngResource(expected.id, scale.dpi));
            ASSERT_NE(picture, nullptr) << "picture " << expected.id << " at " << scale.dpi;
            EXPECT_EQ(picture->GetWidth(), expected.width * scale.halves / 2)
                << "picture " << expected.id << " at " << scale.dpi;
            EXPECT_EQ(picture->GetHeight(), expected.height * scale.halves / 2)
                << "picture " << expected.id << " at " << scale.dpi;
        }
    }
    // A scale between variants prefers scaling down, and falls back in order.
    const std::vector<const wchar_t*> at120 = PngVariantTypes(120);
    ASSERT_EQ(at120.size(), 3u);
    EXPECT_STREQ(at120[0], L"PNG150");
    EXPECT_STREQ(at120[1], L"PNG200");
    EXPECT_STREQ(at120[2], L"PNG");
    EXPECT_EQ(LoadPngResource(170, 192), nullptr);
    EXPECT_EQ(LoadPngResource(128, 144), nullptr);
}

TEST(PngResource, MissingIdGivesNull) {
    EXPECT_EQ(LoadPngResource(0), nullptr);
    EXPECT_EQ(LoadPngResource(170), nullptr);
    EXPECT_EQ(LoadPngResource(128), nullptr);  // the icon: same id, other type
    EXPECT_EQ(LoadPngResource(65535), nullptr);
}

// The picture keeps its pixels after the memory it was decoded from is gone:
// drawing it 1:1 gives back exactly its own opaque pixels, and they are not
// all white.
TEST(PngResource, LoadedPictureDrawsItsOwnPixels) {
    for (int id : {173, 163, 175}) {
        std::unique_ptr<Gdiplus::Image> loaded(LoadPngResource(id));
        ASSERT_NE(loaded, nullptr);
        auto* picture = static_cast<Gdiplus::Bitmap*>(loaded.get());
        const INT w = static_cast<INT>(picture->GetWidth());
        const INT h = static_cast<INT>(picture->GetHeight());

        Gdiplus::Bitmap canvas(w, h, PixelFormat32bppARGB);
        {
            Gdiplus::Graphics g(&canvas);
            g.Clear(Gdiplus::Color(0xFFFFFFFF));
            ASSERT_EQ(g.DrawImage(picture, 0, 0, w, h), Gdiplus::Ok);
        }
        int compared = 0;
        int coloured = 0;
        for (INT y = 0; y < h; y += 3) {
            for (INT x = 0; x < w; x += 3) {
                Gdiplus::Color own;
                picture->GetPixel(x, y, &own);
                if (own.GetA() != 255)
                    continue;
                ++compared;
                const std::uint32_t drawn = PixelOf(canvas, x, y) & 0xFFFFFF;
                if (drawn != 0xFFFFFF)
                    ++coloured;
                ASSERT_EQ(drawn, own.GetValue() & 0xFFFFFF)
                    << "picture " << id << " at (" << x << ", " << y << ")";
            }
        }
        EXPECT_GT(compared, 0) << "picture " << id;
        EXPECT_GT(coloured, 0) << "picture " << id;
    }
}

// One decoded copy of a picture however many ask for it, also across scales
// that take the same variant; beyond the pictures in use the cache keeps
// only what fits its bound, and never a picture larger than it.
TEST(PictureCache, DecodesEachVariantOnceAndKeepsOnlyWhatFitsItsBound) {
    PictureCache cache(40 * 1024);
    SkinPicture close = cache.Get(133, 96);
    ASSERT_NE(close, nullptr);
    EXPECT_EQ(close, cache.Get(133, 96));
    EXPECT_EQ(cache.Get(133, 120), cache.Get(133, 144));  // both the 1.5x variant
    EXPECT_EQ(2u, cache.decoded());
    EXPECT_EQ(nullptr, cache.Get(170, 96));

    // A page-sized picture goes with its last holder.
    SkinPicture page = cache.Get(173, 96);
    ASSERT_NE(page, nullptr);
    const std::weak_ptr<Gdiplus::Image> gone = page;
    page.reset();
    EXPECT_TRUE(gone.expired());
    EXPECT_LE(cache.keptBytes(), 40u * 1024);

    // Small ones stay for the next holder, the least recently asked for
    // going first once the bound is reached: 48 x 24 x 4 bytes each.
    close.reset();
    const unsigned decoded = cache.decoded();
    EXPECT_NE(nullptr, cache.Get(133, 96));
    EXPECT_EQ(decoded, cache.decoded());
    for (int id : {134, 171, 172, 176, 164, 166})  // 4.5, 9, 9, 9, 12, 12 KiB
        cache.Get(id, 96);
    EXPECT_LE(cache.keptBytes(), 40u * 1024);
    const unsigned before = cache.decoded();
    cache.Get(166, 96);
    EXPECT_EQ(before, cache.decoded());
    cache.Get(133, 96);
    EXPECT_EQ(before + 1, cache.decoded());
    cache.Clear();
    EXPECT_EQ(0u, cache.keptBytes());
}

}  // namespace

TEST(PngResource, PayPanelsLeaveBlankWhereThePagesShowNothingPrinted) {
    // The panels carry only what the pages name (cards, steps, form labels,
    // the brands' logos): white around the price and the pay methods of the
    // first page, above the form and under the logos of the second.
    struct Blank {
        int id;
        RECT area;  // in the picture's 1x pixels
    };
    const Blank blanks[] = {
        {169, {172, 376, 320, 458}},
        {179, {16, 10, 344, 50}},
        {179, {30, 440, 330, 470}},
    };
    for (const Blank& blank : blanks) {
        for (const int dpi : {96, 144, 192}) {
            std::unique_ptr<Gdiplus::Image> picture(LoadPngResource(blank.id, dpi));
            ASSERT_NE(picture, nullptr);
            Gdiplus::Bitmap canvas(static_cast<INT>(picture->GetWidth()),
                                   static_cast<INT>(picture->GetHeight()), PixelFormat32bppARGB);
            {
                Gdiplus::Graphics g(&canvas);
                g.Clear(Gdiplus::Color(0xFFFFFFFF));
                g.DrawImage(picture.get(), 0, 0, canvas.GetWidth(), canvas.GetHeight());
            }
            int marked = 0;
            for (int y = blank.area.top * dpi / 96; y < blank.area.bottom * dpi / 96; ++y) {
                for (int x = blank.area.left * dpi / 96; x < blank.area.right * dpi / 96; ++x)
                    marked += (PixelOf(canvas, x, y) & 0xFFFFFF) != 0xFFFFFF ? 1 : 0;
            }
            EXPECT_EQ(0, marked) << "picture " << blank.id << " at " << dpi << " DPI";
        }
    }
}
