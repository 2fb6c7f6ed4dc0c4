#pragma once
// Which screen of the main window shows and how the screens change: the store
// front with its edit and selector, the payment page that the configuration
// picks, and the order history page. Every show, hide and slide of a page
// goes through here.
#include "controls/xcommbox.h"
#include "framework/afxedit.h"
#include "pages/page_history.h"
#include "pages/page_pay1.h"
#include "pages/page_pay2.h"
#include "store/store_state.h"

class PageSwitcher {
public:
    // `firstPayPage` is the window's pay-type flag, read at every switch: non-zero
    // picks the payment page with a fixed package.
    PageSwitcher(const BYTE& firstPayPage, CEdit& mobileEdit, XCommbox& selector,
                 CPagePay1& pagePay1, CPageHistory& pageHistory, CPagePay2& pagePay2)
        : firstPayPage_(firstPayPage),
          mobileEdit_(mobileEdit),
          selector_(selector),
          pagePay1_(pagePay1),
          pageHistory_(pageHistory),
          pagePay2_(pagePay2) {}
    PageSwitcher(const PageSwitcher&) = delete;
    PageSwitcher& operator=(const PageSwitcher&) = delete;

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
    // A payment page that has just shown a paid order comes to the front,
    // over the history or the store front the user went to meanwhile: a
    // confirmed payment is never left unseen.
    void BringPaidPageForward(CWnd& page);

private:
    void ShowStoreFrontControls(int nCmdShow);
    void HideHistory();

    const BYTE& firstPayPage_;
    CEdit& mobileEdit_;
    XCommbox& selector_;
    CPagePay1& pagePay1_;
    CPageHistory& pageHistory_;
    CPagePay2& pagePay2_;
};

// How a page enters over the store front: from the right (AnimateWindow
// 300 ms, AW_SLIDE | AW_HOR_NEGATIVE).
void SlidePageIn(CWnd& page);
