#include "net/proxy_rules.h"

#include <algorithm>
#include <cstdlib>

#include "base/text.h"

namespace {

bool IsSeparator(char c, const char* separators) {
    for (const char* s = separators; *s != '\0'; ++s) {
        if (c == *s) {
            return true;
        }
    }
    return false;
}

std::vector<std::string> Split(const std::string& text, const char* separators) {
    std::vector<std::string> parts;
    std::string part;
    for (char c : text) {
        if (IsSeparator(c, separators)) {
            if (!part.empty()) {
                parts.push_back(part);
            }
            part.clear();
        } else {
            part += c;
        }
    }
    if (!part.empty()) {
        parts.push_back(part);
    }
    return parts;
}

// 1..65535 written in digits only, or 0.
long ParsePort(const std::string& text) {
    if (text.empty() || text.size() > 5 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return 0;
    }
    const long port = std::strtol(text.c_str(), nullptr, 10);
    return port <= 65535 ? port : 0;
}

bool IsHostChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '_';
}

bool IsIpv6Char(char c) {
    return (c >= 'a' && c <= 'f') || (c >= '0' && c <= '9') || c == ':' || c == '.';
}

// Splits "host", "host:port", "[v6]" or "[v6]:port" (already lower case).
// False when the text is none of them.
bool SplitHostPort(const std::string& text, std::string* host, std::string* port) {
    size_t hostEnd;
    if (!text.empty() && text[0] == '[') {
        hostEnd = text.find(']');
        if (hostEnd == std::string::npos || hostEnd < 2) {
            return false;
        }
        ++hostEnd;
    } else {
        hostEnd = text.find(':');
        if (hostEnd == std::string::npos) {
            hostEnd = text.size();
        }
    }
    *host = text.substr(0, hostEnd);
    if (hostEnd == text.size()) {
        port->clear();
        return true;
    }
    if (text[hostEnd] != ':') {
        return false;
    }
    *port = text.substr(hostEnd + 1);
    return true;
}

// '*' matches any run of characters, everything else itself.
bool WildcardMatch(const std::string& pattern, const std::string& text) {
    size_t p = 0;
    size_t t = 0;
    size_t star = std::string::npos;
    size_t resume = 0;
    while (t < text.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            resume = t;
        } else if (p < pattern.size() && pattern[p] == text[t]) {
            ++p;
            ++t;
        } else if (star != std::string::npos) {
            p = star + 1;
            t = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') {
        ++p;
    }
    return p == pattern.size();
}

bool IsLoopback(const std::string& host) {
    const std::string suffix = ".localhost";
    return host == "localhost" || host == "[::1]" || host.compare(0, 4, "127.") == 0 ||
           (host.size() > suffix.size() &&
            host.compare(host.size() - suffix.size(), suffix.size(), suffix) == 0);
}

// One bypass entry against the target; entries are lower case.
bool BypassEntryMatches(std::string entry, const ProxyTarget& target) {
    if (entry == "<local>") {
        return target.host.find('.') == std::string::npos && target.host[0] != '[';
    }
    const size_t schemeEnd = entry.find("://");
    if (schemeEnd != std::string::npos) {
        if (entry.compare(0, schemeEnd, target.scheme) != 0) {
            return false;
        }
        entry.erase(0, schemeEnd + 3);
    }
    std::string hostPattern;
    std::string port;
    if (!SplitHostPort(entry, &hostPattern, &port) || hostPattern.empty()) {
        return false;
    }
    if (!port.empty() && port != "*" && ParsePort(port) != target.port) {
        return false;
    }
    if (hostPattern[0] == '.') {
        hostPattern.insert(0, "*");
    }
    return WildcardMatch(hostPattern, target.host);
}

}  // namespace

