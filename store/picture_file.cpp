#include "store/picture_file.h"

#include <windows.h>
#include <gdiplus.h>

#include <new>

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
    // GDI+'s own allocator, as Image's operator new uses, but checked: that
    // operator may return null, which a new-expression cannot handle.
    void* memory = Gdiplus::DllExports::GdipAlloc(sizeof(Gdiplus::Image));
    if (!memory)
        return nullptr;
    // Image's operator delete, which the unique_ptr uses, is GdipFree.
    return std::unique_ptr<Gdiplus::Image>(::new (memory) Gdiplus::Image(path.c_str()));
}
