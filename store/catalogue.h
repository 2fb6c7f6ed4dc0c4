#pragma once
// The catalogue of one store type (getProductList) and its picture cache.

#include <windows.h>
#include <gdiplus.h>

#include <cjson/cJSON.h>

#include <memory>
#include <string>

#include "store/store_state.h"

// Requests the catalogue of store type `type`, builds the first product of the
// answer with its packages and pictures and appends it to storeState.products.
// True exactly when a product was appended.
bool FetchProductList(int type);

// The picture of one cache file: loaded from `path` when the file exists
// (whatever `url` now says), otherwise downloaded from `url` into `path` first.
// Null when the download fails, which leaves no file.
std::unique_ptr<Gdiplus::Image> LoadCachedPicture(const std::wstring& path, const std::string& url);

// The same for a package picture, left to be decoded when first drawn: a
// present file is not read at all. Null when the download fails.
PackagePicture CachedPackagePicture(const std::wstring& path, const std::string& url);

// The records of one product object and one package object, without pictures.
// Absent or mistyped members read as 0 or empty text.
ProductRecord ReadProductRecord(const cJSON* product);
PackageRecord ReadPackageRecord(const cJSON* package);
