#pragma once
// Pictures of the catalogue and the logo, loaded from their files beside the
// executable.

#include <windows.h>
#include <gdiplus.h>

#include <memory>
#include <string>

// "<dir>\pdt_<type>.bin", "<dir>\<type>_<packageId>.bin" and "<dir>\<type>.bin".
std::wstring ProductPicturePath(const std::wstring& dir, int type);
std::wstring PackagePicturePath(const std::wstring& dir, int type, int packageId);
std::wstring LogoPicturePath(const std::wstring& dir, int type);

// A GDI+ picture of the file, or null when the file cannot be read, is over
// 64 MiB, claims more than 16384 pixels a side or 32 Mi pixels in all (a PNG,
// GIF, BMP or JPEG header), or memory is short. The load status is not examined: a file that is
// no picture yields a picture that draws nothing. The picture is made from a
// copy of the file in memory and holds no file open, so the file can be
// removed or replaced at once. GDI+ must be running.
std::unique_ptr<Gdiplus::Image> LoadPictureFile(const std::wstring& path);
