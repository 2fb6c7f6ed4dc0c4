#include "store/picture_file.h"

#include <windows.h>
#include <shlwapi.h>
#include <gdiplus.h>

#include <cstdint>
#include <cstring>
#include <new>
#include <vector>

#include "base/gdiplus_new.h"
#include "base/scoped_handle.h"

namespace {

// Larger claims are refused before GDI+ sees them: decoding one takes
// gigabytes (under Wine a failed one keeps them), and so would drawing it.
constexpr std::uint64_t kMaxPictureSide = 16384;
constexpr std::uint64_t kMaxPicturePixels = 32u << 20;

std::uint32_t BigEndian32(const BYTE* p) {
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) |
           p[3];
}

std::uint32_t LittleEndian32(const BYTE* p) {
    return (std::uint32_t{p[3]} << 24) | (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[1]} << 8) |
           p[0];
}

// The formats that may reach GDI+, recognised by their first bytes. Others
// it can decode (TIFF, icons, metafiles, ...) bring decoders and claims this
// file does not check, so they are refused.
enum class PictureFormat { kNone, kPng, kGif, kBmp, kJpeg };

PictureFormat FormatOf(const std::vector<BYTE>& b) {
    const size_t n = b.size();
    if (n >= 8 && memcmp(b.data(), "\x89PNG\r\n\x1a\n", 8) == 0)
        return PictureFormat::kPng;
    if (n >= 6 && (memcmp(b.data(), "GIF87a", 6) == 0 || memcmp(b.data(), "GIF89a", 6) == 0))
        return PictureFormat::kGif;
    if (n >= 2 && b[0] == 'B' && b[1] == 'M')
        return PictureFormat::kBmp;
    if (n >= 3 && b[0] == 0xFF && b[1] == 0xD8 && b[2] == 0xFF)
        return PictureFormat::kJpeg;
    return PictureFormat::kNone;
}

// The frame size of a JPEG, found as decoders find it: bytes up to the next
// 0xFF are skipped (a decoder warns and goes on), so are 0xFF fill bytes;
// markers without a length (RSTn, TEM, SOI) stand alone, every other marker
// is stepped over by its length, up to the first start of frame. False when
// no frame header comes before the scan, the end of the image or the data.
bool JpegFrameSize(const std::vector<BYTE>& b, std::uint64_t* width, std::uint64_t* height) {
    const size_t n = b.size();
    size_t i = 2;  // after SOI
    for (;;) {
        while (i < n && b[i] != 0xFF)
            ++i;
        while (i < n && b[i] == 0xFF)
            ++i;
        if (i >= n)
            return false;
        const BYTE marker = b[i++];
        if (marker == 0x00 || marker == 0x01 || marker == 0xD8 ||
            (marker >= 0xD0 && marker <= 0xD7))
            continue;  // stuffed zero, TEM, SOI, RSTn: no length follows
        if (marker == 0xD9 || marker == 0xDA)
            return false;  // end of image or start of scan before any frame
        if (n - i < 2)
            return false;
        const size_t length = (size_t{b[i]} << 8) | b[i + 1];
        if (length < 2)
            return false;
        const bool frame =
            marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame) {
            if (length < 8 || n - i < 7)
                return false;
            *height = (b[i + 3] << 8) | b[i + 4];
            *width = (b[i + 5] << 8) | b[i + 6];
            return true;
        }
        i += length;
    }
}

