#include "net/system_proxy.h"

#include <winsock2.h>
#include <windows.h>
#include <winhttp.h>

#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

#include "base/scoped_handle.h"
#include "net/http_session.h"
#include "net/proxy_rules.h"

namespace http_detail {
namespace {

// Automatic detection on a network without a script must cost little; a
// named script gets the time a small download needs.
constexpr DWORD kDetectionWaitMs = 2000;
constexpr DWORD kScriptWaitMs = 5000;

// WinHTTP, loaded from System32 only (never from the program's folder) the
// first time the settings are read, and kept for the process.
struct WinHttp {
    decltype(&::WinHttpGetIEProxyConfigForCurrentUser) getIeConfig = nullptr;
    decltype(&::WinHttpOpen) open = nullptr;
    decltype(&::WinHttpSetTimeouts) setTimeouts = nullptr;
    decltype(&::WinHttpGetProxyForUrl) getProxyForUrl = nullptr;
    HINTERNET session = nullptr;  // for scripts; never closed, a late answer may still use it
};

template <typename F>
void Bind(HMODULE module, const char* name, F* f) {
    *f = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

WinHttp LoadWinHttp() {
    WinHttp api;
    HMODULE module = LoadLibraryExW(L"winhttp.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (module != nullptr) {
        Bind(module, "WinHttpGetIEProxyConfigForCurrentUser", &api.getIeConfig);
        Bind(module, "WinHttpOpen", &api.open);
        Bind(module, "WinHttpSetTimeouts", &api.setTimeouts);
        Bind(module, "WinHttpGetProxyForUrl", &api.getProxyForUrl);
    }
    return api;
}

std::string Narrow(const wchar_t* text) {
    if (text == nullptr || *text == L'\0') {
        return std::string();
    }
    const int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string out(n > 0 ? n : 0, '\0');
    if (n <= 0 || WideCharToMultiByte(CP_UTF8, 0, text, -1, &out[0], n, nullptr, nullptr) != n) {
        return std::string();
    }
    out.resize(n - 1);
    return out;
}

std::wstring Wide(const std::string& text) {
    const int n = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
    std::wstring out(n > 0 ? n : 0, L'\0');
    if (n <= 0 || MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, &out[0], n) != n) {
        return std::wstring();
    }
    out.resize(n - 1);
    return out;
}

// Strings WinHTTP hands over are the caller's to free with GlobalFree.
std::string TakeWinHttpString(wchar_t* text) {
    ScopedHGlobal owner(text);
    return Narrow(text);
}

struct ProxyState {
    std::mutex mutex;      // the members below; never held while a script is asked
    std::mutex resolving;  // one script question at a time, so each origin is asked once
    bool loaded = false;
    WinHttp winHttp;
    ProxySettings settings;
    bool scriptUnavailable = false;
    std::map<std::string, std::vector<std::string>> routesByOrigin;
};

ProxyState& State() {
    static ProxyState* state = new ProxyState;  // never destroyed: a transfer may run at exit
    return *state;
}

// One question to the script, answered on a thread of its own so that the
// caller can give up after a bounded wait while WinHTTP goes on.
struct ScriptCall {
    std::wstring url;
    WINHTTP_AUTOPROXY_OPTIONS options{};
    std::wstring configUrl;
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    bool ok = false;
    std::string answer;
};

void RunScriptCall(const WinHttp& api, const std::shared_ptr<ScriptCall>& call) {
    WINHTTP_PROXY_INFO info{};
    BOOL ok = api.getProxyForUrl(api.session, call->url.c_str(), &call->options, &info);
    if (!ok && GetLastError() == ERROR_WINHTTP_LOGIN_FAILURE) {
        // A script server that asks for the logon gets it on the second try.
        call->options.fAutoLogonIfChallenged = TRUE;
        ok = api.getProxyForUrl(api.session, call->url.c_str(), &call->options, &info);
    }
    std::string answer;
    if (ok) {
        const std::string list = TakeWinHttpString(info.lpszProxy);
        TakeWinHttpString(info.lpszProxyBypass);
        answer = info.dwAccessType == WINHTTP_ACCESS_TYPE_NAMED_PROXY ? list : "DIRECT";
    }
    std::lock_guard<std::mutex> lock(call->mutex);
    call->ok = ok != FALSE;
    call->answer = std::move(answer);
    call->finished = true;
    call->done.notify_all();
}

// The script's answer for the URL; false when there is none in time.
// The script is asked for the origin only: what the path and query carry is
// none of its business, and the answer is kept per origin.
bool AskScript(WinHttp& api, const ProxySettings& settings, const std::string& originUrl,
               std::string* answer) {
    if (api.getProxyForUrl == nullptr || api.open == nullptr) {
        return false;
    }
    if (api.session == nullptr) {
        api.session = api.open(L"Parvelle", WINHTTP_ACCESS_TYPE_NO_PROXY, WINHTTP_NO_PROXY_NAME,
                               WINHTTP_NO_PROXY_BYPASS, 0);
        if (api.session == nullptr) {
            return false;
        }
        if (api.setTimeouts != nullptr) {
            api.setTimeouts(api.session, 2000, 2000, 2000, 3000);
        }
    }
    auto call = std::make_shared<ScriptCall>();
    call->url = Wide(originUrl);
    call->configUrl = Wide(settings.autoConfigUrl);
    if (settings.autoDetect) {
        call->options.dwFlags |= WINHTTP_AUTOPROXY_AUTO_DETECT;
        call->options.dwAutoDetectFlags =
            WINHTTP_AUTO_DETECT_TYPE_DHCP | WINHTTP_AUTO_DETECT_TYPE_DNS_A;
    }
    if (!call->configUrl.empty()) {
        call->options.dwFlags |= WINHTTP_AUTOPROXY_CONFIG_URL;
        call->options.lpszAutoConfigUrl = call->configUrl.c_str();
    }
    const DWORD waitMs = call->configUrl.empty() ? kDetectionWaitMs : kScriptWaitMs;
    try {
        std::thread([api, call] { RunScriptCall(api, call); }).detach();
    } catch (const std::system_error&) {
        return false;
    }
    std::unique_lock<std::mutex> lock(call->mutex);
    if (!call->done.wait_for(lock, std::chrono::milliseconds(waitMs),
                             [&call] { return call->finished; })) {
        OutputDebugStringA("Proxy configuration script: no answer in time");
        return false;
    }
    if (!call->ok) {
        OutputDebugStringA("Proxy configuration script: none found or it failed");
        return false;
    }
    *answer = call->answer;
    return true;
}

// libcurl's own rule: <scheme>_proxy (lower case, then upper case except for
// http), then all_proxy / ALL_PROXY.
bool EnvironmentProxy(const std::string& scheme, std::string* value) {
    std::string upper = scheme + "_PROXY";
    for (char& c : upper) {
        c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    }
    std::vector<std::string> names = {scheme + "_proxy"};
    if (scheme != "http") {
        names.push_back(upper);
    }
    names.push_back("all_proxy");
    names.push_back("ALL_PROXY");
    for (const std::string& name : names) {
        // As libcurl reads it: set means set and not empty, whatever its length.
        const DWORD size = GetEnvironmentVariableA(name.c_str(), nullptr, 0);
        if (size > 1) {
            std::string text(size, '\0');
            const DWORD n = GetEnvironmentVariableA(name.c_str(), &text[0], size);
            text.resize(n < size ? n : 0);
            *value = WithoutCredentials(text);
            return true;
        }
    }
    return false;
}

void LoadLocked(ProxyState& state) {
    if (state.loaded) {
        return;
    }
    state.loaded = true;
    if (state.winHttp.getIeConfig == nullptr) {
        state.winHttp = LoadWinHttp();
    }
    WINHTTP_CURRENT_USER_IE_PROXY_CONFIG config{};
    if (state.winHttp.getIeConfig == nullptr || !state.winHttp.getIeConfig(&config)) {
        OutputDebugStringA("Proxy settings unreadable: connecting directly");
        return;
    }
    state.settings.autoDetect = config.fAutoDetect != FALSE;
    state.settings.autoConfigUrl = TakeWinHttpString(config.lpszAutoConfigUrl);
    state.settings.proxy = TakeWinHttpString(config.lpszProxy);
    state.settings.bypass = TakeWinHttpString(config.lpszProxyBypass);
    const std::string line =
        std::string("Proxy settings: detection ") + (state.settings.autoDetect ? "on" : "off") +
        ", script " +
        (state.settings.autoConfigUrl.empty() ? "none"
                                              : WithoutCredentials(state.settings.autoConfigUrl)) +
        ", proxy " +
        (state.settings.proxy.empty() ? "none" : WithoutCredentials(state.settings.proxy)) +
        ", bypass " + (state.settings.bypass.empty() ? "none" : state.settings.bypass);
    OutputDebugStringA(line.c_str());
}

// The routes already chosen for the origin, loading the settings first.
bool Known(ProxyState& state, const std::string& origin, std::vector<std::string>* routes) {
    std::lock_guard<std::mutex> lock(state.mutex);
    LoadLocked(state);
    auto known = state.routesByOrigin.find(origin);
    if (known == state.routesByOrigin.end()) {
        return false;
    }
    *routes = known->second;
    return true;
}

}  // namespace

void LoadSystemProxySettings() {
    ProxyState& state = State();
    std::lock_guard<std::mutex> lock(state.mutex);
    LoadLocked(state);
}

ProxyPlan PlanProxyFor(const std::string& url) {
    ProxyPlan plan;
    ProxyTarget target;
    if (!OriginOf(url, &target.host, &target.port, &target.scheme)) {
        plan.routes.push_back(std::string());  // libcurl refuses the URL itself
        return plan;
    }
    const std::string origin =
        target.scheme + "://" + target.host + ":" + std::to_string(target.port);
    plan.origin = origin;
    if (EnvironmentProxy(target.scheme, &plan.environmentProxy)) {
        plan.fromEnvironment = true;
        return plan;
    }
    ProxyState& state = State();
    if (Known(state, origin, &plan.routes)) {
        return plan;
    }
    // Only a script may take long; a transfer to an origin already known
    // (the payment watch's) never waits for it.
    std::lock_guard<std::mutex> resolving(state.resolving);
    if (Known(state, origin, &plan.routes)) {
        return plan;
    }
    ProxySettings settings;
    bool askScript;
    {
        std::lock_guard<std::mutex> lock(state.mutex);
        settings = state.settings;
        askScript =
            (settings.autoDetect || !settings.autoConfigUrl.empty()) && !state.scriptUnavailable;
    }
    std::string answer;
    const bool haveAnswer = askScript && AskScript(state.winHttp, settings, origin + "/", &answer);
    plan.routes = ChooseRoutes(settings, haveAnswer ? &answer : nullptr, target);
    std::lock_guard<std::mutex> lock(state.mutex);
    state.scriptUnavailable = state.scriptUnavailable || (askScript && !haveAnswer);
    state.routesByOrigin[origin] = plan.routes;
    return plan;
}

}  // namespace http_detail

#ifdef PARVELLE_NET_INSPECTION
void ReloadProxySettings() {
    http_detail::ProxyState& state = http_detail::State();
    std::lock_guard<std::mutex> lock(state.mutex);
    state.loaded = false;
    state.settings = ProxySettings();
    state.scriptUnavailable = false;
    state.routesByOrigin.clear();
    http_detail::LoadLocked(state);
}
#endif
