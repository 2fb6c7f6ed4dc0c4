#include "store/group_config.h"

#include <windows.h>

#include <memory>
#include <utility>

#include "config/local_config.h"
#include "net/http.h"
#include "store/api_url.h"
#include "store/json_read.h"
#include "store/picture_file.h"
#include "store/service_request.h"

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

    // Not a cache: the logo may change between starts. An earlier one that
    // cannot be removed must not be shown as this start's.
    std::wstring path = LogoPicturePath(localConfig.dataDir, type);
    if (!DeleteFileW(path.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND)
        return;
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
    ServiceRequest request{ApiUrl("getGroupConfig", {{"type", type}}), kBufferSize,
                           kConfigTimeoutSeconds};
    ServiceAnswer answer;
    if (AskService(request, answer) && answer.envelope.ok() && answer.envelope.data) {
        StoreGroupConfig(type, answer.envelope.data, product);
    }
    return !product.logoUrl.empty();
}
