// The store front's drawing order and places, with a catalogue of plain
// colours painted onto an 800 x 600 canvas.
#include <gtest/gtest.h>

#include <cstdlib>
#include <utility>

#include "app/main_elements.h"
#include "app/store_front_paint.h"
#include "test_pictures.h"

namespace {

constexpr Gdiplus::ARGB kWhite = 0xFFFFFFFF;
constexpr Gdiplus::ARGB kStrip = 0xFF272E48;
constexpr Gdiplus::ARGB kLogo = 0xFFE02020;
constexpr Gdiplus::ARGB kProduct = 0xFF2040E0;
constexpr Gdiplus::ARGB kBottom = 0xFF20C040;
constexpr Gdiplus::ARGB kNormal = 0xFFF0D000;
constexpr Gdiplus::ARGB kHovered = 0xFFC000C0;

// The fixture keeps its pictures; the record only points at them.
StorePicture Borrowed(Gdiplus::Image* picture) {
    return StorePicture(picture, [](Gdiplus::Image*) {});
}

class StoreFrontPaintTest : public ::testing::Test {
protected:
    void SetUp() override {
        logo_ = SolidPicture(48, 48, kLogo);
        strip_ = SolidPicture(800, 40, kBottom);
        for (const SkinElementRecord& r : kMainElementRecords) {
            SkinElement e;
            e.rect = RECT{r.left, r.top, r.right, r.bottom};
            e.picture =
                TwoFramePicture(2 * (r.right - r.left), r.bottom - r.top, kNormal, kHovered);
            elements_.Add(nullptr, std::move(e));
        }
        product_.logoImage = Borrowed(logo_.get());
        content_.product = &product_;
        content_.productName = L"光影创意设计套件";
        content_.bottomStrip = strip_.get();
        content_.elements = &elements_;
    }

    void Paint() {
        canvas_ = std::make_unique<Gdiplus::Bitmap>(800, 600, PixelFormat32bppARGB);
        Gdiplus::Graphics g(canvas_.get());
        g.Clear(Gdiplus::Color(kWhite));
        PaintTools tools;
        PaintStoreFront(g, tools, DisplayScale(), 800, content_);
    }
    Gdiplus::ARGB At(int x, int y) { return PixelOf(*canvas_, x, y); }

    int NamePixels() {
        int n = 0;
        for (int y = 0; y < 24; ++y)
            for (int x = 80; x < 580; ++x)
                n += (At(x, y) & 0xFFFFFF) > 0xC0C0C0 ? 1 : 0;
        return n;
    }

    std::unique_ptr<Gdiplus::Bitmap> logo_, strip_, picture_, canvas_;
    DrawnElements elements_;
    ProductRecord product_;
    StoreFrontContent content_;
};

}  // namespace

TEST_F(StoreFrontPaintTest, PlacesEachPartWhereItBelongs) {
    picture_ = SolidPicture(400, 100, kProduct);  // drawn 802 x 200 from y 24
    product_.productImage = Borrowed(picture_.get());
    Paint();
    EXPECT_EQ(kLogo, At(2, 2));
    EXPECT_EQ(kLogo, At(21, 21));
    EXPECT_EQ(kStrip, At(25, 12));
    EXPECT_EQ(kStrip, At(570, 23));
    EXPECT_GT(NamePixels(), 40);
    EXPECT_EQ(kProduct, At(2, 26));
    EXPECT_EQ(kProduct, At(799, 220));
    EXPECT_EQ(kWhite, At(400, 228));
    EXPECT_EQ(kBottom, At(0, 435));
    EXPECT_EQ(kBottom, At(799, 474));
    EXPECT_EQ(kWhite, At(400, 476));
    for (const SkinElement& e : elements_) {
        EXPECT_EQ(kNormal, At(e.rect.left, e.rect.top)) << e.rect.left;
        EXPECT_EQ(kNormal, At(std::min<int>(e.rect.right, 800) - 1, e.rect.bottom - 1));
    }
    EXPECT_EQ(kWhite, At(520, 530));
}

TEST_F(StoreFrontPaintTest, LaterPartsCoverEarlierOnes) {
    picture_ = SolidPicture(100, 100, kProduct);  // 802 x 802: under everything below y 24
    product_.productImage = Borrowed(picture_.get());
    Paint();
    EXPECT_EQ(kStrip, At(300, 23));     // the picture starts below the title strip
    EXPECT_EQ(kProduct, At(400, 300));  // picture over the white frame
    EXPECT_EQ(kBottom, At(100, 455));   // bottom strip over the picture
    EXPECT_EQ(kNormal, At(390, 530));   // buttons over the picture
    EXPECT_EQ(kNormal, At(780, 500));
    EXPECT_EQ(kProduct, At(600, 590));
}

TEST_F(StoreFrontPaintTest, HoveredButtonShowsItsRightFrame) {
    elements_.SetHover(nullptr, kElementActivate, 1);
    elements_.SetHover(nullptr, kElementClose, 1);
    Paint();
    EXPECT_EQ(kHovered, At(390, 530));
    EXPECT_EQ(kHovered, At(782, 12));
    EXPECT_EQ(kNormal, At(752, 12));
}

