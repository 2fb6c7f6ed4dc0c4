#pragma once
// Orders: creation with the payment QR image and the start of the watch that
// waits for the payment (store/order_watch.h), and the link lookup of a paid
// order.
//
// Only one order is watched at a time.
#include <windows.h>

#include <string>

#include "store/history_order.h"
#include "store/store_state.h"

// Stops any watch, asks the store for an order of package `packageId` paid
// with `payType` (1 Alipay, 2 WeChat Pay) for `mobile`, writes the order's QR
// code to localConfig.qrImagePath, keeps it as storeState.currentQr and
// starts watching the order for `window`. True when the order was created,
// its QR file written and its watch started; otherwise there is no QR file,
// no QR code kept, no current order number and no watch. An answer without an
// order number creates none.
// User-interface thread only; blocks for the request (at most 10 s).
bool CreateOrder(HWND window, int payType, int packageId, std::string mobile);

// Deletes the QR file and lets go of the kept QR code: the pages show their
// placeholder until the next order.
void DiscardOrderQr();

// Ends the watch at once: after the return the watch polls no more, and no
// transfer is waited for; a paid answer it had already received is still
// reported. Does nothing when nothing is watched.
void StopOrderPolling();

// True while a watch started by CreateOrder has not been stopped (it may
// have ended by itself after reporting the payment).
bool OrderWatchActive();

// Asks the store for the details of `order.orderNo`, keeps the answer in
// "c.txt" in the current directory and fills the order's linkUrl, helpTitle
// and helpLinkUrl. True when the order's linkUrl is non-empty afterwards (a
// failed request leaves the earlier links). Blocks for at most 5 s.
bool LookupOrderLinks(HistoryOrder& order);
