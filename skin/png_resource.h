#pragma once
// The program's pictures: PNG files stored as resources of type "PNG".
#include <windows.h>
#include <gdiplus.h>

#include <memory>

// Decodes PNG resource `id` of the executable into a picture that owns its
// pixels (it needs neither the resource nor any temporary memory afterwards).
// Null when the resource is absent, cannot be loaded or does not decode.
// GDI+ must be running, and must still run when the picture is freed.
std::unique_ptr<Gdiplus::Image> LoadPngResource(int id);
