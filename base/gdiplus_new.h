#pragma once
// GDI+ objects made with GDI+'s own allocator, checked. The GDI+ classes'
// operator new is GdipAlloc, which returns null when memory runs short; a
// new-expression (std::make_unique too) takes that operator never to return
// null and would construct the object at address 0.
//
//   std::unique_ptr<Gdiplus::Bitmap> b = NewGdiplus<Gdiplus::Bitmap>(w, h, format);
//   if (!b || b->GetLastStatus() != Gdiplus::Ok)
//       return nullptr;
#include <windows.h>
#include <gdiplus.h>

#include <memory>
#include <new>
#include <utility>

// A new T (a GDI+ class) made of `args`, or null when GDI+ has no memory for
// it. The pointer's delete is the class's own operator delete, GdipFree.
template <typename T, typename... Args>
std::unique_ptr<T> NewGdiplus(Args&&... args) {
    void* memory = Gdiplus::DllExports::GdipAlloc(sizeof(T));
    if (memory == nullptr)
        return nullptr;
    return std::unique_ptr<T>(::new (memory) T(std::forward<Args>(args)...));
}
