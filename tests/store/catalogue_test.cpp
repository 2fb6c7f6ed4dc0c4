// The product list request against the store simulator: its exact URL, the
// records it builds, the picture cache files and their reuse rule, and the
// answers that must fail or succeed.
#include <windows.h>
#include <gdiplus.h>

#include <cstring>
#include <memory>
#include <string>
#include <utility>

#include "config/local_config.h"
#include "process_stats.h"
#include "store/catalogue.h"
#include "store/deferred_picture.h"
#include "store/picture_file.h"
#include "store/store_state.h"
#include "tests/store/store_sim_fixture.h"

namespace {

class CatalogueTest : public StoreSimTest {
protected:
    // A getProductList answer with one product of `packages` (JSON array text).
    std::string ProductAnswer(const std::string& productImg, const std::string& packages) const {
        return R"({"status_code":1000,"data":[{"id":9,"name":"测试产品","type":9,"product_img":")" +
               productImg + R"(","version":)" + packages + "}]}";
    }
    std::string Package(int id, const std::string& img) const {
        return R"({"id":)" + std::to_string(id) + R"(,"name":"套餐)" + std::to_string(id) +
               R"(","package_img":")" + img + R"("})";
    }
    std::string File(const std::wstring& name) const {
        std::string bytes;
        dir_.ReadFile(name, &bytes);
        return bytes;
    }
};

TEST_F(CatalogueTest, ColdCacheRequestsListThenEachPictureAndFillsTheCache) {
    ASSERT_TRUE(FetchProductList(1));
    ASSERT_EQ(storeState.products.size(), 1u);
    const ProductRecord& product = storeState.products[0];
    EXPECT_EQ(product.name, L"光影创意设计套件");
    EXPECT_EQ(product.shopUrl, sim_.url() + "/shop/1");
    EXPECT_NE(product.productImage, nullptr);
    ASSERT_EQ(product.packages.size(), 5u);
    for (size_t i = 0; i < 5; ++i) {
        const PackageRecord& package = product.packages[i];
        EXPECT_EQ(package.id, 101 + static_cast<int>(i));
        EXPECT_NE(package.packageImage, nullptr);
    }
    EXPECT_EQ(product.packages[0].name, L"月度会员（1个月）");
    EXPECT_EQ(product.packages[0].price, 2900);
    EXPECT_EQ(product.packages[0].formatPrice, L"29.00");
    EXPECT_TRUE(product.logoUrl.empty());
    EXPECT_EQ(product.logoImage, nullptr);

    std::vector<SimLogEntry> log = Requests();
    ASSERT_EQ(log.size(), 7u);
    EXPECT_EQ(log[0].url, LoggedUrl(sim_.info(),
                                    "/api/ps/getProductList?mac=0a:00:27:00:05:01&type=1&"
                                    "channel=master"));
    EXPECT_EQ(log[1].url, PictureUrl("product_1.png"));
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(log[2 + i].url, PictureUrl("pkg_10" + std::to_string(i + 1) + ".png"));
    }

    EXPECT_EQ(File(L"pdt_1.bin"), PictureBytes("product_1.png"));
    EXPECT_EQ(File(L"1_101.bin"), PictureBytes("pkg_101.png"));
    EXPECT_EQ(File(L"1_105.bin"), PictureBytes("pkg_105.png"));
}

TEST_F(CatalogueTest, PresentFilesAreUsedWhateverTheUrlNowSays) {
    // Real pictures under the names of type 9, though the answer names others.
    ASSERT_TRUE(dir_.WriteFile(L"pdt_9.bin", PictureBytes("product_2.png")));
    ASSERT_TRUE(dir_.WriteFile(L"9_1.bin", PictureBytes("pkg_201.png")));
    Mark();
    AnswerWith("getProductList", ProductAnswer(PictureUrl("product_1.png"),
                                               "[" + Package(1, PictureUrl("pkg_101.png")) + "," +
                                                   Package(2, PictureUrl("pkg_102.png")) + "]"));
    ASSERT_TRUE(FetchProductList(9));

    std::vector<SimLogEntry> pictures = Requests("picture");
    ASSERT_EQ(pictures.size(), 1u);
    EXPECT_EQ(pictures[0].url, PictureUrl("pkg_102.png"));
    EXPECT_EQ(File(L"pdt_9.bin"), PictureBytes("product_2.png"));
    EXPECT_EQ(File(L"9_1.bin"), PictureBytes("pkg_201.png"));
    EXPECT_EQ(File(L"9_2.bin"), PictureBytes("pkg_102.png"));
    const ProductRecord& product = storeState.products[0];
    EXPECT_NE(product.productImage, nullptr);
    EXPECT_NE(product.packages[0].packageImage, nullptr);

    // A second call for the same type appends a second record and downloads nothing.
    Mark();
    AnswerWith("getProductList", ProductAnswer(PictureUrl("product_1.png"),
                                               "[" + Package(1, PictureUrl("pkg_101.png")) + "," +
                                                   Package(2, PictureUrl("pkg_102.png")) + "]"));
    ASSERT_TRUE(FetchProductList(9));
    EXPECT_EQ(storeState.products.size(), 2u);
    EXPECT_TRUE(Requests("picture").empty());
}

