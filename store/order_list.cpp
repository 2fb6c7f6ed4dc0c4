#include "store/order_list.h"

#include <utility>

#include "config/local_config.h"
#include "store/api_url.h"
#include "store/json_read.h"
#include "store/service_request.h"

namespace {

constexpr int kBufferSize = 4096;
constexpr int kTimeoutSeconds = 10;

int JsonGetIntOr(const cJSON* object, const char* key, int absent) {
    const cJSON* member = JsonFindMember(object, key);
    return member ? member->valueint : absent;
}

// A number's value; anything else (a string of digits too) is 0.
double JsonGetNumber(const cJSON* object, const char* key) {
    const cJSON* member = JsonFindMember(object, key);
    return cJSON_IsNumber(member) ? member->valuedouble : 0.0;
}

HistoryOrder ReadOrder(const cJSON* item) {
    HistoryOrder order;
    order.orderNo = JsonGetString(item, "order_no");
    order.packageName = JsonGetString(item, "package_name");
    order.payCount = JsonGetNumber(item, "pay_count");
    order.payStatus = JsonGetInt(item, "pay_status");
    order.payTime = JsonGetString(item, "pay_time");
    order.mac = JsonGetString(item, "mac");
    order.packageId = JsonGetInt(item, "package_id");
    return order;
}

bool ReadOrderListPage(const ServiceEnvelope& envelope, OrderListPage& page) {
    if (!envelope.ok() || !cJSON_IsObject(envelope.data))
        return false;
    OrderListPage read;
    read.currentPage = JsonGetIntOr(envelope.data, "current_page", 1);
    read.lastPage = JsonGetIntOr(envelope.data, "last_page", 1);
    read.total = JsonGetInt(envelope.data, "total");
    // The orders are the node's children, whatever its type: the elements of
    // an array or the members of an object (a scalar has none).
    const cJSON* orders = JsonFindMember(envelope.data, "data");
    for (const cJSON* item = orders ? orders->child : nullptr; item; item = item->next)
        read.orders.push_back(ReadOrder(item));
    page = std::move(read);
    return true;
}

}  // namespace

bool ParseOrderList(const char* body, OrderListPage& page) {
    JsonDocument document = JsonParse(body);
    return ReadOrderListPage(ReadEnvelope(document.get()), page);
}

bool FetchOrderList(int page, OrderListPage& result) {
    ServiceRequest request{
        ApiUrl("orderList",
               {{"mac", localConfig.machineId}, {"page", page}, {"pageSize", kOrderPageSize}}),
        kBufferSize, kTimeoutSeconds};
    request.answerCopy = "b.txt";
    ServiceAnswer answer;
    return AskService(request, answer) && ReadOrderListPage(answer.envelope, result);
}
