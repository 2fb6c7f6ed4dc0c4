#include "store/picture_file.h"

#include <windows.h>
#include <shlwapi.h>
#include <gdiplus.h>

#include <cstdint>
#include <cstring>
#include <new>
#include <vector>

namespace {

// The store's pictures are a few hundred kilobytes at most.
constexpr LONGLONG kMaxPictureBytes = 64LL << 20;
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

// Width and height that a PNG, GIF, BMP or JPEG header claims; false for any
// other data (left to GDI+).
bool ClaimedSize(const std::vector<BYTE>& b, std::uint64_t* width, std::uint64_t* height) {
    const size_t n = b.size();
    if (n >= 24 && memcmp(b.data(), "\x89PNG\r\n\x1a\n", 8) == 0) {
        *width = BigEndian32(&b[16]);
        *height = BigEndian32(&b[20]);
        return true;
    }
    if (n >= 10 && (memcmp(b.data(), "GIF87a", 6) == 0 || memcmp(b.data(), "GIF89a", 6) == 0)) {
        *width = b[6] | (b[7] << 8);
        *height = b[8] | (b[9] << 8);
        return true;
    }
    if (n >= 26 && b[0] == 'B' && b[1] == 'M') {
        if (LittleEndian32(&b[14]) == 12) {  // the old core header: 16-bit sizes
            *width = b[18] | (b[19] << 8);
            *height = b[20] | (b[21] << 8);
        } else {
            const std::int32_t w = static_cast<std::int32_t>(LittleEndian32(&b[18]));
            const std::int32_t h = static_cast<std::int32_t>(LittleEndian32(&b[22]));
            // A negative height means top-down rows.
            *width = w < 0 ? 0 - static_cast<std::uint64_t>(static_cast<std::int64_t>(w)) : w;
            *height = h < 0 ? 0 - static_cast<std::uint64_t>(static_cast<std::int64_t>(h)) : h;
        }
        return true;
    }
    if (n >= 4 && b[0] == 0xFF && b[1] == 0xD8) {
        // Segments up to the first start-of-frame marker.
        size_t i = 2;
        while (i + 9 <= n && b[i] == 0xFF) {
            const BYTE marker = b[i + 1];
            const size_t length = (size_t{b[i + 2]} << 8) | b[i + 3];
            if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 &&
                marker != 0xCC) {
                *height = (b[i + 5] << 8) | b[i + 6];
                *width = (b[i + 7] << 8) | b[i + 8];
                return true;
            }
            if (length < 2)
                return false;
            i += 2 + length;
        }
    }
    return false;
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

bool SizeAcceptable(const std::vector<BYTE>& bytes) {
    std::uint64_t width = 0;
    std::uint64_t height = 0;
    if (!ClaimedSize(bytes, &width, &height))
        return true;
    return width <= kMaxPictureSide && height <= kMaxPictureSide &&
           width * height <= kMaxPicturePixels;
}

bool ReadWholeFile(const std::wstring& path, std::vector<BYTE>* bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    LARGE_INTEGER size{};
    bool ok = GetFileSizeEx(file, &size) && size.QuadPart <= kMaxPictureBytes;
    if (ok) {
        try {
            bytes->resize(static_cast<size_t>(size.QuadPart));
        } catch (const std::bad_alloc&) {
            ok = false;
        }
    }
    DWORD read = 0;
    if (ok && !bytes->empty())
        ok = ReadFile(file, bytes->data(), static_cast<DWORD>(bytes->size()), &read, nullptr) &&
             read == bytes->size();
    CloseHandle(file);
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
    if (!ReadWholeFile(path, &bytes) || !SizeAcceptable(bytes) || !PngImageDataWhole(bytes))
        return nullptr;
    const BYTE none = 0;
    IStream* stream =
        SHCreateMemStream(bytes.empty() ? &none : bytes.data(), static_cast<UINT>(bytes.size()));
    if (!stream)
        return nullptr;
    // GDI+'s own allocator, as Image's operator new uses, but checked: that
    // operator may return null, which a new-expression cannot handle.
    void* memory = Gdiplus::DllExports::GdipAlloc(sizeof(Gdiplus::Image));
    if (!memory) {
        stream->Release();
        return nullptr;
    }
    // Image's operator delete, which the unique_ptr uses, is GdipFree. The
    // picture takes its own reference to the stream.
    std::unique_ptr<Gdiplus::Image> picture(::new (memory) Gdiplus::Image(stream));
    stream->Release();
    return picture;
}