// The 32-bit premultiplied pixels of `picture`.
std::string PixelsOf(Gdiplus::Image* picture) {
    auto* bitmap = static_cast<Gdiplus::Bitmap*>(picture);
    const Gdiplus::Rect all(0, 0, static_cast<INT>(picture->GetWidth()),
                            static_cast<INT>(picture->GetHeight()));
    Gdiplus::BitmapData data{};
    if (bitmap->LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat32bppPARGB, &data) !=
        Gdiplus::Ok)
        return "";
    std::string pixels;
    for (UINT y = 0; y < data.Height; ++y)
        pixels.append(static_cast<const char*>(data.Scan0) + y * data.Stride, data.Width * 4);
    bitmap->UnlockBits(&data);
    return pixels;
}

// Package pictures are left in their files at the start and decoded when a
// page first draws them, at the size drawn, exactly as stretching the picture
// at each paint would draw it.
TEST_F(CatalogueTest, PackagePicturesAreDecodedWhenFirstDrawn) {
    ASSERT_TRUE(dir_.WriteFile(L"9_1.bin", PictureBytes("pkg_201.png")));
    ASSERT_TRUE(dir_.WriteFile(L"9_2.bin", "<html>Not Found</html>"));
    AnswerWith("getProductList", ProductAnswer(PictureUrl("product_1.png"),
                                               "[" + Package(1, PictureUrl("pkg_101.png")) + "," +
                                                   Package(2, PictureUrl("pkg_102.png")) + "]"));
    ASSERT_TRUE(FetchProductList(9));
    // Unread so far: the file as it is when first drawn is the picture.
    ASSERT_TRUE(dir_.WriteFile(L"9_1.bin", PictureBytes("pkg_202.png")));
    ASSERT_NE(storeState.products[0].packages[0].packageImage, nullptr);
    DeferredPicture& picture = *storeState.products[0].packages[0].packageImage;

    std::unique_ptr<Gdiplus::Image> source = LoadPictureFile(dir_.Join(L"9_1.bin"));
    ASSERT_NE(source, nullptr);
    for (UINT scale : {1u, 2u}) {
        const std::shared_ptr<Gdiplus::Image> drawn = picture.At(408 * scale, 576 * scale);
        ASSERT_NE(drawn, nullptr);
        EXPECT_EQ(drawn, picture.At(408 * scale, 576 * scale)) << "made once a size";
        Gdiplus::Bitmap direct(static_cast<INT>(408 * scale), static_cast<INT>(576 * scale),
                               PixelFormat32bppPARGB);
        {
            Gdiplus::Graphics g(&direct);
            g.DrawImage(source.get(), 0, 0, static_cast<INT>(408 * scale),
                        static_cast<INT>(576 * scale));
        }
        const std::string expected = PixelsOf(&direct);
        ASSERT_FALSE(expected.empty());
        EXPECT_TRUE(PixelsOf(drawn.get()) == expected) << "scale " << scale;
    }
    // A file that is no picture draws nothing.
    EXPECT_EQ(storeState.products[0].packages[1].packageImage->At(408, 576), nullptr);
}

