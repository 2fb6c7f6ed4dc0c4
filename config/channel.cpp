#include "config/channel.h"

#include <windows.h>
#include <shellapi.h>

#include "base/scoped_handle.h"
#include "base/text.h"
#include "config/ini_file.h"
#include "config/local_config.h"

namespace {

constexpr wchar_t kInstallerKey[] = L"SOFTWARE\\Caphyon\\Advanced Installer\\LZMA\\";
constexpr wchar_t kSection[] = L"para";

// Walks one registry view; false when the product's key is not there.
bool ReadExePathInView(const std::wstring& productCode, REGSAM view, std::string* path) {
    ScopedRegKey key;
    std::wstring name = kInstallerKey + productCode;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, name.c_str(), 0, KEY_READ | view, key.receive()) !=
        ERROR_SUCCESS) {
        return false;
    }
    DWORD subKeys = 0;
    if (RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, nullptr,
                         nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
        return true;
    }
    wchar_t subName[100] = {};
    DWORD subNameLength = 100;
    ScopedRegKey sub;
    if (RegEnumKeyExW(key.get(), 0, subName, &subNameLength, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS ||
        RegOpenKeyExW(key.get(), subName, 0, KEY_QUERY_VALUE | view, sub.receive()) !=
            ERROR_SUCCESS) {
        return true;
    }
    char value[512] = {};
    DWORD size = 511;
    if (RegQueryValueExA(sub.get(), "AI_ExePath", nullptr, nullptr, reinterpret_cast<BYTE*>(value),
                         &size) == ERROR_SUCCESS) {
        value[size] = '\0';
        *path = value;
    }
    return true;
}

}  // namespace

std::string ChannelFromExePath(const std::string& path) {
    auto underscore = path.rfind('_');
    if (underscore == std::string::npos) {
        return {};
    }
    auto dot = path.find('.', underscore + 1);
    if (dot == std::string::npos) {
        return {};
    }
    return path.substr(underscore + 1, dot - underscore - 1);
}

std::string ReadInstallerExePath(const std::wstring& productCode) {
    std::string path;
    if (!ReadExePathInView(productCode, 0, &path)) {
        ReadExePathInView(productCode, KEY_WOW64_32KEY, &path);
    }
    return path;
}

std::wstring FirstCommandLineArgument() {
    int count = 0;
    LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
    const ScopedHLocal block(args);
    if (args == nullptr) {
        return {};
    }
    return count > 1 ? args[1] : L"";
}

std::string ResolveChannel(const std::wstring& firstArgument, const std::wstring& configDir) {
    std::wstring iniPath = configDir + L"\\config.ini";
    std::wstring productCode;
    IniValues changes;
    if (!firstArgument.empty()) {
        productCode = firstArgument;
        changes.emplace_back(L"product_code", productCode);
    } else {
        wchar_t buffer[100] = {};
        GetPrivateProfileStringW(kSection, L"product_code", L"", buffer, 99, iniPath.c_str());
        productCode = buffer;
    }
    std::string channel;
    if (!productCode.empty()) {
        channel = ChannelFromExePath(ReadInstallerExePath(productCode));
    }
    if (!channel.empty()) {
        changes.emplace_back(productCode, AnsiToWide(channel));
    }
    // One rewrite of the whole file for both keys.
    if (!changes.empty()) {
        WriteIniValues(iniPath, kSection, changes);
    }
    return channel;
}

std::string ResolveChannel() {
    return ResolveChannel(FirstCommandLineArgument(), localConfig.dataDir);
}
