#include "net/http_session.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>

#include "base/scoped_handle.h"
#include "base/text.h"
#include "net/http.h"
#include "net/system_proxy.h"

namespace http_detail {
namespace {

// One lock per kind of shared data, so a DNS lookup does not wait on the
// connection cache.
struct ShareLocks {
    std::mutex byData[CURL_LOCK_DATA_LAST];
};

std::once_flag initOnce;
std::atomic<bool> sharingEnabled{true};

// libcurl cannot share a connection cache between concurrent threads (a
// known limitation of its share interface), so connections are shared only
// by the transfers of the thread that initialised the transport (the
// user-interface thread). Other threads (order polling) share only DNS
// answers: resuming one TLS session from concurrent threads failed now and
// then in the handshake (about one request in two thousand), and a poll every
// two seconds gains nothing worth that from skipping a handshake. Separate
// locks also mean that the user-interface thread never waits on a lock a
// worker holds.
DWORD ownerThread = 0;
CURLSH* ownerShare = nullptr;
CURLSH* workerShare = nullptr;
ShareLocks ownerLocks;
ShareLocks workerLocks;

// The store's own host and port, and the bundle that vouches for it.
struct TrustedStore {
    std::string host;  // lower case
    long port = 0;
    std::shared_ptr<const std::string> pem;
};

std::mutex trustMutex;
TrustedStore trustedStore;

void LockShare(CURL*, curl_lock_data data, curl_lock_access, void* locks) {
    static_cast<ShareLocks*>(locks)->byData[data].lock();
}

void UnlockShare(CURL*, curl_lock_data data, void* locks) {
    static_cast<ShareLocks*>(locks)->byData[data].unlock();
}

CURLSH* NewShare(ShareLocks* locks, bool connectionsAndSessions) {
    CURLSH* share = curl_share_init();
    if (share != nullptr) {
        curl_share_setopt(share, CURLSHOPT_LOCKFUNC, LockShare);
        curl_share_setopt(share, CURLSHOPT_UNLOCKFUNC, UnlockShare);
        curl_share_setopt(share, CURLSHOPT_USERDATA, locks);
        if (connectionsAndSessions) {
            curl_share_setopt(share, CURLSHOPT_SHARE, CURL_LOCK_DATA_CONNECT);
            curl_share_setopt(share, CURLSHOPT_SHARE, CURL_LOCK_DATA_SSL_SESSION);
        }
        curl_share_setopt(share, CURLSHOPT_SHARE, CURL_LOCK_DATA_DNS);
    }
    return share;
}

void InitOnce() {
    curl_global_init(CURL_GLOBAL_ALL);
    ownerThread = GetCurrentThreadId();
    ownerShare = NewShare(&ownerLocks, true);
    workerShare = NewShare(&workerLocks, false);
    // Never cleaned up: transfers may run until the process ends.
    // The user's proxy settings, read before the first request.
    LoadSystemProxySettings();
}

// Whole file, or false; bundles are small, anything over 16 MiB is refused.
bool ReadWholeFile(const std::wstring& path, std::string* bytes) {
    const ScopedFilePtr f(_wfopen(path.c_str(), L"rb"));
    if (!f) {
        return false;
    }
    std::string data;
    char chunk[16384];
    size_t n;
    while ((n = fread(chunk, 1, sizeof chunk, f.get())) > 0) {
        data.append(chunk, n);
        if (data.size() > (16u << 20)) {
            return false;
        }
    }
    const bool ok = ferror(f.get()) == 0;
    if (ok) {
        *bytes = std::move(data);
    }
    return ok;
}

}  // namespace

bool OriginOf(const std::string& url, std::string* host, long* port, std::string* scheme) {
    const std::unique_ptr<CURLU, decltype(&curl_url_cleanup)> parsed(curl_url(), &curl_url_cleanup);
    if (!parsed) {
        return false;
    }
    char* hostPart = nullptr;
    char* portPart = nullptr;
    bool ok = curl_url_set(parsed.get(), CURLUPART_URL, url.c_str(), 0) == CURLUE_OK &&
              curl_url_get(parsed.get(), CURLUPART_HOST, &hostPart, 0) == CURLUE_OK;
    const std::unique_ptr<char, decltype(&curl_free)> hostText(hostPart, &curl_free);
    ok = ok &&
         curl_url_get(parsed.get(), CURLUPART_PORT, &portPart, CURLU_DEFAULT_PORT) == CURLUE_OK;
    const std::unique_ptr<char, decltype(&curl_free)> portText(portPart, &curl_free);
    char* schemePart = nullptr;
    ok = ok && (scheme == nullptr ||
                curl_url_get(parsed.get(), CURLUPART_SCHEME, &schemePart, 0) == CURLUE_OK);
    const std::unique_ptr<char, decltype(&curl_free)> schemeText(schemePart, &curl_free);
    if (ok && scheme != nullptr) {
        *scheme = AsciiLower(schemeText.get());
    }
    if (ok) {
        *host = AsciiLower(hostText.get());
        *port = std::strtol(portText.get(), nullptr, 10);
        ok = !host->empty() && *port > 0;
    }
    return ok;
}

void EnsureGlobalInit() {
    std::call_once(initOnce, InitOnce);
}

bool ConnectionSharingEnabled() {
    return sharingEnabled.load();
}

bool IsOwnerThread() {
    return GetCurrentThreadId() == ownerThread;
}

CURLSH* SharedCaches() {
    if (!sharingEnabled.load()) {
        return nullptr;
    }
    return IsOwnerThread() ? ownerShare : workerShare;
}

void CloseOwnerConnections() {
    if (!IsOwnerThread() || ownerShare == nullptr) {
        return;
    }
    // Only this thread's transfers use the share, and none runs now, so it
    // can be swapped; cleanup refuses (and the old share stays) if one is
    // still attached.
    CURLSH* fresh = NewShare(&ownerLocks, true);
    if (fresh == nullptr) {
        return;
    }
    if (curl_share_cleanup(ownerShare) == CURLSHE_OK) {
        ownerShare = fresh;
    } else {
        curl_share_cleanup(fresh);
    }
}

std::shared_ptr<const std::string> TrustedCaBundleFor(const std::string& url) {
    TrustedStore store;
    {
        std::lock_guard<std::mutex> lock(trustMutex);
        if (!trustedStore.pem) {
            return nullptr;
        }
        store = trustedStore;
    }
    std::string host;
    long port = 0;
    if (!OriginOf(url, &host, &port) || host != store.host || port != store.port) {
        return nullptr;
    }
    return store.pem;
}

}  // namespace http_detail