TEST_F(CatalogueTest, FailedDownloadLeavesNoFileAndIsTriedAgainNextTime) {
    // Nothing listens on port 1: the connection is refused at once.
    const std::string unreachable = "https://localhost:1/pictures/pkg_102.png";
    AnswerWith("getProductList", ProductAnswer(PictureUrl("product_1.png"),
                                               "[" + Package(1, PictureUrl("pkg_101.png")) + "," +
                                                   Package(2, unreachable) + "," +
                                                   Package(3, PictureUrl("pkg_103.png")) + "]"));
    ASSERT_TRUE(FetchProductList(9));
    const ProductRecord& first = storeState.products[0];
    ASSERT_EQ(first.packages.size(), 3u);
    EXPECT_NE(first.packages[0].packageImage, nullptr);
    EXPECT_EQ(first.packages[1].packageImage, nullptr);
    EXPECT_NE(first.packages[2].packageImage, nullptr);
    EXPECT_FALSE(dir_.Exists(L"9_2.bin"));
    EXPECT_EQ(File(L"9_3.bin"), PictureBytes("pkg_103.png"));

    // The next start fetches only the missing picture.
    Mark();
    AnswerWith("getProductList", ProductAnswer(PictureUrl("product_1.png"),
                                               "[" + Package(1, PictureUrl("pkg_101.png")) + "," +
                                                   Package(2, PictureUrl("pkg_102.png")) + "," +
                                                   Package(3, PictureUrl("pkg_103.png")) + "]"));
    ASSERT_TRUE(FetchProductList(9));
    std::vector<SimLogEntry> pictures = Requests("picture");
    ASSERT_EQ(pictures.size(), 1u);
    EXPECT_EQ(pictures[0].url, PictureUrl("pkg_102.png"));
    EXPECT_NE(storeState.products[1].packages[1].packageImage, nullptr);
    EXPECT_EQ(File(L"9_2.bin"), PictureBytes("pkg_102.png"));
}

TEST_F(CatalogueTest, AnErrorPageIsNotCachedAsAPicture) {
    // The picture server answers 404 with an HTML page: the package gets no
    // picture and no file, so the next start downloads it again.
    ASSERT_TRUE(sim_.AddFault(
        R"({"request":"picture","kind":"status","status":404,"body":"<html>Not Found</html>","count":1})"));
    AnswerWith("getProductList", ProductAnswer(PictureUrl("product_1.png"),
                                               "[" + Package(1, PictureUrl("pkg_101.png")) + "]"));
    ASSERT_TRUE(FetchProductList(9));
    EXPECT_EQ(storeState.products[0].productImage, nullptr);
    EXPECT_FALSE(dir_.Exists(L"pdt_9.bin"));
    EXPECT_NE(storeState.products[0].packages[0].packageImage, nullptr);

    Mark();
    AnswerWith("getProductList", ProductAnswer(PictureUrl("product_1.png"),
                                               "[" + Package(1, PictureUrl("pkg_101.png")) + "]"));
    ASSERT_TRUE(FetchProductList(9));
    ASSERT_EQ(Requests("picture").size(), 1u);
    EXPECT_NE(storeState.products[1].productImage, nullptr);
    EXPECT_EQ(File(L"pdt_9.bin"), PictureBytes("product_1.png"));
}

TEST_F(CatalogueTest, APresentFileThatIsNoPictureStaysInTheCache) {
    // Only a fresh download is checked; a file already present is taken as it
    // is, without a request, and is not removed (it gives no picture).
    ASSERT_TRUE(dir_.WriteFile(L"pdt_9.bin", "<html>Not Found</html>"));
    AnswerWith("getProductList", ProductAnswer(PictureUrl("product_1.png"), "[]"));
    ASSERT_TRUE(FetchProductList(9));
    EXPECT_TRUE(Requests("picture").empty());
    EXPECT_EQ(storeState.products[0].productImage, nullptr);
    ClearStoreState();  // lets go of the file
    EXPECT_EQ(File(L"pdt_9.bin"), "<html>Not Found</html>");
}

