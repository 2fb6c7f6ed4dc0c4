#pragma once
// The texts of one order's row in the history table.
#include <string>

#include "store/history_order.h"

// "￥" and the amount rounded to two decimals ("￥99.00"); any double, however
// large, is written in full.
std::wstring OrderAmountText(double amount);

// "购买成功" for a paid order (pay status 1), "未支付" for every other status.
const wchar_t* OrderStatusText(int payStatus);

// Columns 0 to 3: order number, package name, amount, status.
struct HistoryRowTexts {
    std::wstring orderNo;
    std::wstring packageName;
    std::wstring amount;
    std::wstring status;
};

HistoryRowTexts MakeHistoryRowTexts(const HistoryOrder& order);