// Whether the picture's header claims a size within the limits. PNG, GIF and
// BMP have their size at a fixed place; a JPEG whose frame header cannot be
// found is refused, as a decoder would find no size either.
bool SizeAcceptable(PictureFormat format, const std::vector<BYTE>& b) {
    std::uint64_t width = 0;
    std::uint64_t height = 0;
    const size_t n = b.size();
    switch (format) {
        case PictureFormat::kPng:
            if (n < 24)
                return true;  // cut short: GDI+ fails on it at once
            width = BigEndian32(&b[16]);
            height = BigEndian32(&b[20]);
            break;
        case PictureFormat::kGif:
            if (n < 10)
                return true;
            width = b[6] | (b[7] << 8);
            height = b[8] | (b[9] << 8);
            break;
        case PictureFormat::kBmp:
            if (n < 26)
                return true;
            if (LittleEndian32(&b[14]) == 12) {  // the old core header: 16-bit sizes
                width = b[18] | (b[19] << 8);
                height = b[20] | (b[21] << 8);
            } else {
                const std::int32_t w = static_cast<std::int32_t>(LittleEndian32(&b[18]));
                const std::int32_t h = static_cast<std::int32_t>(LittleEndian32(&b[22]));
                // A negative height means top-down rows.
                width = w < 0 ? 0 - static_cast<std::uint64_t>(static_cast<std::int64_t>(w)) : w;
                height = h < 0 ? 0 - static_cast<std::uint64_t>(static_cast<std::int64_t>(h)) : h;
                // BI_JPEG and BI_PNG: a JPEG or PNG inside, with claims of its own.
                const std::uint32_t compression = n >= 34 ? LittleEndian32(&b[30]) : 0;
                if (compression == 4 || compression == 5)
                    return false;
            }
            break;
        case PictureFormat::kJpeg:
            // A height of 0 leaves the size to a later marker that is not checked.
            if (!JpegFrameSize(b, &width, &height) || height == 0)
                return false;
            break;
        case PictureFormat::kNone:
            return false;
    }
    return width <= kMaxPictureSide && height <= kMaxPictureSide &&
           width * height <= kMaxPicturePixels;
}

// A PNG cut short before the end of its image data (IDAT chunks) cannot be
// decoded; it is refused here rather than given to GDI+, which under Wine
// keeps some 6 KiB of every PNG it fails to decode. A cut after the image
// data (inside IEND, say) still goes to GDI+, which can draw it.
bool PngImageDataWhole(const std::vector<BYTE>& b) {
    if (b.size() < 8 || memcmp(b.data(), "\x89PNG\r\n\x1a\n", 8) != 0)
        return true;  // not a PNG: nothing to say
    bool sawImageData = false;
    size_t i = 8;
    while (b.size() - i >= 8) {
        const std::uint64_t length = BigEndian32(&b[i]);
        const bool imageData = memcmp(&b[i + 4], "IDAT", 4) == 0;
        if (length > 0x7FFFFFFFu || length + 12 > b.size() - i)
            return sawImageData && !imageData;  // this chunk is cut
        if (memcmp(&b[i + 4], "IEND", 4) == 0)
            return true;
        sawImageData = sawImageData || imageData;
        i += static_cast<size_t>(length) + 12;
    }
    return sawImageData;
}

bool ReadWholeFile(const std::wstring& path, std::vector<BYTE>* bytes) {
    ScopedHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    LARGE_INTEGER size{};
    bool ok = GetFileSizeEx(file.get(), &size) && size.QuadPart <= kMaxPictureFileBytes;
    if (ok) {
        try {
            bytes->resize(static_cast<size_t>(size.QuadPart));
        } catch (const std::bad_alloc&) {
            ok = false;
        }
    }
    DWORD read = 0;
    if (ok && !bytes->empty())
        ok = ReadFile(file.get(), bytes->data(), static_cast<DWORD>(bytes->size()), &read,
                      nullptr) &&
             read == bytes->size();
    return ok;
}

}  // namespace

std::wstring ProductPicturePath(const std::wstring& dir, int type) {
    return dir + L"\\pdt_" + std::to_wstring(type) + L".bin";
}

std::wstring PackagePicturePath(const std::wstring& dir, int type, int packageId) {
    return dir + L"\\" + std::to_wstring(type) + L"_" + std::to_wstring(packageId) + L".bin";
}

std::wstring LogoPicturePath(const std::wstring& dir, int type) {
    return dir + L"\\" + std::to_wstring(type) + L".bin";
}

std::unique_ptr<Gdiplus::Image> LoadPictureFile(const std::wstring& path) {
    // From memory, not from the file: GDI+ under Wine keeps the file of a
    // picture it failed to decode open for good (a BMP of impossible size,
    // for one), which left a bad download undeletable in the cache.
    std::vector<BYTE> bytes;
    if (!ReadWholeFile(path, &bytes))
        return nullptr;
    const PictureFormat format = FormatOf(bytes);
    if (!SizeAcceptable(format, bytes) || !PngImageDataWhole(bytes))
        return nullptr;
    const BYTE none = 0;
    const ScopedComPtr<IStream> stream(
        SHCreateMemStream(bytes.empty() ? &none : bytes.data(), static_cast<UINT>(bytes.size())));
    if (!stream)
        return nullptr;
    // The picture takes its own reference to the stream.
    return NewGdiplus<Gdiplus::Image>(stream.get());
}
