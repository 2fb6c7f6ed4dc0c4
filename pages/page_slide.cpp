#include "pages/page_slide.h"

void SlidePageIn(CWnd& page) {
    page.AnimateWindow(300, AW_SLIDE | AW_HOR_NEGATIVE);
}