TEST_F(CatalogueTest, NamesPlantedBesideTheCacheAreNeverWrittenThrough) {
    // What a start killed in the middle of a download of an older version
    // left behind, and hard links planted under the names downloads once took.
    ASSERT_TRUE(dir_.WriteFile(L"pdt_9.bin.part", PictureBytes("product_1.png").substr(0, 100)));
    ASSERT_TRUE(dir_.WriteFile(L"precious.txt", "precious"));
    for (const wchar_t* name : {L"9_1.bin.part", L"9_2.bin.part"}) {
        ASSERT_TRUE(
            CreateHardLinkW(dir_.Join(name).c_str(), dir_.Join(L"precious.txt").c_str(), nullptr))
            << GetLastError();
    }
    Mark();
    AnswerWith("getProductList", ProductAnswer(PictureUrl("product_1.png"),
                                               "[" + Package(1, PictureUrl("pkg_101.png")) + "," +
                                                   Package(2, PictureUrl("pkg_102.png")) + "]"));
    ASSERT_TRUE(FetchProductList(9));
    EXPECT_EQ(Requests("picture").size(), 3u);
    EXPECT_NE(storeState.products[0].productImage, nullptr);
    EXPECT_TRUE(File(L"pdt_9.bin") == PictureBytes("product_1.png"));
    EXPECT_TRUE(File(L"9_1.bin") == PictureBytes("pkg_101.png"));
    EXPECT_TRUE(File(L"9_2.bin") == PictureBytes("pkg_102.png"));
    EXPECT_TRUE(File(L"precious.txt") == "precious") << "written through a planted link";
}

TEST_F(CatalogueTest, ACutPictureIsRefusedWithoutCost) {
    // A PNG cut short in its image data cannot be decoded: refused before the
    // decoder, which under Wine keeps some 6 KiB of every PNG it fails on.
    const std::string whole = PictureBytes("product_1.png");
    ASSERT_TRUE(dir_.WriteFile(L"whole.bin", whole));
    std::unique_ptr<Gdiplus::Image> picture = LoadPictureFile(dir_.Join(L"whole.bin"));
    ASSERT_TRUE(picture && picture->GetLastStatus() == Gdiplus::Ok);
    picture.reset();
    for (int percent = 10; percent < 100; percent += 20) {
        const std::wstring name = L"cut" + std::to_wstring(percent) + L".bin";
        ASSERT_TRUE(dir_.WriteFile(name, whole.substr(0, whole.size() * percent / 100)));
        LoadPictureFile(dir_.Join(name));  // warm-up
        const double before = static_cast<double>(HeapBytesInUse());
        constexpr int kLoads = 20;
        for (int i = 0; i < kLoads; ++i) {
            picture = LoadPictureFile(dir_.Join(name));
            EXPECT_TRUE(!picture || picture->GetLastStatus() != Gdiplus::Ok);
        }
        picture.reset();
        const double perLoad = (static_cast<double>(HeapBytesInUse()) - before) / kLoads;
        EXPECT_LT(perLoad, 512.0) << "cut at " << percent << "%";
    }
}

// GDI+'s own encoder of a format, by the last byte of its fixed CLSID
// (0 BMP, 1 JPEG, 2 GIF, 5 TIFF).
std::string Encoded(const TempDir& dir, unsigned char format) {
    CLSID encoder = {
        0x557CF400u + format, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};
    Gdiplus::Bitmap bitmap(16, 16, PixelFormat24bppRGB);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            bitmap.SetPixel(x, y, Gdiplus::Color(255, x * 16, y * 16, 128));
    const std::wstring name = L"encoded" + std::to_wstring(format) + L".bin";
    std::string bytes;
    if (bitmap.Save(dir.Join(name).c_str(), &encoder, nullptr) == Gdiplus::Ok)
        dir.ReadFile(name, &bytes);
    return bytes;
}

std::string Le16(unsigned v) {
    return {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)};
}
std::string Le32(unsigned v) {
    return Le16(v & 0xFFFF) + Le16(v >> 16);
}

