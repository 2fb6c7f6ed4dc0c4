#include "pages/history_rows.h"

#include <cstdio>
#include <string>

#include "store/json_read.h"

std::wstring OrderAmountText(double amount) {
    // Sized by a first pass: 1e300 has over 300 digits.
    const int length = std::snprintf(nullptr, 0, "%0.2f", amount);
    if (length <= 0)
        return L"\uFFE5";
    std::string digits(static_cast<size_t>(length) + 1, '\0');
    std::snprintf(&digits[0], digits.size(), "%0.2f", amount);
    digits.resize(static_cast<size_t>(length));
    return L"\uFFE5" + std::wstring(digits.begin(), digits.end());
}

const wchar_t* OrderStatusText(int payStatus) {
    return payStatus == 1 ? L"购买成功" : L"未支付";
}

HistoryRowTexts MakeHistoryRowTexts(const HistoryOrder& order) {
    HistoryRowTexts texts;
    texts.orderNo = Utf8ToWide(order.orderNo);
    texts.packageName = Utf8ToWide(order.packageName);
    texts.amount = OrderAmountText(order.payCount);
    texts.status = OrderStatusText(order.payStatus);
    return texts;
}
