#include "net/http.h"

// The winsock headers curl uses must come before windows.h, which
// scoped_handle.h brings.
#include <winsock2.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <memory>
#include <mutex>

#include "base/file_replace.h"
#include "base/scoped_handle.h"
#include "net/kept_handle_state.h"
#include "net/http_session.h"
#include "net/system_proxy.h"

namespace {

struct EasyHandleCleanup {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
using EasyHandle = std::unique_ptr<CURL, EasyHandleCleanup>;

thread_local int lastError = CURLE_OK;
thread_local const std::atomic<bool>* abortFlag = nullptr;
// The handle a ScopedKeptConnection keeps for this thread; its connection
// cache lives as long as the handle.
thread_local CURL* keptHandle = nullptr;

int CheckAbort(void* flag, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return static_cast<const std::atomic<bool>*>(flag)->load() ? 1 : 0;
}

size_t WriteChunk(char* data, size_t size, size_t count, void* userData) {
    WriteSink* sink = *static_cast<WriteSink**>(userData);
    size_t n = size * count;
    if (sink == nullptr) {
        return n;
    }
    if (sink->buffer != nullptr) {
        // One byte always stays free for the terminator. A body that does not
        // fit cannot be used, so the transfer stops here.
        if (static_cast<int64_t>(sink->received) + static_cast<int64_t>(n) >=
            static_cast<int64_t>(sink->capacity)) {
            sink->overflowed = true;
            return 0;
        }
        memcpy(sink->buffer + sink->received, data, n);
    } else if (sink->file != nullptr) {
        if (sink->maxBytes > 0 && static_cast<int64_t>(sink->received) + static_cast<int64_t>(n) >
                                      static_cast<int64_t>(sink->maxBytes)) {
            sink->overflowed = true;
            return 0;
        }
        DWORD written = 0;
        if (n > 0x7fffffff ||
            !WriteFile(sink->file, data, static_cast<DWORD>(n), &written, nullptr))
            written = 0;
        n = written;
    } else {
        return n;  // neither buffer nor file: nothing to keep
    }
    // A download may outgrow the 32-bit count; it then stays at its maximum.
    int64_t total = static_cast<int64_t>(sink->received) + static_cast<int64_t>(n);
    sink->received = total > INT32_MAX ? INT32_MAX : static_cast<int32_t>(total);
    return n;
}

// A redirect must not take an https request to plain http.
const char* RedirectProtocols(const std::string& url) {
    return curl_strnequal(url.c_str(), "https:", 6) ? "https" : "http,https";
}

// A transfer trusted through the store's own CA must stay on the store's
// host and port: the CA is set for the whole transfer, so a redirect to
// another host would have that host vouched for by the store's CA.
struct StoreOrigin {
    CURL* handle = nullptr;
    std::string host;
    long port = 0;
};

// Called before each request of a transfer, the first and every redirect.
int StayOnStoreOrigin(void* data, char*, char*, int, int) {
    const StoreOrigin* origin = static_cast<const StoreOrigin*>(data);
    char* url = nullptr;
    std::string host;
    long port = 0;
    if (curl_easy_getinfo(origin->handle, CURLINFO_EFFECTIVE_URL, &url) == CURLE_OK &&
        url != nullptr && http_detail::OriginOf(url, &host, &port) && host == origin->host &&
        port == origin->port) {
        return CURL_PREREQFUNC_OK;
    }
    OutputDebugStringA(
        ("Redirect away from the store's host refused: " + std::string(url != nullptr ? url : "?"))
            .c_str());
    return CURL_PREREQFUNC_ABORT;
}

// Keeps the header list alive for the transfer and frees it afterwards.
class HeaderList {
public:
    explicit HeaderList(const std::vector<std::string>& lines) {
        for (const std::string& line : lines) {
            curl_slist* next = curl_slist_append(list_, line.c_str());
            if (next != nullptr) {
                list_ = next;
            }
        }
    }
    ~HeaderList() { curl_slist_free_all(list_); }
    HeaderList(const HeaderList&) = delete;
    HeaderList& operator=(const HeaderList&) = delete;
    curl_slist* get() const { return list_; }

private:
    curl_slist* list_ = nullptr;
};

// Everything a transfer sets but its route. The handle keeps pointers to
// sinkSlot, headers, errorText, caBundle's bytes and storeOrigin until it is
// reset or freed.
void SetTransferOptions(CURL* curl, const std::string& url, WriteSink** sinkSlot,
                        bool includeHeaders, long timeoutMs, curl_slist* headers, char* errorText,
                        const std::string* caBundle, StoreOrigin* storeOrigin, bool kept) {
    WriteSink* sink = *sinkSlot;
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
    if (caBundle != nullptr) {
        curl_blob blob{const_cast<char*>(caBundle->data()), caBundle->size(), CURL_BLOB_NOCOPY};
        curl_easy_setopt(curl, CURLOPT_CAINFO_BLOB, &blob);
        storeOrigin->handle = curl;
        http_detail::OriginOf(url, &storeOrigin->host, &storeOrigin->port);
        curl_easy_setopt(curl, CURLOPT_PREREQFUNCTION, StayOnStoreOrigin);
        curl_easy_setopt(curl, CURLOPT_PREREQDATA, storeOrigin);
    }
    // An unreachable revocation server must not cut the store off; a revoked
    // certificate is still refused.
    curl_easy_setopt(curl, CURLOPT_SSL_OPTIONS, static_cast<long>(CURLSSLOPT_REVOKE_BEST_EFFORT));
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, WriteChunk);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, sinkSlot);
    if (sink != nullptr && sink->file != nullptr && sink->maxBytes > 0) {
        // Refuses an announced length at once; the write callback stops the rest.
        curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(sink->maxBytes));
    }
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_HEADER, includeHeaders ? 1L : 0L);
    if (headers != nullptr) {
        curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
    }
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, 20L);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, timeoutMs);
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, -1L);
    curl_easy_setopt(curl, CURLOPT_AUTOREFERER, 1L);
    // URLs come from the store's answers: only web URLs may be fetched, never
    // file:, smb: or the other schemes the library knows.
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, RedirectProtocols(url));
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorText);
    if (abortFlag != nullptr) {
        curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, CheckAbort);
        curl_easy_setopt(curl, CURLOPT_XFERINFODATA, const_cast<std::atomic<bool>*>(abortFlag));
        curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    }
    if (CURLSH* share = kept ? nullptr : http_detail::SharedCaches()) {
        curl_easy_setopt(curl, CURLOPT_SHARE, share);
    }
}

