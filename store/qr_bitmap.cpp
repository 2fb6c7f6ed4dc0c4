#include "store/qr_bitmap.h"

#include <windows.h>

#include <qrencode.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "base/file_replace.h"

namespace {

constexpr int kModulePixels = kQrModulePixels;
constexpr size_t kHeadersSize = 54;

struct QrCodeDeleter {
    void operator()(QRcode* code) const { QRcode_free(code); }
};

void Put16(uint8_t* at, uint16_t value) {
    at[0] = static_cast<uint8_t>(value);
    at[1] = static_cast<uint8_t>(value >> 8);
}

void Put32(uint8_t* at, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<uint8_t>(value >> (8 * i));
}

// File header and BITMAPINFOHEADER of a top-down 24-bit picture of side
// `pixels` whose pixel rows take `pixelBytes`.
void WriteHeaders(uint8_t* out, int pixels, uint32_t pixelBytes) {
    Put16(out + 0, 0x4D42);  // "BM"
    Put32(out + 2, pixelBytes + kHeadersSize);
    Put32(out + 10, kHeadersSize);
    Put32(out + 14, 40);
    Put32(out + 18, static_cast<uint32_t>(pixels));
    Put32(out + 22, static_cast<uint32_t>(-pixels));  // negative: top row first
    Put16(out + 26, 1);
    Put16(out + 28, 24);
    // Compression, image size, resolutions and colour counts stay 0.
}

}  // namespace

const uint8_t* QrPicture::pixels() const {
    return file.size() > kHeadersSize ? file.data() + kHeadersSize : nullptr;
}

bool WriteQrBitmap(std::string text, const std::wstring& path, QrPicture* built) {
    if (text.empty())
        return false;
    std::unique_ptr<QRcode, QrCodeDeleter> code(
        QRcode_encodeString(text.c_str(), 1, QR_ECLEVEL_L, QR_MODE_8, 1));
    if (!code || code->width <= 0)
        return false;  // also text no version can hold

    // At most 177 modules: the picture is at most 1416 pixels square, 6 MB.
    const int width = code->width;
    const int pixels = width * kModulePixels;
    const size_t rowBytes = static_cast<size_t>(pixels) * 3;  // 24w, a multiple of 4
    const size_t pixelBytes = rowBytes * static_cast<size_t>(pixels);

    std::vector<uint8_t> file;
    try {
        file.assign(kHeadersSize + pixelBytes, 0xFF);
    } catch (const std::bad_alloc&) {
        return false;
    }
    std::fill(file.begin(), file.begin() + kHeadersSize, 0);
    WriteHeaders(file.data(), pixels, static_cast<uint32_t>(pixelBytes));

    uint8_t* rows = file.data() + kHeadersSize;
    for (int y = 0; y < width; ++y) {
        for (int x = 0; x < width; ++x) {
            if ((code->data[y * width + x] & 1) == 0)
                continue;
            for (int k = 0; k < kModulePixels; ++k) {
                uint8_t* square = rows + (static_cast<size_t>(y) * kModulePixels + k) * rowBytes +
                                  static_cast<size_t>(x) * kModulePixels * 3;
                std::fill(square, square + kModulePixels * 3, 0);
            }
        }
    }

    // The old picture goes first, so a failure shows none; the new one is
    // written by a new name and renamed into place, so that nothing planted
    // under the name is written through.
    DeleteFileW(path.c_str());
    if (!ReplaceFileContents(path, file.data(), file.size()))
        return false;
    if (built != nullptr) {
        built->side = pixels;
        built->file = std::move(file);
    }
    return true;
}