// Only PNG, JPEG, GIF and BMP reach the decoder, and a JPEG's frame size is
// found as decoders find it, past fill bytes, stray bytes and markers
// without a length.
TEST_F(CatalogueTest, OnlyPicturesOfKnownFormatAndSizeReachTheDecoder) {
    const std::string png = PictureBytes("logo_1.png");
    const std::string jpeg = Encoded(dir_, 1);
    const size_t frame = jpeg.find(std::string("\xFF\xC0\x00\x11\x08", 5));
    ASSERT_NE(frame, std::string::npos);
    std::string huge = jpeg;  // the same JPEG claiming 65000 x 65000 pixels
    huge.replace(frame + 5, 4, "\xFD\xE8\xFD\xE8");
    auto before = [&](const std::string& picture, const std::string& inserted) {
        return picture.substr(0, frame) + inserted + picture.substr(frame);
    };

    const std::wstring metafile = dir_.Join(L"metafile.emf");
    HDC dc = CreateEnhMetaFileW(nullptr, metafile.c_str(), nullptr, nullptr);
    ASSERT_NE(dc, nullptr);
    Rectangle(dc, 0, 0, 40, 40);
    DeleteEnhMetaFile(CloseEnhMetaFile(dc));
    std::string emf;
    ASSERT_TRUE(dir_.ReadFile(L"metafile.emf", &emf));
    auto icoHead = [](const char* side) {
        return Le16(0) + Le16(1) + Le16(1) + side + side + std::string(2, '\0') + Le16(1) +
               Le16(32);
    };
    const std::string icoPng = icoHead("\x30") + Le32(png.size()) + Le32(22) + png;
    const std::string dib = Le32(40) + Le32(16) + Le32(32) + Le16(1) + Le16(32) + Le32(0) +
                            Le32(0) + std::string(16, '\0') +
                            std::string(16 * 16 * 4 + 16 * 4, '\x7F');
    const std::string icoBmp = icoHead("\x10") + Le32(dib.size()) + Le32(22) + dib;
    const std::string bmpPng = "BM" + Le32(54 + png.size()) + Le32(0) + Le32(54) + Le32(40) +
                               Le32(48) + Le32(48) + Le16(1) + Le16(0) + Le32(5) +
                               Le32(png.size()) + std::string(16, '\0') + png;

    // The classic one-pixel GIF (Wine's GIF encoder writes files its own
    // decoder refuses).
    static const char kGif[] =
        "GIF89a\x01\x00\x01\x00\x80\x00\x00\xFF\xFF\xFF\x00\x00\x00"
        ",\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00;";
    const std::string gif(kGif, sizeof kGif - 1);  // 35 bytes: no control extension
    const struct {
        const char* name;
        std::string bytes;
        UINT width;
    } accepted[] = {
        {"png", png, 48},
        {"jpeg", jpeg, 16},
        {"gif", gif, 1},
        {"bmp", Encoded(dir_, 0), 16},
        {"jpeg with fill bytes and TEM", before(jpeg, "\xFF\xFF\xFF\x01"), 16},
    };
    for (const auto& c : accepted) {
        ASSERT_TRUE(dir_.WriteFile(L"picture.bin", c.bytes)) << c.name;
        std::unique_ptr<Gdiplus::Image> picture = LoadPictureFile(dir_.Join(L"picture.bin"));
        ASSERT_NE(picture, nullptr) << c.name;
        EXPECT_EQ(picture->GetLastStatus(), Gdiplus::Ok) << c.name;
        EXPECT_EQ(picture->GetWidth(), c.width) << c.name;
    }
    const std::pair<const char*, std::string> refused[] = {
        {"tiff", Encoded(dir_, 5)},
        {"emf", emf},
        {"ico with png", icoPng},
        {"ico with bmp", icoBmp},
        {"bmp with png", bmpPng},
        {"huge jpeg", huge},
        {"huge jpeg after a fill byte", before(huge, "\xFF")},
        {"huge jpeg after a stray byte", before(huge, std::string(1, '\0'))},
        {"huge jpeg after RST0 and TEM", before(huge, "\xFF\xD0\xFF\x01")},
        {"jpeg cut in its frame header", jpeg.substr(0, frame + 6)},
        {"jpeg scan before its frame", before(jpeg, "\xFF\xDA\x00\x02")},
    };
    for (const auto& c : refused) {
        ASSERT_FALSE(c.second.empty()) << c.first;
        ASSERT_TRUE(dir_.WriteFile(L"picture.bin", c.second)) << c.first;
        EXPECT_EQ(LoadPictureFile(dir_.Join(L"picture.bin")), nullptr) << c.first;
    }
}

TEST_F(CatalogueTest, TwoPackagesWithOneIdShareOneFile) {
    AnswerWith("getProductList", ProductAnswer(PictureUrl("product_1.png"),
                                               "[" + Package(7, PictureUrl("pkg_101.png")) + "," +
                                                   Package(7, PictureUrl("pkg_102.png")) + "]"));
    ASSERT_TRUE(FetchProductList(9));
    std::vector<SimLogEntry> pictures = Requests("picture");
    ASSERT_EQ(pictures.size(), 2u);  // product, first package
    EXPECT_EQ(pictures[1].url, PictureUrl("pkg_101.png"));
    const ProductRecord& product = storeState.products[0];
    EXPECT_NE(product.packages[0].packageImage, nullptr);
    EXPECT_NE(product.packages[1].packageImage, nullptr);
    EXPECT_EQ(File(L"9_7.bin"), PictureBytes("pkg_101.png"));
}