// The route of one attempt. A proxy that asks who the user is gets the
// Windows logon through Negotiate or NTLM (libcurl's SSPI, the current
// user's credentials: the empty name and password say so); no password is
// ever asked for or kept, and a proxy that offers only Basic is not answered.
void UseRoute(CURL* curl, const std::string& route) {
    if (route.empty()) {
        curl_easy_setopt(curl, CURLOPT_PROXY, "");  // direct; the environment is not read either
        return;
    }
    curl_easy_setopt(curl, CURLOPT_PROXY, ("http://" + route).c_str());
    curl_easy_setopt(curl, CURLOPT_PROXYTYPE, static_cast<long>(CURLPROXY_HTTP));
    curl_easy_setopt(curl, CURLOPT_PROXYAUTH,
                     static_cast<long>(CURLAUTH_NEGOTIATE | CURLAUTH_NTLM));
    curl_easy_setopt(curl, CURLOPT_PROXYUSERPWD, ":");
}

// Whether an attempt failed before its route carried anything: the proxy
// (or, for a direct route, the host) could not be reached. Only then is the
// next route of a script's answer tried.
bool RouteUnreachable(CURL* curl, CURLcode result) {
    long connectCode = 0;
    curl_easy_getinfo(curl, CURLINFO_HTTP_CONNECTCODE, &connectCode);
    return result == CURLE_COULDNT_RESOLVE_PROXY || result == CURLE_COULDNT_RESOLVE_HOST ||
           (result == CURLE_COULDNT_CONNECT && connectCode == 0);
}

void TraceRoute(const http_detail::ProxyPlan& plan, const std::string& route) {
    if (plan.fromEnvironment) {
        OutputDebugStringA(
            ("HTTP GET through proxy " + plan.environmentProxy + " (environment): " + plan.origin)
                .c_str());
    } else if (!route.empty()) {
        OutputDebugStringA(("HTTP GET through proxy " + route + ": " + plan.origin).c_str());
    }
}

}  // namespace

