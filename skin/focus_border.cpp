#include "skin/focus_border.h"

#include <algorithm>

#include "skin/display_scale.h"

namespace {

using ForDpiFn = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);

// Looked up so that the program still starts where it is missing.
ForDpiFn ParametersForDpi() {
    static const ForDpiFn function = [] {
        HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
        return user32 ? reinterpret_cast<ForDpiFn>(reinterpret_cast<void*>(
                            ::GetProcAddress(user32, "SystemParametersInfoForDpi")))
                      : nullptr;
    }();
    return function;
}

int BorderPixels(UINT action, int dpi) {
    UINT pixels = 0;
    if (ForDpiFn function = ParametersForDpi();
        function && function(action, 0, &pixels, 0, static_cast<UINT>(dpi)) && pixels != 0)
        return static_cast<int>(pixels);
    // Without a value per DPI (older systems, Wine): the plain value, which
    // is for 96 DPI, scaled.
    if (!::SystemParametersInfoW(action, 0, &pixels, 0) || pixels == 0)
        pixels = 1;
    return std::max(1, ::MulDiv(static_cast<int>(pixels), dpi, DisplayScale::kLogicalDpi));
}

}  // namespace

SIZE FocusBorderPixels(int dpi) {
    return SIZE{BorderPixels(SPI_GETFOCUSBORDERWIDTH, dpi),
                BorderPixels(SPI_GETFOCUSBORDERHEIGHT, dpi)};
}
