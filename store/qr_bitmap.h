#pragma once
// The payment QR code as a picture file.
#include <string>

// Pixels a side of one module in the picture.
constexpr int kQrModulePixels = 8;

// `text` as a QR code (level L, 8-bit, smallest version that holds it) in a
// 24-bit top-down BMP at `path`, 8 x 8 pixels a module, no quiet zone. False,
// and no file, for empty text, text no version can hold, or a path that
// cannot be written.
bool WriteQrBitmap(std::string text, const std::wstring& path);
