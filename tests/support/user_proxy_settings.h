#pragma once
// The current user's proxy settings where Windows keeps them, for the proxy
// tests and the start-up benchmark: the values of the Internet Settings key
// and the binary DefaultConnectionSettings under its Connections key (WinHTTP
// reads the latter). While a ScopedUserProxySettings lives, its settings
// apply to every program of the Wine prefix; it puts back what was there.
//
//   ScopedUserProxySettings settings;
//   settings.Write("127.0.0.3:8080", "<-loopback>", "");  // manual proxy
//   settings.Write("", "", "http://host/pac");           // configuration script

#include <windows.h>

#include <string>
#include <vector>

class ScopedUserProxySettings {
public:
    ScopedUserProxySettings();
    ~ScopedUserProxySettings();
    ScopedUserProxySettings(const ScopedUserProxySettings&) = delete;
    ScopedUserProxySettings& operator=(const ScopedUserProxySettings&) = delete;

    // A manual proxy list ("host:port" or "https=host:port;..."), its bypass
    // list and a script URL; empty leaves each out. Detection stays off.
    bool Write(const std::string& proxy, const std::string& bypass, const std::string& script);

private:
    struct Saved {
        Saved(const wchar_t* k, const wchar_t* n) : key(k), name(n) {}
        const wchar_t* key;
        const wchar_t* name;
        bool present = false;
        DWORD type = 0;
        std::vector<BYTE> data;
    };
    std::vector<Saved> saved_;
};
