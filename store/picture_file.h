#pragma once
// Pictures of the catalogue and the logo, loaded from their files beside the
// executable.

#include <string>

namespace Gdiplus {
class Image;
}

// "<dir>\pdt_<type>.bin", "<dir>\<type>_<packageId>.bin" and "<dir>\<type>.bin".
std::wstring ProductPicturePath(const std::wstring& dir, int type);
std::wstring PackagePicturePath(const std::wstring& dir, int type, int packageId);
std::wstring LogoPicturePath(const std::wstring& dir, int type);

// A heap GDI+ picture of the file, or null when memory is short. The load
// status is not examined: a file that is no picture yields a picture that
// draws nothing. GDI+ must be running.
//
// The picture is never freed while the process runs: the records holding it
// live until static destruction, which comes after GdiplusShutdown.
Gdiplus::Image* LoadPictureFile(const std::wstring& path);
