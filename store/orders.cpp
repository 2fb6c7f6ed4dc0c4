#include "store/orders.h"

#include <memory>
#include <utility>

#include "base/text.h"
#include "config/local_config.h"
#include "store/api_url.h"
#include "store/json_read.h"
#include "store/order_watch.h"
#include "store/qr_bitmap.h"
#include "store/service_request.h"

namespace {

constexpr int kOrderAnswerCapacity = 10240;
constexpr int kOrderTimeoutSeconds = 10;
// The lookup has always kept one of its 4096 bytes free: an answer of 4095
// bytes or more does not fit.
constexpr int kDetailCapacity = 4095;
constexpr int kDetailTimeoutSeconds = 5;

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

void DiscardOrderQr() {
    DeleteFileW(localConfig.qrImagePath.c_str());
    storeState.currentQr = QrPicture{};
}

bool CreateOrder(HWND window, int payType, int packageId, std::string mobile) {
    // The old watch is told to stop and never reports again; there is no need
    // to wait for it, since it took its order number when it started.
    StopOrderPolling();
    storeState.currentOrderNo.clear();
    DiscardOrderQr();

    ServiceRequest request{ApiUrl("createOrder", {{"mac", localConfig.machineId},
                                                  {"type", 1},
                                                  {"channel", localConfig.channel},
                                                  {"pay_type", payType},
                                                  {"package_id", packageId},
                                                  {"mobile", mobile}}),
                           kOrderAnswerCapacity, kOrderTimeoutSeconds, UrlTrace::kWideLine};
    ServiceAnswer answer;
    if (!AskService(request, answer) || !answer.document)
        return false;
    const ServiceEnvelope& envelope = answer.envelope;
    if (!envelope.ok()) {
        OutputDebugStringW(Utf8ToWide(envelope.message).c_str());
        return false;
    }
    if (envelope.data == nullptr)
        return false;

    // Without its number the order's payment could never be seen: the user
    // would pay for a link that never comes.
    std::string orderNo = JsonGetString(envelope.data, "order_no");
    if (orderNo.empty())
        return false;
    QrPicture qr;
    if (!WriteQrBitmap(JsonGetString(envelope.data, "qrcode"), localConfig.qrImagePath, &qr)) {
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
    storeState.currentQr = std::move(qr);
    storeState.pollThread = std::move(watch);
    return true;
}

bool LookupOrderLinks(HistoryOrder& order) {
    ServiceRequest request{ApiUrl("orderDetail", {{"order_no", order.orderNo}}), kDetailCapacity,
                           kDetailTimeoutSeconds, UrlTrace::kNone};
    request.answerCopy = "c.txt";
    ServiceAnswer answer;
    const ServiceEnvelope& envelope = answer.envelope;
    if (AskService(request, answer) && envelope.ok() && envelope.data != nullptr) {
        order.linkUrl = JsonGetString(envelope.data, "link_url");
        order.helpTitle = JsonGetString(envelope.data, "help_title");
        order.helpLinkUrl = JsonGetString(envelope.data, "help_link_url");
    }
    return !order.linkUrl.empty();
}
