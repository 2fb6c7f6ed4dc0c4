#include "config/server_ini.h"

#include <windows.h>

#include <vector>

#include "base/text.h"
#include "config/local_config.h"

namespace {

constexpr wchar_t kSectionW[] = L"server";

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

bool IsSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

// A path that names the same file whatever the current drive and folder:
// "X:\..." or a network or device path ("\\server\...").
bool IsFullPath(const std::wstring& p) {
    if (p.size() >= 3 && p[1] == L':' && IsSeparator(p[2]))
        return true;
    return p.size() >= 2 && IsSeparator(p[0]) && IsSeparator(p[1]);
}

}  // namespace

std::string ReadServerDomain(const std::wstring& dir) {
    // The ANSI code page, as the value always was: the same bytes for every
    // file that could be read before.
    return WideToAnsi(ReadShortWide(dir, L"domain"));
}

std::string ApiHostFromDomain(const std::string& domain) {
    return domain.empty() ? std::string(kDefaultApiHost) : domain;
}

int ReadStoreType(const std::wstring& dir) {
    const int type =
        static_cast<int>(GetPrivateProfileIntW(kSectionW, L"type", 1, IniPathW(dir).c_str()));
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
    if (value.empty() || IsFullPath(value)) {
        return value;
    }
    // "\x" means x at the root of the current drive: here, in dir.
    size_t start = 0;
    while (start < value.size() && IsSeparator(value[start]))
        ++start;
    return dir + L"\\" + value.substr(start);
}
