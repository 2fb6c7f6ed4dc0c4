#pragma once
// The proxy each request takes, as the current user's Windows settings say:
// a configuration script (named, or found by automatic detection) through
// WinHTTP, else the manual proxy with its bypass list, else direct. The
// proxy variables of the environment (https_proxy, all_proxy, ...) still win
// when set: libcurl follows them by itself.

#include <string>
#include <vector>

namespace http_detail {

// Reads the current user's configuration. Done once by the transport's
// global set-up, before the first request.
void LoadSystemProxySettings();

struct ProxyPlan {
    std::string origin;  // "scheme://host:port", for log lines
    // A proxy variable of the environment applies: the transfer leaves the
    // choice to libcurl. environmentProxy names it, without credentials.
    bool fromEnvironment = false;
    std::string environmentProxy;
    // Otherwise the routes to try in order, at least one: "host:port" of an
    // HTTP proxy, or "" for direct.
    std::vector<std::string> routes;
};

// The plan for a transfer to `url`. Each origin (scheme, host, port) is
// resolved once per process; a script that cannot be had (none detected in
// the short time detection is given, or a script that fails) is not asked
// again.
ProxyPlan PlanProxyFor(const std::string& url);

}  // namespace http_detail
