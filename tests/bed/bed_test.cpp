// The test bed itself: if these fail, every other test's result means little.
#include <winsock2.h>
#include <windows.h>
#include <gdiplus.h>
#include <curl/curl.h>
#include <cjson/cJSON.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "skin/gdiplus_session.h"

namespace {

// Counts the pixels of a 32-bit bitmap that are darker than mid grey.
int CountDarkPixels(Gdiplus::Bitmap& bitmap) {
    int dark = 0;
    for (UINT y = 0; y < bitmap.GetHeight(); ++y) {
        for (UINT x = 0; x < bitmap.GetWidth(); ++x) {
            Gdiplus::Color c;
            bitmap.GetPixel(x, y, &c);
            if (c.GetR() + c.GetG() + c.GetB() < 3 * 128)
                ++dark;
        }
    }
    return dark;
}

TEST(Bed, GdiplusDrawsChineseTextInYaHei) {
    GdiplusSession gdiplus;
    Gdiplus::FontFamily family(L"微软雅黑");
    ASSERT_EQ(family.GetLastStatus(), Gdiplus::Ok) << "the font replacement is missing";

    Gdiplus::Bitmap bitmap(200, 40, PixelFormat32bppARGB);
    {
        Gdiplus::Graphics g(&bitmap);
        g.Clear(Gdiplus::Color(0xFFFFFFFF));
        Gdiplus::Font font(&family, 12, Gdiplus::FontStyleRegular, Gdiplus::UnitPoint);
        Gdiplus::SolidBrush brush(Gdiplus::Color(0xFF000000));
        ASSERT_EQ(g.DrawString(L"立即激活", -1, &font, Gdiplus::PointF(4, 4), &brush), Gdiplus::Ok);
    }
    // Four CJK glyphs at 12 pt leave a good number of dark pixels, and only in
    // the area right of the origin where the text was drawn.
    int dark = CountDarkPixels(bitmap);
    EXPECT_GT(dark, 80);
    Gdiplus::Color corner;
    bitmap.GetPixel(199, 39, &corner);
    EXPECT_EQ(corner.GetValue(), 0xFFFFFFFFu);
}

struct SimInfo {
    std::string url;
    std::string caFile;
};

bool ReadSimInfo(SimInfo* info) {
    const char* path = std::getenv("STORE_SIM_INFO");
    if (!path)
        return false;
    FILE* f = std::fopen(path, "rb");
    if (!f)
        return false;
    std::string text;
    char chunk[4096];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0)
        text.append(chunk, n);
    std::fclose(f);
    std::unique_ptr<cJSON, decltype(&cJSON_Delete)> doc(cJSON_Parse(text.c_str()), cJSON_Delete);
    if (!doc)
        return false;
    const cJSON* url = cJSON_GetObjectItem(doc.get(), "url");
    const cJSON* ca = cJSON_GetObjectItem(doc.get(), "ca_file_win");
    if (!cJSON_IsString(url) || !cJSON_IsString(ca))
        return false;
    info->url = url->valuestring;
    info->caFile = ca->valuestring;
    return true;
}

size_t Append(char* data, size_t size, size_t count, void* user) {
    static_cast<std::string*>(user)->append(data, size * count);
    return size * count;
}

TEST(Bed, CurlFetchesFromTheLoopbackSimulatorOverTls) {
    SimInfo sim;
    ASSERT_TRUE(ReadSimInfo(&sim)) << "STORE_SIM_INFO does not name the simulator's info file";
    curl_global_init(CURL_GLOBAL_ALL);
    CURL* curl = curl_easy_init();
    ASSERT_NE(curl, nullptr);
    std::string body;
    std::string url = sim.url + "/api/ps/getGroupConfig?type=1";
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_CAINFO, sim.caFile.c_str());
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, Append);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &body);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, 10L);
    CURLcode rc = curl_easy_perform(curl);
    long status = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    curl_easy_cleanup(curl);
    ASSERT_EQ(rc, CURLE_OK) << curl_easy_strerror(rc);
    EXPECT_EQ(status, 200);
    std::unique_ptr<cJSON, decltype(&cJSON_Delete)> doc(cJSON_Parse(body.c_str()), cJSON_Delete);
    ASSERT_TRUE(doc) << body;
    EXPECT_EQ(cJSON_GetObjectItem(doc.get(), "status_code")->valueint, 1000);
}

}  // namespace
