#include "user_proxy_settings.h"

namespace {

const wchar_t kSettingsKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
const wchar_t kConnectionsKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Connections";

// Sets the value, or deletes it when data is null.
bool SetValue(const wchar_t* key, const wchar_t* name, DWORD type, const void* data, DWORD size) {
    HKEY h = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h,
                        nullptr) != ERROR_SUCCESS) {
        return false;
    }
    LSTATUS status = data == nullptr
                         ? RegDeleteValueW(h, name)
                         : RegSetValueExW(h, name, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(h);
    return status == ERROR_SUCCESS || (data == nullptr && status == ERROR_FILE_NOT_FOUND);
}

bool SetText(const wchar_t* name, const std::string& text) {
    const std::wstring wide(text.begin(), text.end());
    return SetValue(kSettingsKey, name, REG_SZ, text.empty() ? nullptr : wide.c_str(),
                    static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t)));
}

}  // namespace

ScopedUserProxySettings::ScopedUserProxySettings() {
    saved_ = {{kSettingsKey, L"ProxyEnable"},
              {kSettingsKey, L"ProxyServer"},
              {kSettingsKey, L"ProxyOverride"},
              {kSettingsKey, L"AutoConfigURL"},
              {kConnectionsKey, L"DefaultConnectionSettings"}};
    for (Saved& v : saved_) {
        HKEY h = nullptr;
        DWORD size = 0;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, v.key, 0, KEY_READ, &h) != ERROR_SUCCESS) {
            continue;
        }
        if (RegQueryValueExW(h, v.name, nullptr, &v.type, nullptr, &size) == ERROR_SUCCESS) {
            v.data.resize(size);
            v.present = RegQueryValueExW(h, v.name, nullptr, &v.type, v.data.data(), &size) ==
                        ERROR_SUCCESS;
        }
        RegCloseKey(h);
    }
}

ScopedUserProxySettings::~ScopedUserProxySettings() {
    for (const Saved& v : saved_) {
        SetValue(v.key, v.name, v.type, v.present ? v.data.data() : nullptr,
                 static_cast<DWORD>(v.data.size()));
    }
}

bool ScopedUserProxySettings::Write(const std::string& proxy, const std::string& bypass,
                                    const std::string& script) {
    const DWORD enable = proxy.empty() ? 0 : 1;
    bool ok = SetValue(kSettingsKey, L"ProxyEnable", REG_DWORD, &enable, sizeof enable) &&
              SetText(L"ProxyServer", proxy) && SetText(L"ProxyOverride", bypass) &&
              SetText(L"AutoConfigURL", script);
    std::vector<BYTE> blob;
    // Appends a little-endian DWORD as one 4-byte range: GCC 12 at -O3 warns
    // (stringop-overflow, a false positive) on a push_back loop here.
    auto put32 = [&blob](DWORD v) {
        const BYTE bytes[4] = {static_cast<BYTE>(v), static_cast<BYTE>(v >> 8),
                               static_cast<BYTE>(v >> 16), static_cast<BYTE>(v >> 24)};
        blob.insert(blob.end(), bytes, bytes + 4);
    };
    put32(0x46);                                                    // format
    put32(1);                                                       // change counter
    put32(1 | (proxy.empty() ? 0 : 2) | (script.empty() ? 0 : 4));  // direct, proxy, script
    for (const std::string* s : {&proxy, &bypass, &script}) {
        put32(static_cast<DWORD>(s->size()));
        blob.insert(blob.end(), s->begin(), s->end());
    }
    blob.resize(blob.size() + 32, 0);
    return ok && SetValue(kConnectionsKey, L"DefaultConnectionSettings", REG_BINARY, blob.data(),
                          static_cast<DWORD>(blob.size()));
}
