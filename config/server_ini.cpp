#include "config/server_ini.h"

#include <windows.h>

#include <vector>

#include "config/local_config.h"

namespace {

constexpr char kSectionA[] = "server";
constexpr wchar_t kSectionW[] = L"server";

std::string IniPathA(const std::string& dir) {
    return dir + "\\server.ini";
}
std::wstring IniPathW(const std::wstring& dir) {
    return dir + L"\\server.ini";
}

// The deployed configuration's limit: 256-character buffer, 255 passed.
std::wstring ReadShortWide(const std::wstring& dir, const wchar_t* key) {
    wchar_t buffer[256] = {};
    GetPrivateProfileStringW(kSectionW, key, L"", buffer, 255, IniPathW(dir).c_str());
    return buffer;
}

// Paths may be long: grow until the value fits.
std::wstring ReadLongWide(const std::wstring& dir, const wchar_t* key) {
    std::wstring path = IniPathW(dir);
    for (DWORD size = 512; size <= 65536; size *= 2) {
        std::vector<wchar_t> buffer(size);
        DWORD n = GetPrivateProfileStringW(kSectionW, key, L"", buffer.data(), size, path.c_str());
        if (n < size - 1) {
            return std::wstring(buffer.data(), n);
        }
    }
    return {};
}

bool IsAbsolutePath(const std::wstring& p) {
    if (p.size() >= 3 && p[1] == L':' && (p[2] == L'\\' || p[2] == L'/')) {
        return true;
    }
    return !p.empty() && (p[0] == L'\\' || p[0] == L'/');
}

}  // namespace

std::string ReadServerDomain(const std::string& dirAnsi) {
    char buffer[256] = {};
    GetPrivateProfileStringA(kSectionA, "domain", "", buffer, 255, IniPathA(dirAnsi).c_str());
    return buffer;
}

std::string ApiHostFromDomain(const std::string& domain) {
    return domain.empty() ? std::string(kDefaultApiHost) : domain;
}

int ReadStoreType(const std::string& dirAnsi) {
    int type =
        static_cast<int>(GetPrivateProfileIntA(kSectionA, "type", 1, IniPathA(dirAnsi).c_str()));
    return (type < 1 || type > 100) ? 1 : type;
}

std::wstring ReadTitle(const std::wstring& dir) {
    return ReadShortWide(dir, L"title");
}

std::wstring ReadIconName(const std::wstring& dir) {
    return ReadShortWide(dir, L"icon");
}

int ReadPayType(const std::wstring& dir) {
    return static_cast<int>(
        GetPrivateProfileIntW(kSectionW, L"pay_type", 1, IniPathW(dir).c_str()));
}

std::wstring ReadCaFile(const std::wstring& dir) {
    std::wstring value = ReadLongWide(dir, L"ca_file");
    if (value.empty() || IsAbsolutePath(value)) {
        return value;
    }
    return dir + L"\\" + value;
}
