#include "app/page_switcher.h"

namespace {

constexpr DWORD kSlideMilliseconds = 300;

}  // namespace

void SlidePageIn(CWnd& page) {
    page.AnimateWindow(kSlideMilliseconds, AW_SLIDE | AW_HOR_NEGATIVE);
}

void PageSwitcher::OpenOrder(int view, const PackageRecord& record) {
    ShowStoreFrontControls(SW_HIDE);
    if (firstPayPage_) {
        pagePay1_.ShowPackage(view, record);
        SlidePageIn(pagePay1_);
    } else {
        pagePay2_.ShowPackage(view, record);
        SlidePageIn(pagePay2_);
    }
}

void PageSwitcher::OpenHistory() {
    ShowStoreFrontControls(SW_HIDE);
    pagePay1_.ShowWindow(SW_HIDE);
    pageHistory_.FetchOrderPage(1);
    // pagePay2 may stay shown: the history page lies above it.
    SlidePageIn(pageHistory_);
}

void PageSwitcher::BackToStoreFront() {
    pagePay1_.ShowWindow(SW_HIDE);
    pagePay2_.ShowWindow(SW_HIDE);
    HideHistory();
    ShowStoreFrontControls(SW_SHOW);
}

void PageSwitcher::OpenOrderFromHistory(const PackageRecord& record) {
    ShowStoreFrontControls(SW_HIDE);
    HideHistory();
    // The page copies what it keeps; the picture stays the catalogue's.
    OpenOrder(3, record);
}

void PageSwitcher::BringPaidPageForward(CWnd& page) {
    const bool historyShows = pageHistory_.IsWindowVisible() != FALSE;
    if (page.IsWindowVisible() && !historyShows)
        return;
    ShowStoreFrontControls(SW_HIDE);
    if (historyShows)
        HideHistory();
    if (!page.IsWindowVisible())
        SlidePageIn(page);
}

void PageSwitcher::HideHistory() {
    pageHistory_.AnimateWindow(kSlideMilliseconds, AW_HIDE | AW_SLIDE | AW_HOR_POSITIVE);
}

void PageSwitcher::ShowStoreFrontControls(int nCmdShow) {
    mobileEdit_.ShowWindow(nCmdShow);
    selector_.ShowWindow(nCmdShow);
}
