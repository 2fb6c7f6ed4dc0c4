#pragma once
// Orders: creation with the payment QR image, the watch that waits for the
// payment, and the link lookup of a paid order.
//
// Only one order is watched at a time. The watch runs on its own thread and
// reports a paid order by posting WM_ORDER_PAID to the window that created
// it, with an OrderLinks record issued through PaidOrderPosts(); the receiver
// redeems lParam there and owns what it gets back.
#include <windows.h>

#include <string>

#include "base/posted_records.h"
#include "store/history_order.h"
#include "store/store_state.h"

// Order watch -> the window that created the order, once it is paid.
// wParam 1, lParam an OrderLinks issued through PaidOrderPosts().
constexpr UINT WM_ORDER_PAID = 0x29C5;

// Stops any watch, asks the store for an order of package `packageId` paid
// with `payType` (1 Alipay, 2 WeChat Pay) for `mobile`, writes the order's QR
// code to localConfig.qrImagePath and starts watching the order for
// `window`. True when the order was created, its QR file written and its
// watch started; otherwise there is no QR file, no current order number and
// no watch. An answer without an order number creates none.
// User-interface thread only; blocks for the request (at most 10 s).
bool CreateOrder(HWND window, int payType, int packageId, std::string mobile);

// Ends the watch at once: after the return the watch never posts and never
// reads currentOrderNo again, and no transfer is waited for. Does nothing
// when nothing is watched.
void StopOrderPolling();

// True while a watch started by CreateOrder has not been stopped (it may
// have ended by itself after reporting the payment).
bool OrderWatchActive();

// `text` as a QR code (level L, 8-bit, smallest version that holds it) in a
// 24-bit top-down BMP at `path`, 8 x 8 pixels a module, no quiet zone. False,
// and no file, for empty text, text no version can hold, or a path that
// cannot be written.
bool WriteQrBitmap(std::string text, const std::wstring& path);

// Asks the store for the details of `order.orderNo`, keeps the answer in
// "c.txt" in the current directory and fills the order's linkUrl, helpTitle
// and helpLinkUrl. True when the order's linkUrl is non-empty afterwards (a
// failed request leaves the earlier links). Blocks for at most 5 s.
bool LookupOrderLinks(HistoryOrder& order);

// The records WM_ORDER_PAID carries.
PostedRecords<OrderLinks>& PaidOrderPosts();