TEST_F(CatalogueTest, AnswersThatFailLeaveTheCatalogueUnchanged) {
    const char* failing[] = {
        R"({"status_code":"1000","data":[{"id":1,"name":"x"}]})",
        R"({"status_code":1001,"message":"no","data":[{"id":1}]})",
        R"({"data":[{"id":1}]})",
        R"({"status_code":1000})",
        R"({"status_code":1000,"data":[]})",
        R"({"status_code":1000,"data":{}})",
        R"({"status_code":1000,"data":"product"})",
        "<html><body>502 Bad Gateway</body></html>",
        "",
    };
    for (const char* body : failing) {
        Mark();
        AnswerWith("getProductList", body);
        EXPECT_FALSE(FetchProductList(9)) << body;
        EXPECT_TRUE(storeState.products.empty()) << body;
        EXPECT_TRUE(Requests("picture").empty()) << body;
    }
}

TEST_F(CatalogueTest, AnAnswerBeyondTheBufferFails) {
    ASSERT_TRUE(sim_.AddFault(
        R"({"request":"getProductList","kind":"oversized","bytes":1048576,"count":1})"));
    EXPECT_FALSE(FetchProductList(1));
    EXPECT_TRUE(storeState.products.empty());
    // One byte less still fits with its terminator.
    ASSERT_TRUE(sim_.AddFault(
        R"({"request":"getProductList","kind":"oversized","bytes":1048575,"count":1})"));
    EXPECT_TRUE(FetchProductList(1));
}

TEST_F(CatalogueTest, UnusualButValidAnswersStillAppendTheFirstProduct) {
    struct Case {
        const char* body;
        const wchar_t* name;
        size_t packages;
    } cases[] = {
        {R"({"STATUS_CODE":1000,"DATA":[{"Name":"大写","VERSION":[{"id":5}]}]})", L"大写", 1},
        {R"({"status_code":1000,"data":[{"name":"第一"},{"name":"第二"}]})", L"第一", 0},
        {R"({"status_code":1000,"data":[{"name":"无套餐"}]})", L"无套餐", 0},
        {R"({"status_code":1000,"data":[{"name":"空","version":[]}]})", L"空", 0},
        {R"({"status_code":1000,"data":[{"name":5,"desc":7,"id":"3"}]})", L"", 0},
        {R"({"status_code":1000,"data":[42]})", L"", 0},
        {R"({"status_code":1000,"data":{"product":{"name":"对象"}}})", L"对象", 0},
    };
    size_t expected = 0;
    for (const Case& c : cases) {
        AnswerWith("getProductList", c.body);
        ASSERT_TRUE(FetchProductList(9)) << c.body;
        ++expected;
        ASSERT_EQ(storeState.products.size(), expected) << c.body;
        const ProductRecord& product = storeState.products.back();
        EXPECT_EQ(product.name, c.name) << c.body;
        EXPECT_EQ(product.id, 0) << c.body;
        EXPECT_TRUE(product.desc.empty()) << c.body;
        EXPECT_EQ(product.packages.size(), c.packages) << c.body;
        // No picture URL: the empty URL fails and no file is written.
        EXPECT_EQ(product.productImage, nullptr) << c.body;
        EXPECT_FALSE(dir_.Exists(L"pdt_9.bin")) << c.body;
    }
}

TEST_F(CatalogueTest, ValuesInTheQueryAreEncoded) {
    localConfig.machineId = "00:11:22:33:44:55&type=7";
    localConfig.channel = u8"渠道 a+b#c";
    AnswerWith("getProductList", R"({"status_code":1000,"data":[{"name":"x"}]})");
    ASSERT_TRUE(FetchProductList(9));
    std::vector<SimLogEntry> log = Requests("getProductList");
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].query,
              "mac=00:11:22:33:44:55%26type%3D7&type=9&channel=%E6%B8%A0%E9%81%93%20a%2Bb%23c");
}

}  // namespace
