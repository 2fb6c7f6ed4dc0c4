#include "store/orders.h"

#include <cstdio>
#include <memory>
#include <vector>

#include "base/text.h"
#include "config/local_config.h"
#include "net/http.h"
#include "store/answer_copy.h"
#include "store/api_url.h"
#include "store/json_read.h"
#include "store/order_watch.h"
#include "store/qr_bitmap.h"

namespace {

constexpr int kOrderAnswerCapacity = 10240;
constexpr int kOrderTimeoutSeconds = 10;
constexpr int kDetailBufferSize = 4096;
constexpr int kDetailTimeoutSeconds = 5;

// The URL as the debugger shows it: widened with the ANSI code page.
void TraceUrlWide(const std::string& url) {
    const std::wstring line = AnsiToWide(url + "\r\n");
    if (!line.empty())
        OutputDebugStringW(line.c_str());
}

}  // namespace

void StopOrderPolling() {
    if (!storeState.pollThread)
        return;
    storeState.pollThread->Stop();
    storeState.pollThread.reset();  // the thread keeps the watch until it leaves
}

bool OrderWatchActive() {
    return storeState.pollThread != nullptr;
}

bool CreateOrder(HWND window, int payType, int packageId, std::string mobile) {
    // The old watch is told to stop and never reports again; there is no need
    // to wait for it, since it took its order number when it started.
    StopOrderPolling();
    storeState.currentOrderNo.clear();
    DeleteFileW(localConfig.qrImagePath.c_str());

    std::string url = ApiUrl("createOrder", {{"mac", localConfig.machineId},
                                             {"type", 1},
                                             {"channel", localConfig.channel},
                                             {"pay_type", payType},
                                             {"package_id", packageId},
                                             {"mobile", mobile}});
    TraceUrlWide(url);

    std::vector<char> answer;
    try {
        answer.assign(kOrderAnswerCapacity, 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    int length = kOrderAnswerCapacity;
    if (!HttpGetToBuffer(url, answer.data(), &length, kOrderTimeoutSeconds))
        return false;
    JsonDocument document = JsonParse(answer.data());
    if (!document)
        return false;
    ServiceEnvelope envelope = ReadEnvelope(document.get());
    if (!envelope.ok()) {
        OutputDebugStringW(Utf8ToWide(JsonGetString(document.get(), "message")).c_str());
        return false;
    }
    if (envelope.data == nullptr)
        return false;

    // Without its number the order's payment could never be seen: the user
    // would pay for a link that never comes.
    std::string orderNo = JsonGetString(envelope.data, "order_no");
    if (orderNo.empty())
        return false;
    if (!WriteQrBitmap(JsonGetString(envelope.data, "qrcode"), localConfig.qrImagePath)) {
        return false;
    }
    auto watch = std::make_shared<OrderWatch>(window, orderNo, packageId);
    if (!OrderWatch::Start(watch)) {
        // Nothing would see this order paid: its QR code must not be shown
        // to be paid, so the page keeps its placeholder.
        DeleteFileW(localConfig.qrImagePath.c_str());
        return false;
    }
    storeState.currentOrderNo = orderNo;
    storeState.pollThread = std::move(watch);
    return true;
}

bool LookupOrderLinks(HistoryOrder& order) {
    std::string url = ApiUrl("orderDetail", {{"order_no", order.orderNo}});
    std::vector<char> answer(kDetailBufferSize, 0);
    int length = kDetailBufferSize - 1;
    if (HttpGetToBuffer(url, answer.data(), &length, kDetailTimeoutSeconds)) {
        WriteAnswerCopy("c.txt", answer.data(), length);
        JsonDocument document = JsonParse(answer.data());
        ServiceEnvelope envelope = ReadEnvelope(document.get());
        if (envelope.ok() && envelope.data != nullptr) {
            order.linkUrl = JsonGetString(envelope.data, "link_url");
            order.helpTitle = JsonGetString(envelope.data, "help_title");
            order.helpLinkUrl = JsonGetString(envelope.data, "help_link_url");
        }
    }
    return !order.linkUrl.empty();
}
