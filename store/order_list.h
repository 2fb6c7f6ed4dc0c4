#pragma once
// The order history of this machine, a page at a time (orderList).
#include <string>
#include <vector>

#include "store/history_order.h"

constexpr int kOrderPageSize = 12;

// One page of the answer.
struct OrderListPage {
    int currentPage = 1;               // 1 when the answer names none
    int lastPage = 1;                  // 1 when the answer names none
    int total = 0;                     // orders in all
    std::vector<HistoryOrder> orders;  // in display order; links empty
};

// Reads a zero-terminated orderList answer into `page`. False when it is not
// JSON, its "status_code" is not 1000 or it has no "data" object; `page` is
// then left as it was. Absent or mistyped members read as empty or 0 (an
// amount sent as a string too).
bool ParseOrderList(const char* body, OrderListPage& page);

// Asks the store for page `page` of this machine's orders, 12 to a page,
// keeps the answer exactly as received in "b.txt" in the current directory
// (a copy for diagnosis; skipped when the file cannot be written) and reads
// it as ParseOrderList does. False when the transfer failed (an answer of 4096
// bytes or more does not fit) or the answer was refused. Blocks for at most
// 10 s.
bool FetchOrderList(int page, OrderListPage& result);