TEST_F(StoreFrontPaintTest, MissingPicturesLeaveTheirPlaceWhite) {
    product_.logoImage = nullptr;
    content_.bottomStrip = nullptr;
    content_.productName.clear();
    Paint();
    EXPECT_EQ(kStrip, At(12, 12));
    EXPECT_EQ(0, NamePixels());
    EXPECT_EQ(kWhite, At(400, 300));
    EXPECT_EQ(kWhite, At(100, 455));
    EXPECT_EQ(kNormal, At(390, 530));

    content_.product = nullptr;
    content_.elements = nullptr;
    Paint();
    EXPECT_EQ(kStrip, At(12, 12));
    EXPECT_EQ(kWhite, At(390, 530));
}

TEST_F(StoreFrontPaintTest, PreparedPictureDrawsLikeTheStretchedOne) {
    // A picture with detail, so that the stretch shows in the pixels.
    picture_ = std::make_unique<Gdiplus::Bitmap>(400, 211, PixelFormat32bppARGB);
    for (int y = 0; y < 211; ++y)
        for (int x = 0; x < 400; ++x)
            picture_->SetPixel(x, y, Gdiplus::Color(255, x % 256, (y * 7) % 256, (x ^ y) % 256));
    product_.productImage = Borrowed(picture_.get());
    Paint();
    std::unique_ptr<Gdiplus::Bitmap> direct = std::move(canvas_);

    ScaledPicture cache;
    content_.productCache = &cache;
    Paint();
    int differing = 0;
    for (int y = 24; y < 435; ++y)
        for (int x = 0; x < 800; ++x) {
            const Gdiplus::ARGB a = PixelOf(*direct, x, y), b = At(x, y);
            for (int shift = 0; shift < 24; shift += 8)
                differing += std::abs(static_cast<int>((a >> shift) & 0xFF) -
                                      static_cast<int>((b >> shift) & 0xFF)) > 2;
        }
    EXPECT_EQ(0, differing);

    const StorePicture& source = product_.productImage;
    const StorePicture first = cache.Get(source, 802, 423);
    EXPECT_NE(nullptr, first);
    EXPECT_EQ(first, cache.Get(source, 802, 423));
    EXPECT_EQ(902u, cache.Get(source, 902, 475)->GetWidth());
    EXPECT_EQ(nullptr, cache.Get(nullptr, 802, 423));
    EXPECT_EQ(nullptr, cache.Get(source, 0, 423));
}

// The product's rows are kept for the picture they were made from: a new
// catalogue's picture, made where the last one was and at its size, shows.
TEST_F(StoreFrontPaintTest, APictureMadeWhereTheLastOneWasIsDrawnAnew) {
    constexpr Gdiplus::ARGB kNext = 0xFF10A0A0;
    ScaledPicture cache;
    KeptBackdrop backdrop;
    content_.productCache = &cache;
    content_.productBackdrop = &backdrop;
    PictureSlot slot;
    product_.productImage = slot.Solid(400, 211, kProduct);
    Paint();
    EXPECT_EQ(kProduct, At(400, 100));
    product_.productImage.reset();
    product_.productImage = slot.Solid(400, 211, kNext);
    Paint();
    EXPECT_EQ(kNext, At(400, 100));
    product_.productImage.reset();  // before the slot goes
}

TEST_F(StoreFrontPaintTest, TallPictureKeepsOnlyTheRowsTheFrameShows) {
    // 4 x 40000, drawn 802 x 8,020,000: a whole stretched copy would take 25 GB.
    // Its first two rows are blue, the rest green.
    constexpr Gdiplus::ARGB kLower = 0xFF10A0A0;
    picture_ = SolidPicture(4, 40000, kLower);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x)
            picture_->SetPixel(x, y, Gdiplus::Color(kProduct));
    product_.productImage = Borrowed(picture_.get());
    content_.bottomStrip = nullptr;
    content_.elements = nullptr;
    Paint();
    std::unique_ptr<Gdiplus::Bitmap> direct = std::move(canvas_);

    ScaledPicture cache;
    content_.productCache = &cache;
    Paint();
    ASSERT_NE(nullptr, cache.ready());
    EXPECT_EQ(802u, cache.ready()->GetWidth());
    EXPECT_EQ(576u, cache.ready()->GetHeight());  // y 24 to the frame's bottom
    EXPECT_EQ(kStrip, At(300, 23));
    for (int y : {24, 100, 200})
        EXPECT_EQ(kProduct, At(400, y)) << y;
    for (int y : {440, 540, 599})
        EXPECT_EQ(kLower, At(400, y)) << y;
    // The blend between the two as the direct stretch draws it (whose first
    // row, at so tall a size, is lost to rounding).
    for (int y = 25; y < 600; y += 5)
        EXPECT_EQ(PixelOf(*direct, 400, y), At(400, y)) << y;
}
