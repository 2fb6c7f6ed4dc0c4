#include "store/order_watch.h"

#include <utility>

#include "net/http.h"
#include "store/api_url.h"
#include "store/json_read.h"
#include "store/service_request.h"
#include "store/watch_thread.h"

namespace {

constexpr int kAnswerCapacity = 4096;
constexpr int kPollTimeoutSeconds = 5;
constexpr DWORD kPauseMilliseconds = 2000;

std::atomic<int> liveThreads{0};

// The order's links when the answer says it is paid, otherwise null.
std::unique_ptr<OrderLinks> PaidLinks(const ServiceEnvelope& envelope) {
    if (!envelope.ok() || envelope.data == nullptr)
        return nullptr;
    if (JsonGetInt(envelope.data, "status") != 1)
        return nullptr;
    auto links = std::make_unique<OrderLinks>();
    links->linkFileName = JsonGetString(envelope.data, "link_file_name");
    links->linkUrl = JsonGetString(envelope.data, "link_url");
    links->code = JsonGetString(envelope.data, "code");
    return links;
}

}  // namespace

PostedRecords<OrderLinks>& PaidOrderPosts() {
    static PostedRecords<OrderLinks> posts;
    return posts;
}

OrderWatch::OrderWatch(HWND window, const std::string& orderNo, int packageId)
    : window_(window),
      url_(ApiUrl("orderDetail", {{"order_no", orderNo}})),
      packageId_(packageId),
      stopEvent_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

bool OrderWatch::Start(const std::shared_ptr<OrderWatch>& watch) {
    if (!watch || !watch->valid())
        return false;
    // The thread holds its own reference, so it may outlive storeState's.
    auto* reference = new std::shared_ptr<OrderWatch>(watch);
    ++liveThreads;
    ScopedHandle thread = BeginWatchThread(&OrderWatch::OrderPollThread, reference);
    if (!thread) {
        --liveThreads;
        delete reference;
        return false;
    }
    watch->thread_ = std::move(thread);
    return true;
}

void OrderWatch::Stop() {
    stopping_ = true;
    SetEvent(stopEvent_.get());
}

unsigned __stdcall OrderWatch::OrderPollThread(void* argument) {
    {
        std::unique_ptr<std::shared_ptr<OrderWatch>> reference(
            static_cast<std::shared_ptr<OrderWatch>*>(argument));
        (*reference)->Run();
    }
    --liveThreads;  // the last thing: the watch may already be freed
    return 0;
}

void OrderWatch::Run() {
    TraceUrl(url_, UrlTrace::kNarrowLine);  // once; each answer shows as it comes
    ScopedTransferAbort abortOnStop(&stopping_);
    // One connection for the whole watch: a new TLS handshake every two
    // seconds costs CPU and, with a private CA bundle, a little memory each.
    ScopedKeptConnection keptConnection;
    ServiceRequest request{url_, kAnswerCapacity, kPollTimeoutSeconds, UrlTrace::kNone};
    request.traceAnswer = true;
    while (!stopping_) {
        ServiceAnswer answer;
        if (AskService(request, answer) && PostPaid(answer.envelope))
            return;
        if (WaitForSingleObject(stopEvent_.get(), kPauseMilliseconds) != WAIT_TIMEOUT)
            return;
    }
}

// True when the answer says the order is paid; it is then reported, also
// after a stop: the user has paid and must see it.
bool OrderWatch::PostPaid(const ServiceEnvelope& answer) {
    std::unique_ptr<OrderLinks> links = PaidLinks(answer);
    if (!links)
        return false;
    links->packageId = packageId_;
    // A window that is gone makes the post fail; the registry frees it.
    PaidOrderPosts().Post(window_, WM_ORDER_PAID, 1, std::move(links));
    return true;
}

int LiveOrderWatchThreads() {
    return liveThreads.load();
}

bool WaitForOrderWatchThreads(DWORD milliseconds) {
    DWORD start = GetTickCount();
    while (liveThreads.load() > 0) {
        if (GetTickCount() - start >= milliseconds)
            return false;
        Sleep(5);
    }
    return true;
}
