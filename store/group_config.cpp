#include "store/group_config.h"

#include <windows.h>

#include <memory>
#include <utility>
#include <vector>

#include "config/local_config.h"
#include "net/http.h"
#include "store/api_url.h"
#include "store/json_read.h"
#include "store/picture_file.h"

namespace {

constexpr int kBufferSize = 4096;
constexpr int kConfigTimeoutSeconds = 5;
constexpr int kLogoTimeoutSeconds = 10;

void StoreGroupConfig(int type, const cJSON* data, ProductRecord& product) {
    product.logoUrl = JsonGetString(data, "logo");
    storeState.customerServiceUrl = JsonGetString(data, "kf");
    product.word1 = Utf8ToWide(JsonGetString(data, "word_1"));
    product.word2 = Utf8ToWide(JsonGetString(data, "word_2"));
    product.word3 = Utf8ToWide(JsonGetString(data, "word_3"));
    product.step3 = Utf8ToWide(JsonGetString(data, "step_3"));
    product.navigation = Utf8ToWide(JsonGetString(data, "navigation"));

    // Not a cache: the logo may change between starts.
    std::wstring path = LogoPicturePath(localConfig.moduleDir, type);
    DeleteFileW(path.c_str());
    if (!HttpGetToFile(product.logoUrl, path, kLogoTimeoutSeconds, kMaxPictureFileBytes))
        return;
    // A download that gives no picture (refused, or an error page) leaves no
    // file either.
    std::unique_ptr<Gdiplus::Image> logo = LoadPictureFile(path);
    if (logo && logo->GetLastStatus() != Gdiplus::Ok)
        logo.reset();
    if (!logo) {
        DeleteFileW(path.c_str());
        return;
    }
    product.logoImage = std::move(logo);
}

}  // namespace

bool FetchGroupConfig(int type, ProductRecord& product) {
    std::string url = ApiUrl("getGroupConfig", {{"type", type}});
    OutputDebugStringA(url.c_str());
    std::vector<char> buffer(kBufferSize, 0);
    int length = kBufferSize;
    if (HttpGetToBuffer(url, buffer.data(), &length, kConfigTimeoutSeconds)) {
        JsonDocument document = JsonParse(buffer.data());
        ServiceEnvelope envelope = ReadEnvelope(document.get());
        if (envelope.ok() && envelope.data) {
            StoreGroupConfig(type, envelope.data, product);
        }
    }
    return !product.logoUrl.empty();
}
