#pragma once
// How a request finds its way out: the rules Windows' proxy settings follow,
// as plain functions of text (no system calls), so that every rule can be
// checked without the system that supplies the settings.
//
// A route is "host:port" of an HTTP proxy, or "" for a direct connection.

#include <string>
#include <vector>

// The current user's proxy configuration, as Windows keeps it.
struct ProxySettings {
    bool autoDetect = false;    // "Automatically detect settings"
    std::string autoConfigUrl;  // the configuration script, when one is named
    std::string proxy;          // "host:port", or per scheme "http=h:p;https=h:p"
    std::string bypass;         // "<local>;*.example.com;10.*;..."
};

// The origin a request goes to. Host in lower case as URLs carry it
// (an IPv6 address in brackets).
struct ProxyTarget {
    std::string scheme;
    std::string host;
    long port = 0;
};

// The manual proxy for a scheme: its own "scheme=" entry, else an entry that
// names no scheme; "" when the list has neither. The entry is normalised as
// NormaliseProxyEntry does.
std::string ManualProxyFor(const std::string& list, const std::string& scheme);

// Whether the bypass list sends the target direct: entries separated by ';',
// ',' or white space, each "[scheme://]host-pattern[:port]" with '*'
// wildcards (".example.com" matches its sub-domains), or <local> (names
// without a dot). Loopback names and addresses always go direct unless the
// list carries <-loopback>.
bool BypassesProxy(const std::string& bypass, const ProxyTarget& target);

// The routes of a proxy answer, in order of preference: a configuration
// script's ("PROXY a:80; PROXY b:8080; DIRECT") or WinHTTP's list
// ("a:80;b:8080"). DIRECT gives "". Kinds of proxy the transport cannot use
// (SOCKS, HTTPS) and malformed entries are skipped; an answer that leaves
// nothing means direct.
std::vector<std::string> RoutesFromAnswer(const std::string& answer);

// What the configuration decides for a target. scriptAnswer is the answer of
// the script (named or found by detection) when there was one, null when no
// script applies or it could not be had; then the manual entry and the
// bypass list decide, else the way is direct.
std::vector<std::string> ChooseRoutes(const ProxySettings& settings,
                                      const std::string* scriptAnswer, const ProxyTarget& target);

// "host:port" of one proxy entry: any "http://" prefix, user name and
// password dropped, port 80 when none is given; "" for an entry that names
// another kind of proxy (socks://, https://) or no usable host.
std::string NormaliseProxyEntry(const std::string& entry);

// A proxy URL fit for a log line: user name and password removed.
std::string WithoutCredentials(const std::string& proxyUrl);
