#include "app/page_switcher.h"

SwitchedPage* PageSwitcher::PageOf(View view) const {
    const size_t index = IndexOf(view);
    return index < pages_.size() ? pages_[index].page : nullptr;
}

bool PageSwitcher::ViewOfHandle(HWND hwnd, View& view) const {
    if (hwnd == nullptr)
        return false;
    for (const Entry& entry : pages_) {
        if (entry.page->PageHandle() == hwnd) {
            view = entry.view;
            return true;
        }
    }
    return false;
}

bool PageSwitcher::Shown(View view) const {
    const size_t index = IndexOf(view);
    return index < pages_.size() && shown_[index];
}

size_t PageSwitcher::IndexOf(View view) const {
    for (size_t i = 0; i < pages_.size(); ++i) {
        if (pages_[i].view == view)
            return i;
    }
    return pages_.size();
}

void PageSwitcher::SlideIn(View view) {
    const size_t index = IndexOf(view);
    if (index >= pages_.size())
        return;
    pages_[index].page->SlideIn();
    shown_[index] = true;
    view_ = view;
}

void PageSwitcher::Leave(View view) {
    const size_t index = IndexOf(view);
    if (index >= pages_.size())
        return;
    pages_[index].page->Leave();
    shown_[index] = false;
}

void PageSwitcher::Hide(size_t index) {
    pages_[index].page->Leave();
    shown_[index] = false;
}

void PageSwitcher::OpenOrder(int view, const PackageRecord& record) {
    showStoreFrontControls_(false);
    const View pay = PayView();
    if (SwitchedPage* page = PageOf(pay)) {
        page->OpenWith(view, &record);
        SlideIn(pay);
    }
}

void PageSwitcher::OpenHistory() {
    showStoreFrontControls_(false);
    // Pages above the history go; those beneath stay (it lies over them).
    const size_t history = IndexOf(View::History);
    for (size_t i = 0; i < history && i < pages_.size(); ++i) {
        if (shown_[i])
            Hide(i);
    }
    if (SwitchedPage* page = PageOf(View::History)) {
        page->OpenWith(0, nullptr);
        SlideIn(View::History);
    }
}

void PageSwitcher::BackToStoreFront() {
    // The pages beneath go at once, then the one in view in its own way.
    for (size_t i = 0; i < pages_.size(); ++i) {
        if (shown_[i] && pages_[i].view != view_)
            Hide(i);
    }
    Leave(view_);
    view_ = View::StoreFront;
    showStoreFrontControls_(true);
}

void PageSwitcher::OpenOrderFromHistory(const PackageRecord& record) {
    showStoreFrontControls_(false);
    if (Shown(View::History))
        Leave(View::History);
    // The page copies what it keeps; the picture stays the catalogue's.
    OpenOrder(3, record);
}

bool PageSwitcher::BringPaidPageForward(View view) {
    const size_t index = IndexOf(view);
    if (index >= pages_.size() || view_ == view)
        return false;
    showStoreFrontControls_(false);
    if (view_ == View::History)
        Leave(View::History);
    // Another page in view over it (one the configuration does not use) goes.
    for (size_t i = 0; i < index; ++i) {
        if (shown_[i])
            Hide(i);
    }
    if (shown_[index])
        view_ = view;
    else
        SlideIn(view);
    return true;
}
