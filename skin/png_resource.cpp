#include "skin/png_resource.h"

#include <objidl.h>

#include <cstring>
#include <memory>

#include "base/gdiplus_new.h"
#include "base/scoped_handle.h"

namespace {

// GDI+ may read a stream lazily for as long as a picture made from it lives.
// Copying the decoded pixels into a picture of its own cuts that tie, so the
// memory behind the stream can go right away.
std::unique_ptr<Gdiplus::Image> DecodeIndependentCopy(IStream* stream) {
    Gdiplus::Bitmap source(stream, FALSE);
    if (source.GetLastStatus() != Gdiplus::Ok)
        return nullptr;
    const UINT width = source.GetWidth();
    const UINT height = source.GetHeight();
    if (width == 0 || height == 0)
        return nullptr;

    std::unique_ptr<Gdiplus::Bitmap> copy = NewGdiplus<Gdiplus::Bitmap>(
        static_cast<INT>(width), static_cast<INT>(height), PixelFormat32bppARGB);
    if (!copy || copy->GetLastStatus() != Gdiplus::Ok)
        return nullptr;

    Gdiplus::Rect all(0, 0, static_cast<INT>(width), static_cast<INT>(height));
    Gdiplus::BitmapData from{};
    if (source.LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &from) !=
        Gdiplus::Ok) {
        return nullptr;
    }
    Gdiplus::BitmapData to{};
    if (copy->LockBits(&all, Gdiplus::ImageLockModeWrite, PixelFormat32bppARGB, &to) !=
        Gdiplus::Ok) {
        source.UnlockBits(&from);
        return nullptr;
    }
    for (UINT y = 0; y < height; ++y) {
        const BYTE* src =
            static_cast<const BYTE*>(from.Scan0) + static_cast<INT_PTR>(y) * from.Stride;
        BYTE* dst = static_cast<BYTE*>(to.Scan0) + static_cast<INT_PTR>(y) * to.Stride;
        std::memcpy(dst, src, static_cast<size_t>(width) * 4);
    }
    copy->UnlockBits(&to);
    source.UnlockBits(&from);
    return copy;
}

std::unique_ptr<Gdiplus::Image> LoadPngOfType(int id, const wchar_t* type) {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC info = FindResourceW(module, MAKEINTRESOURCEW(id), type);
    if (!info)
        return nullptr;
    const DWORD size = SizeofResource(module, info);
    HGLOBAL loaded = LoadResource(module, info);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes || size == 0)
        return nullptr;

    const ScopedHGlobal block(GlobalAlloc(GMEM_FIXED, size));
    if (!block)
        return nullptr;
    std::memcpy(block.get(), bytes, size);  // a fixed block's handle is its address

    // The stream does not own the block (FALSE) and goes first.
    ScopedComPtr<IStream> stream;
    if (FAILED(CreateStreamOnHGlobal(block.get(), FALSE, stream.receive())))
        return nullptr;
    return DecodeIndependentCopy(stream.get());
}

}  // namespace

std::unique_ptr<Gdiplus::Image> LoadPngResource(int id) {
    return LoadPngOfType(id, L"PNG");
}

std::vector<const wchar_t*> PngVariantTypes(UINT dpi) {
    // The variants by the largest DPI each one serves without scaling up.
    static const struct {
        UINT dpi;
        const wchar_t* type;
    } kVariants[] = {{96, L"PNG"}, {144, L"PNG150"}, {192, L"PNG200"}};
    constexpr size_t kCount = sizeof(kVariants) / sizeof(kVariants[0]);
    size_t first = 0;
    while (first + 1 < kCount && kVariants[first].dpi < dpi)
        ++first;
    std::vector<const wchar_t*> types;
    for (size_t i = first; i < kCount; ++i)
        types.push_back(kVariants[i].type);
    for (size_t i = first; i-- > 0;)
        types.push_back(kVariants[i].type);
    return types;
}

const wchar_t* PngVariantOf(int id, UINT dpi) {
    HMODULE module = GetModuleHandleW(nullptr);
    for (const wchar_t* type : PngVariantTypes(dpi)) {
        if (FindResourceW(module, MAKEINTRESOURCEW(id), type) != nullptr)
            return type;
    }
    return nullptr;
}

std::unique_ptr<Gdiplus::Image> LoadPngVariant(int id, const wchar_t* type) {
    return type != nullptr ? LoadPngOfType(id, type) : nullptr;
}

std::unique_ptr<Gdiplus::Image> LoadPngResource(int id, UINT dpi) {
    for (const wchar_t* type : PngVariantTypes(dpi)) {
        if (std::unique_ptr<Gdiplus::Image> picture = LoadPngOfType(id, type))
            return picture;
    }
    return nullptr;
}
