#pragma once
// The payment QR code as a picture file, and the same picture in memory.
#include <cstdint>
#include <string>
#include <vector>

// Pixels a side of one module in the picture.
constexpr int kQrModulePixels = 8;

// A QR picture as WriteQrBitmap writes it: the BMP file's bytes, whose
// pixels are 24-bit rows, top row first, `side` pixels square. Empty (side 0)
// when there is none.
struct QrPicture {
    int side = 0;
    std::vector<uint8_t> file;

    bool empty() const { return side == 0; }
    const uint8_t* pixels() const;
    int stride() const { return side * 3; }  // 24 bits a pixel, a multiple of 4
};

// `text` as a QR code (level L, 8-bit, smallest version that holds it) in a
// 24-bit top-down BMP at `path`, 8 x 8 pixels a module, no quiet zone, and
// with `built` the same picture in memory. False, with no file and `built`
// left as it was, for empty text, text no version can hold, or a path that
// cannot be written.
bool WriteQrBitmap(std::string text, const std::wstring& path, QrPicture* built = nullptr);