bool PerformGet(const std::string& url, WriteSink* sink, bool includeHeaders, int timeoutSeconds,
                const std::vector<std::string>& extraHeaders) {
    http_detail::EnsureGlobalInit();
    const bool kept = keptHandle != nullptr && http_detail::ConnectionSharingEnabled();
    EasyHandle ownHandle(kept ? nullptr : curl_easy_init());
    CURL* curl = kept ? keptHandle : ownHandle.get();
    if (curl == nullptr) {
        lastError = CURLE_FAILED_INIT;
        return false;
    }
    std::shared_ptr<const std::string> caBundle = http_detail::TrustedCaBundleFor(url);
    HeaderList headers(extraHeaders);
    char errorText[CURL_ERROR_SIZE] = {};
    StoreOrigin storeOrigin;

    // A script may name several routes: the next is tried only when one
    // could not be reached at all, within the same total time.
    const http_detail::ProxyPlan plan = http_detail::PlanProxyFor(url);
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + std::chrono::seconds(timeoutSeconds);
    CURLcode result = CURLE_OK;
    std::string route;
    for (size_t attempt = 0;; ++attempt) {
        route = plan.fromEnvironment ? std::string() : plan.routes[attempt];
        long timeoutMs = 0;  // no limit, as libcurl reads 0
        if (timeoutSeconds > 0) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            timeoutMs = left.count() > 1 ? static_cast<long>(left.count()) : 1L;
        }
        SetTransferOptions(curl, url, &sink, includeHeaders, timeoutMs, headers.get(), errorText,
                           caBundle.get(), &storeOrigin, kept);
        if (!plan.fromEnvironment) {
            UseRoute(curl, route);
        }
        TraceRoute(plan, route);

        result = curl_easy_perform(curl);
        const bool tryNext = !plan.fromEnvironment && attempt + 1 < plan.routes.size() &&
                             RouteUnreachable(curl, result) &&
                             (timeoutSeconds <= 0 || Clock::now() < deadline);
        if (kept) {
            // The kept handle waits for its next use pointing at nothing of this
            // transfer's (error buffer, sink, header list, CA bundle, stop flag);
            // its connections and caches stay.
            curl_easy_reset(curl);
        }
        if (!tryNext) {
            break;
        }
    }
    ownHandle.reset();
    lastError = result;
    if (result != CURLE_OK) {
        std::string line = "HTTP GET failed (" + std::to_string(result) + " " +
                           (errorText[0] ? errorText : curl_easy_strerror(result)) + ")" +
                           (route.empty() ? "" : " through proxy " + route) + ": " + url;
        OutputDebugStringA(line.c_str());
        return false;
    }
    return sink == nullptr || !sink->overflowed;
}

bool HttpGetToBuffer(std::string url, char* buffer, int* length, int timeoutSeconds) {
    if (buffer == nullptr || length == nullptr || *length < 1) {
        return false;  // no room even for the terminator
    }
    WriteSink sink;
    sink.capacity = *length;
    sink.buffer = buffer;
    if (!PerformGet(url, &sink, false, timeoutSeconds)) {
        return false;
    }
    buffer[sink.received] = '\0';
    *length = sink.received;
    return true;
}

bool HttpGetToFile(std::string url, const std::wstring& path, int timeoutSeconds,
                   int32_t maxBytes) {
    ReplacementFile file(path);
    if (!file.valid()) {
        return false;
    }
    WriteSink sink;
    sink.file = file.handle();
    sink.maxBytes = maxBytes;
    // A failed close or rename loses the download too.
    const bool ok = PerformGet(url, &sink, false, timeoutSeconds) && file.PutInPlace();
    if (!ok) {
        // Not even an older file stays under the name.
        DeleteFileW(path.c_str());
    }
    return ok;
}

ScopedTransferAbort::ScopedTransferAbort(const std::atomic<bool>* stop) {
    abortFlag = stop;
}

ScopedTransferAbort::~ScopedTransferAbort() {
    abortFlag = nullptr;
}

namespace {

// The handle (with its open connection) of the last kept connection that
// ended, for the next one: consecutive payment watches then go on with one
// connection instead of a handshake each. Only one thread at a time holds a
// handle, which libcurl allows. Never destroyed: a watch that outlives the
// application's wait at exit still hands its handle back while static
// objects are being destroyed.
struct SpareHandle {
    std::mutex mutex;
    EasyHandle handle;
};
SpareHandle& Spare() {
    static SpareHandle* spare = new SpareHandle;
    return *spare;
}

}  // namespace

ScopedKeptConnection::ScopedKeptConnection() {
    http_detail::EnsureGlobalInit();
    if (keptHandle != nullptr || http_detail::IsOwnerThread())
        return;
    {
        std::lock_guard<std::mutex> lock(Spare().mutex);
        keptHandle = Spare().handle.release();
    }
    if (keptHandle == nullptr)
        keptHandle = curl_easy_init();  // null: transfers fall back to one handle each
    ownsHandle_ = keptHandle != nullptr;
}

ScopedKeptConnection::~ScopedKeptConnection() {
    if (!ownsHandle_)
        return;
    EasyHandle handle(keptHandle);
    keptHandle = nullptr;
    std::lock_guard<std::mutex> lock(Spare().mutex);
    if (!Spare().handle)
        Spare().handle = std::move(handle);
}

void CloseIdleConnections() {
    {
        EasyHandle handle;
        {
            std::lock_guard<std::mutex> lock(Spare().mutex);
            handle = std::move(Spare().handle);
        }
        // handle closes its connection here, outside the lock
    }
    http_detail::CloseOwnerConnections();
}

int LastHttpError() {
    return lastError;
}

#ifdef PARVELLE_NET_INSPECTION
bool InspectIdleKeptHandle(std::string* url, long* status) {
    std::lock_guard<std::mutex> lock(Spare().mutex);
    CURL* handle = Spare().handle.get();
    if (handle == nullptr)
        return false;
    char* effective = nullptr;
    *status = 0;
    curl_easy_getinfo(handle, CURLINFO_EFFECTIVE_URL, &effective);
    curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, status);
    *url = effective != nullptr ? effective : "";
    return true;
}
#endif
