#pragma once
// The program's pictures: PNG files stored as resources of type "PNG", with
// the same pictures drawn for larger displays under the same ids as types
// "PNG150" (1.5x) and "PNG200" (2x).
#include <windows.h>
#include <gdiplus.h>

#include <memory>
#include <vector>

// Decodes PNG resource `id` of the executable into a picture that owns its
// pixels (it needs neither the resource nor any temporary memory afterwards).
// Null when the resource is absent, cannot be loaded or does not decode.
// GDI+ must be running, and must still run when the picture is freed.
std::unique_ptr<Gdiplus::Image> LoadPngResource(int id);

// The resource types to try for a display of `dpi` (96 = 100 %), best first:
// the smallest variant at least as large as the display's scale, then the
// larger ones, then the smaller ones, so that a picture is scaled down rather
// than up whenever the exe allows it.
std::vector<const wchar_t*> PngVariantTypes(UINT dpi);

// Picture `id` in the variant for a display of `dpi`: the first of
// PngVariantTypes(dpi) the exe holds. Null as for LoadPngResource(id).
std::unique_ptr<Gdiplus::Image> LoadPngResource(int id, UINT dpi);

// The type LoadPngResource(id, dpi) decodes: the first of
// PngVariantTypes(dpi) the exe holds (one of its pointers); null for none.
const wchar_t* PngVariantOf(int id, UINT dpi);

// Picture `id` of resource type `type` ("PNG", "PNG150", "PNG200").
std::unique_ptr<Gdiplus::Image> LoadPngVariant(int id, const wchar_t* type);
