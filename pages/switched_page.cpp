#include "pages/switched_page.h"

namespace {

constexpr DWORD kSlideMilliseconds = 300;

}  // namespace

void SlideWindowIn(HWND page) {
    ::AnimateWindow(page, kSlideMilliseconds, AW_SLIDE | AW_HOR_NEGATIVE);
}

void SlideWindowOut(HWND page) {
    ::AnimateWindow(page, kSlideMilliseconds, AW_HIDE | AW_SLIDE | AW_HOR_POSITIVE);
}
