#pragma once
// One order of the order history, as the orderList answer lists it; the
// link members are filled later by LookupOrderLinks.
#include <string>

struct HistoryOrder {
    std::string orderNo;
    std::string packageName;  // UTF-8
    double payCount = 0;
    int payStatus = 0;  // 1 paid, anything else not paid
    std::string payTime;
    std::string mac;
    int packageId = 0;
    std::string linkUrl;  // empty until LookupOrderLinks fills it
    std::string helpTitle;
    std::string helpLinkUrl;
};
