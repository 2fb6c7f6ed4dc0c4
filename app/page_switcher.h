#pragma once
// Which view of the main window shows and how the views change: the store
// front with its edit and selector, the payment page that the configuration
// picks, and the order history page. The current view is held here as a
// value and the pages are one ordered list (their stacking order, top
// first); every show, hide and slide of a page goes through here, and the
// main window asks here what shows instead of reading window visibility.
#include <windows.h>

#include <functional>
#include <vector>

#include "pages/switched_page.h"
#include "skin/focus_order.h"
#include "store/store_state.h"

enum class View {
    StoreFront,
    PayPage1,  // the payment page with a fixed package
    History,
    PayPage2,  // the payment page with its own package selector
};

class PageSwitcher {
public:
    struct Entry {
        View view;
        SwitchedPage* page;
    };

    // `pages`: each page's view, in stacking order (top first; the store
    // front is under them all). `firstPayPage` is the window's pay-type flag,
    // read at every switch: non-zero picks PayPage1. `showStoreFrontControls`
    // shows or hides the store front's own child windows.
    PageSwitcher(const BYTE& firstPayPage, std::vector<Entry> pages,
                 std::function<void(bool)> showStoreFrontControls)
        : firstPayPage_(firstPayPage),
          pages_(std::move(pages)),
          shown_(pages_.size(), false),
          showStoreFrontControls_(std::move(showStoreFrontControls)) {}
    PageSwitcher(const PageSwitcher&) = delete;
    PageSwitcher& operator=(const PageSwitcher&) = delete;

    View view() const { return view_; }
    // The page of the current view; null on the store front.
    SwitchedPage* Current() const { return PageOf(view_); }
    // The page of `view`; null for the store front or a view without one.
    SwitchedPage* PageOf(View view) const;
    // The view of the page whose window is `hwnd`; false when it is none of them.
    bool ViewOfHandle(HWND hwnd, View& view) const;
    // Whether the page of `view` is on screen (the current one, or one left
    // beneath the history).
    bool Shown(View view) const;
    const std::vector<Entry>& pages() const { return pages_; }

    // The store front's action button: the payment page with `record`, in
    // `view` (1: purchase; 3: the view an order from the history is in).
    void OpenOrder(int view, const PackageRecord& record);
    // My orders: the history page slides in over whatever shows, with its
    // first page fetched.
    void OpenHistory();
    // The history's Back: the store front again.
    void BackToStoreFront();
    // The history's View details: the payment page with the order's package.
    void OpenOrderFromHistory(const PackageRecord& record);
    // The payment page of `view` has just shown a paid order: it comes to
    // the front, over the history or the store front the user went to
    // meanwhile, so that a confirmed payment is never left unseen. True when
    // the view changed.
    bool BringPaidPageForward(View view);

private:
    View PayView() const { return firstPayPage_ ? View::PayPage1 : View::PayPage2; }
    size_t IndexOf(View view) const;
    void SlideIn(View view);
    void Leave(View view);
    void Hide(size_t index);

    const BYTE& firstPayPage_;
    std::vector<Entry> pages_;
    std::vector<bool> shown_;  // per page
    std::function<void(bool)> showStoreFrontControls_;
    View view_ = View::StoreFront;
};
