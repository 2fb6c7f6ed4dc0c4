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

// A GDI+ picture of the file, or null when memory is short. The load status is
// not examined: a file that is no picture yields a picture that draws nothing.
// The picture holds the file open until it is freed. GDI+ must be running.
std::unique_ptr<Gdiplus::Image> LoadPictureFile(const std::wstring& path);