std::string NormaliseProxyEntry(const std::string& entry) {
    std::string text = AsciiLower(entry);
    const size_t schemeEnd = text.find("://");
    if (schemeEnd != std::string::npos) {
        if (text.compare(0, schemeEnd, "http") != 0) {
            return std::string();  // SOCKS and HTTPS proxies are not followed
        }
        text.erase(0, schemeEnd + 3);
    }
    text = text.substr(0, text.find('/'));
    const size_t at = text.rfind('@');
    if (at != std::string::npos) {
        text.erase(0, at + 1);  // credentials are never taken from settings
    }
    std::string host;
    std::string portText;
    if (!SplitHostPort(text, &host, &portText) || host.empty()) {
        return std::string();
    }
    const bool v6 = host[0] == '[';
    const std::string inner = v6 ? host.substr(1, host.size() - 2) : host;
    if (!std::all_of(inner.begin(), inner.end(), v6 ? IsIpv6Char : IsHostChar)) {
        return std::string();
    }
    const long port = portText.empty() ? 80 : ParsePort(portText);
    if (port == 0) {
        return std::string();
    }
    return host + ":" + std::to_string(port);
}

std::string ManualProxyFor(const std::string& list, const std::string& scheme) {
    std::string forAll;
    for (const std::string& entry : Split(list, "; \t\r\n")) {
        const size_t equals = entry.find('=');
        if (equals == std::string::npos) {
            if (forAll.empty()) {
                forAll = NormaliseProxyEntry(entry);
            }
        } else if (AsciiLower(entry.substr(0, equals)) == scheme) {
            return NormaliseProxyEntry(entry.substr(equals + 1));
        }
    }
    return forAll;
}

bool BypassesProxy(const std::string& bypass, const ProxyTarget& target) {
    if (target.host.empty()) {
        return false;
    }
    const std::vector<std::string> entries = Split(AsciiLower(bypass), "; ,\t\r\n");
    if (IsLoopback(target.host) &&
        std::find(entries.begin(), entries.end(), "<-loopback>") == entries.end()) {
        return true;
    }
    return std::any_of(entries.begin(), entries.end(), [&target](const std::string& entry) {
        return BypassEntryMatches(entry, target);
    });
}

std::vector<std::string> RoutesFromAnswer(const std::string& answer) {
    std::vector<std::string> routes;
    auto add = [&routes](const std::string& route) {
        if (std::find(routes.begin(), routes.end(), route) == routes.end()) {
            routes.push_back(route);
        }
    };
    for (const std::string& item : Split(answer, ";")) {
        const std::vector<std::string> words = Split(item, " \t\r\n");
        if (words.empty()) {
            continue;
        }
        const std::string kind = AsciiLower(words[0]);
        if (words.size() == 1) {
            if (kind == "direct") {
                add(std::string());
            } else if (!NormaliseProxyEntry(words[0]).empty()) {
                add(NormaliseProxyEntry(words[0]));  // WinHTTP's "host:port" form
            }
        } else if (words.size() == 2 && (kind == "proxy" || kind == "http") &&
                   !NormaliseProxyEntry(words[1]).empty()) {
            add(NormaliseProxyEntry(words[1]));
        }
    }
    if (routes.empty()) {
        routes.push_back(std::string());
    }
    return routes;
}

std::vector<std::string> ChooseRoutes(const ProxySettings& settings,
                                      const std::string* scriptAnswer, const ProxyTarget& target) {
    if (scriptAnswer != nullptr) {
        return RoutesFromAnswer(*scriptAnswer);
    }
    const std::string manual = ManualProxyFor(settings.proxy, target.scheme);
    if (!manual.empty() && !BypassesProxy(settings.bypass, target)) {
        return {manual};
    }
    return {std::string()};
}

std::string WithoutCredentials(const std::string& proxyUrl) {
    const size_t schemeEnd = proxyUrl.find("://");
    const size_t start = schemeEnd == std::string::npos ? 0 : schemeEnd + 3;
    const size_t at = proxyUrl.rfind('@', proxyUrl.find('/', start));
    if (at == std::string::npos || at < start) {
        return proxyUrl;
    }
    return proxyUrl.substr(0, start) + proxyUrl.substr(at + 1);
}