void HttpGlobalInit() {
    http_detail::EnsureGlobalInit();
}

void SetConnectionSharing(bool enabled) {
    http_detail::sharingEnabled.store(enabled);
}

bool SetTrustedCaFile(const std::wstring& pemPath, const std::string& storeHost) {
    http_detail::TrustedStore store;
    bool ok = true;
    if (!pemPath.empty()) {
        std::string bytes;
        ok = http_detail::ReadWholeFile(pemPath, &bytes) &&
             bytes.find("-----BEGIN CERTIFICATE-----") != std::string::npos;
        if (!ok) {
            OutputDebugStringW((L"ca_file unreadable or without certificates: " + pemPath).c_str());
        }
        // The same parser as the requests', so that both agree on the host.
        if (ok && !http_detail::OriginOf("https://" + storeHost + "/", &store.host, &store.port)) {
            OutputDebugStringA(("ca_file: no usable store host in " + storeHost).c_str());
            ok = false;
        }
        if (ok) {
            store.pem = std::make_shared<const std::string>(std::move(bytes));
        } else {
            store = http_detail::TrustedStore();
        }
    }
    std::lock_guard<std::mutex> lock(http_detail::trustMutex);
    http_detail::trustedStore = std::move(store);
    return ok;
}

bool SetTrustedCaFile(const std::string& pemPathUtf8, const std::string& storeHost) {
    if (pemPathUtf8.empty()) {
        return SetTrustedCaFile(std::wstring(), storeHost);
    }
    std::wstring wide = Utf8ToWide(pemPathUtf8);
    if (wide.empty()) {
        SetTrustedCaFile(std::wstring(), storeHost);
        return false;
    }
    return SetTrustedCaFile(wide, storeHost);
}
