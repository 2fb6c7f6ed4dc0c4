#include "store/catalogue.h"

#include <windows.h>
#include <shlwapi.h>
#include <gdiplus.h>

#include "config/local_config.h"
#include "net/http.h"
#include "store/api_url.h"
#include "store/deferred_picture.h"
#include "store/json_read.h"
#include "store/picture_file.h"
#include "store/service_request.h"

namespace {

constexpr int kListTimeoutSeconds = 5;
constexpr int kPictureTimeoutSeconds = 10;
// One byte of the shared buffer stays free for the terminator.
constexpr int kListCapacity = static_cast<int>(kResponseBufferSize - 1);

std::wstring WideMember(const cJSON* object, const char* key) {
    return Utf8ToWide(JsonGetString(object, key));
}

}  // namespace

ProductRecord ReadProductRecord(const cJSON* product) {
    ProductRecord record;
    record.id = JsonGetInt(product, "id");
    record.name = WideMember(product, "name");
    record.sta = JsonGetInt(product, "sta");
    record.type = JsonGetInt(product, "type");
    record.productImg = JsonGetString(product, "product_img");
    record.gift = WideMember(product, "gift");
    record.desc = WideMember(product, "desc");
    record.explain = WideMember(product, "explain");
    record.shopUrl = JsonGetString(product, "shop_url");
    const cJSON* version = JsonFindMember(product, "version");
    for (const cJSON* item = version ? version->child : nullptr; item; item = item->next) {
        record.packages.push_back(ReadPackageRecord(item));
    }
    return record;
}

PackageRecord ReadPackageRecord(const cJSON* package) {
    PackageRecord record;
    record.id = JsonGetInt(package, "id");
    record.productId = JsonGetInt(package, "product_id");
    record.price = JsonGetInt(package, "price");
    record.sourcePrice = JsonGetInt(package, "source_price");
    record.name = WideMember(package, "name");
    record.linkUrl = JsonGetString(package, "link_url");
    record.formatPrice = WideMember(package, "format_price");
    record.packageImg = JsonGetString(package, "package_img");
    record.packageImg2 = JsonGetString(package, "package_img2");
    record.title1 = WideMember(package, "title_1");
    record.title2 = WideMember(package, "title_2");
    record.packageDetail = WideMember(package, "package_detail");
    record.helpTitle = WideMember(package, "help_title");
    record.helpDesc = WideMember(package, "help_desc");
    record.helpLinkUrl = WideMember(package, "help_link_url");
    return record;
}

namespace {

// The cache file of a picture: true when `path` exists (whatever `url` now
// says) or has just been downloaded from `url`; a fresh download is decoded to
// check it, and that picture goes to `*fresh`.
bool FetchPictureFile(const std::wstring& path, const std::string& url,
                      std::unique_ptr<Gdiplus::Image>* fresh) {
    // The file name stands for the picture for good: a present file is never
    // refreshed.
    if (PathFileExistsW(path.c_str())) {
        return true;
    }
    // The transport writes a new file and renames it into place once
    // complete: a start cut short in the middle of a download leaves no part
    // of a picture under the name that stands for it for good.
    if (!HttpGetToFile(url, path, kPictureTimeoutSeconds, kMaxPictureFileBytes)) {
        return false;
    }
    // The transport delivers an error page (404, 500) like any body. Such a
    // page must not settle in the cache for good under the picture's name:
    // drop a fresh download that is no picture, so the next start tries again.
    std::unique_ptr<Gdiplus::Image> picture = LoadPictureFile(path);
    if (!picture || picture->GetLastStatus() != Gdiplus::Ok) {
        picture.reset();
        DeleteFileW(path.c_str());
        return false;
    }
    *fresh = std::move(picture);
    return true;
}

}  // namespace

std::unique_ptr<Gdiplus::Image> LoadCachedPicture(const std::wstring& path,
                                                  const std::string& url) {
    std::unique_ptr<Gdiplus::Image> fresh;
    if (!FetchPictureFile(path, url, &fresh))
        return nullptr;
    return fresh ? std::move(fresh) : LoadPictureFile(path);
}

PackagePicture CachedPackagePicture(const std::wstring& path, const std::string& url) {
    std::unique_ptr<Gdiplus::Image> fresh;
    if (!FetchPictureFile(path, url, &fresh))
        return nullptr;
    return std::make_shared<DeferredPicture>(path, std::move(fresh));
}

bool FetchProductList(int type) {
    if (localConfig.responseBuffer.size() < kResponseBufferSize &&
        !AllocateResponseBuffer(localConfig)) {
        return false;
    }
    ServiceRequest request{
        ApiUrl("getProductList",
               {{"mac", localConfig.machineId}, {"type", type}, {"channel", localConfig.channel}}),
        kListCapacity, kListTimeoutSeconds};
    request.buffer = localConfig.responseBuffer.data();
    ServiceAnswer answer;
    if (!AskService(request, answer)) {
        return false;
    }
    const ServiceEnvelope& envelope = answer.envelope;
    if (!envelope.ok() || !envelope.data || !envelope.data->child) {
        return false;
    }
    // Only the first element counts, whether "data" is an array or an object.
    ProductRecord product = ReadProductRecord(envelope.data->child);
    const std::wstring& dir = localConfig.dataDir;
    product.productImage = LoadCachedPicture(ProductPicturePath(dir, type), product.productImg);
    for (PackageRecord& package : product.packages) {
        package.packageImage =
            CachedPackagePicture(PackagePicturePath(dir, type, package.id), package.packageImg);
    }
    storeState.products.push_back(std::move(product));
    return true;
}
