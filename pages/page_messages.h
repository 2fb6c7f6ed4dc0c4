#pragma once
// Private window messages between the pages, the order watch and the main
// window. All are posted; a heap record in lParam belongs to the receiver.
#include <windows.h>

#include "base/posted_records.h"
#include "controls/list_messages.h"
#include "store/order_watch.h"
#include "store/store_state.h"
#include "resource.h"

// WM_ORDER_PAID (order watch -> payment page) is declared with the watch in
// store/order_watch.h.

// History table -> history page: WM_HISTORY_ROW_OPEN (controls/list_messages.h).

// History page -> main window. wParam kHistoryNavigateSource; lParam 0 for
// Back, or a heap PackageRecord copy of the order to open.
constexpr UINT WM_HISTORY_NAVIGATE = 0x1B70;
constexpr WPARAM kHistoryNavigateSource = IDD_PAGE_EMPTY;

// Payment page -> main window, posted when a paid order arrived: the page
// shows its paid view and must be in front, whatever the user opened since.
// wParam 0, lParam the page's window handle (no record).
constexpr UINT WM_PAID_ORDER_SHOWN = 0x29C6;

// The package copies WM_HISTORY_NAVIGATE carries: the page posts through it,
// the main window redeems lParam there.
inline PostedRecords<PackageRecord>& HistoryNavigatePosts() {
    static PostedRecords<PackageRecord> posts;
    return posts;
}
