#pragma once
// Owners of the system's resources that have no destructor of their own:
// kernel handles (events, threads, files, mutexes), registry keys, COM
// interfaces such as IStream, global and local memory blocks, C runtime
// files, GDI objects (bitmaps, fonts, icons) and memory DCs. Each frees what it holds
// when it goes; release() hands it on to whoever takes it over (the clipboard
// owns a block it accepted, for one). Copying is deleted, moving hands over.
#include <windows.h>

#include <cstdio>

template <typename Traits>
class ScopedResource {
public:
    using Type = typename Traits::Type;

    ScopedResource() = default;
    explicit ScopedResource(Type value) : value_(value) {}
    ~ScopedResource() { close(); }
    ScopedResource(const ScopedResource&) = delete;
    ScopedResource& operator=(const ScopedResource&) = delete;
    ScopedResource(ScopedResource&& other) noexcept : value_(other.release()) {}
    ScopedResource& operator=(ScopedResource&& other) noexcept {
        if (this != &other)
            reset(other.release());
        return *this;
    }

    Type get() const { return value_; }
    bool valid() const { return Traits::Valid(value_); }
    explicit operator bool() const { return valid(); }

    // Gives up ownership without freeing.
    Type release() {
        const Type value = value_;
        value_ = Traits::Empty();
        return value;
    }

    // Frees what is held and holds `value` instead.
    void reset(Type value = Traits::Empty()) {
        close();
        value_ = value;
    }

    // Frees what is held now. False only when freeing failed: a file's last
    // writes can fail on its close, which the caller may need to know.
    bool close() {
        const Type value = release();
        return !Traits::Valid(value) || Traits::Free(value);
    }

    // Frees what is held and gives the place a creating call fills in.
    Type* receive() {
        reset();
        return &value_;
    }

private:
    Type value_ = Traits::Empty();
};

namespace scoped_handle_detail {

// Kernel calls answer failure with null or INVALID_HANDLE_VALUE depending on
// the call (CreateEvent, CreateFile); neither is a handle to close.
struct KernelHandleTraits {
    using Type = HANDLE;
    static Type Empty() { return nullptr; }
    static bool Valid(Type h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static bool Free(Type h) { return CloseHandle(h) != FALSE; }
};

template <typename Interface>
struct ComTraits {
    using Type = Interface*;
    static Type Empty() { return nullptr; }
    static bool Valid(Type p) { return p != nullptr; }
    static bool Free(Type p) {
        p->Release();
        return true;
    }
};

struct GlobalMemoryTraits {
    using Type = HGLOBAL;
    static Type Empty() { return nullptr; }
    static bool Valid(Type h) { return h != nullptr; }
    static bool Free(Type h) { return GlobalFree(h) == nullptr; }
};

struct RegistryKeyTraits {
    using Type = HKEY;
    static Type Empty() { return nullptr; }
    static bool Valid(Type k) { return k != nullptr; }
    static bool Free(Type k) { return RegCloseKey(k) == ERROR_SUCCESS; }
};

// Blocks the system hands out for LocalFree (CommandLineToArgvW, FormatMessage).
struct LocalMemoryTraits {
    using Type = HLOCAL;
    static Type Empty() { return nullptr; }
    static bool Valid(Type h) { return h != nullptr; }
    static bool Free(Type h) { return LocalFree(h) == nullptr; }
};

struct CrtFileTraits {
    using Type = FILE*;
    static Type Empty() { return nullptr; }
    static bool Valid(Type f) { return f != nullptr; }
    static bool Free(Type f) { return std::fclose(f) == 0; }
};

// Bitmaps, brushes, fonts, pens: DeleteObject, once no DC has them selected.
template <typename Object>
struct GdiObjectTraits {
    using Type = Object;
    static Type Empty() { return nullptr; }
    static bool Valid(Type h) { return h != nullptr; }
    static bool Free(Type h) { return DeleteObject(h) != FALSE; }
};

// A DC made by CreateCompatibleDC (not one a window lends: ReleaseDC).
struct MemoryDcTraits {
    using Type = HDC;
    static Type Empty() { return nullptr; }
    static bool Valid(Type dc) { return dc != nullptr; }
    static bool Free(Type dc) { return DeleteDC(dc) != FALSE; }
};

// An icon loaded from a file (a resource icon is shared and never destroyed).
struct IconTraits {
    using Type = HICON;
    static Type Empty() { return nullptr; }
    static bool Valid(Type h) { return h != nullptr; }
    static bool Free(Type h) { return DestroyIcon(h) != FALSE; }
};

}  // namespace scoped_handle_detail

using ScopedHandle = ScopedResource<scoped_handle_detail::KernelHandleTraits>;
template <typename Interface>
using ScopedComPtr = ScopedResource<scoped_handle_detail::ComTraits<Interface>>;
using ScopedHGlobal = ScopedResource<scoped_handle_detail::GlobalMemoryTraits>;
using ScopedFilePtr = ScopedResource<scoped_handle_detail::CrtFileTraits>;
using ScopedRegKey = ScopedResource<scoped_handle_detail::RegistryKeyTraits>;
using ScopedHLocal = ScopedResource<scoped_handle_detail::LocalMemoryTraits>;
template <typename Object>
using ScopedGdiObject = ScopedResource<scoped_handle_detail::GdiObjectTraits<Object>>;
using ScopedBitmap = ScopedGdiObject<HBITMAP>;
using ScopedMemoryDc = ScopedResource<scoped_handle_detail::MemoryDcTraits>;
using ScopedIcon = ScopedResource<scoped_handle_detail::IconTraits>;

// An object selected into a DC for this scope: the DC's previous object is
// selected back when it ends, so the object can then be freed (and the DC
// deleted) safely. Declare it after the owners of the DC and the object.
class ScopedSelection {
public:
    ScopedSelection(HDC dc, HGDIOBJ object)
        : dc_(dc),
          previous_(dc != nullptr && object != nullptr ? SelectObject(dc, object) : nullptr) {}
    ~ScopedSelection() {
        if (previous_ != nullptr && previous_ != HGDI_ERROR)
            SelectObject(dc_, previous_);
    }
    ScopedSelection(const ScopedSelection&) = delete;
    ScopedSelection& operator=(const ScopedSelection&) = delete;

    // False when the object could not be selected.
    bool ok() const { return previous_ != nullptr && previous_ != HGDI_ERROR; }

private:
    HDC dc_;
    HGDIOBJ previous_;
};
