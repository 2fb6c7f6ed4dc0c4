#pragma once
// Pictures of the catalogue and the logo, loaded from their files beside the
// executable.

#include <windows.h>
#include <gdiplus.h>

#include <cstdint>
#include <memory>
#include <string>

// The store's pictures are a few hundred kilobytes at most: no picture file
// larger than this is downloaded or loaded.
constexpr std::int32_t kMaxPictureFileBytes = 16 << 20;

// "<dir>\pdt_<type>.bin", "<dir>\<type>_<packageId>.bin" and "<dir>\<type>.bin".
std::wstring ProductPicturePath(const std::wstring& dir, int type);
std::wstring PackagePicturePath(const std::wstring& dir, int type, int packageId);
std::wstring LogoPicturePath(const std::wstring& dir, int type);

// A GDI+ picture of the file, or null when the file cannot be read, is over
// kMaxPictureFileBytes, is no PNG, JPEG, GIF or BMP (by its first bytes),
// claims more than 16384 pixels a side or 32 Mi pixels in all, is a JPEG
// without a frame header, or memory is short. Nothing else reaches GDI+. The
// load status is not examined: a damaged picture of those formats yields a
// picture that draws nothing. The picture is made from a copy of the file in
// memory and holds no file open, so the file can be removed or replaced at
// once. GDI+ must be running.
std::unique_ptr<Gdiplus::Image> LoadPictureFile(const std::wstring& path);
