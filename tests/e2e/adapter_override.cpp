#include "tests/e2e/adapter_override.h"

#include <windows.h>

#include <string>

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// "0a:00:27:00:00:01" -> bytes; false on anything else.
bool ParseAddress(std::string_view text, std::vector<unsigned char>* address) {
    address->clear();
    size_t i = 0;
    while (i < text.size()) {
        if (i + 2 > text.size() || address->size() >= 8)
            return false;
        const int high = HexDigit(text[i]);
        const int low = HexDigit(text[i + 1]);
        if (high < 0 || low < 0)
            return false;
        address->push_back(static_cast<unsigned char>(high * 16 + low));
        i += 2;
        if (i < text.size()) {
            if (text[i] != ':')
                return false;
            ++i;
            if (i == text.size())
                return false;
        }
    }
    return !address->empty();
}

bool ParseEntry(std::string_view entry, AdapterInfo* adapter) {
    const size_t first = entry.find(',');
    if (first == std::string_view::npos)
        return false;
    const size_t second = entry.find(',', first + 1);
    if (second == std::string_view::npos)
        return false;
    const std::string_view type = entry.substr(0, first);
    if (type.empty() || type.size() > 9)
        return false;
    unsigned value = 0;
    for (char c : type) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    adapter->type = value;
    adapter->description = std::string(entry.substr(second + 1));
    return ParseAddress(entry.substr(first + 1, second - first - 1), &adapter->address);
}

}  // namespace

std::vector<AdapterInfo> ParseAdapterOverride(std::string_view text) {
    std::vector<AdapterInfo> adapters;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(';', start);
        if (end == std::string_view::npos)
            end = text.size();
        AdapterInfo adapter;
        if (ParseEntry(text.substr(start, end - start), &adapter))
            adapters.push_back(adapter);
        start = end + 1;
    }
    return adapters;
}

std::optional<std::vector<AdapterInfo>> AdapterOverrideFromEnvironment() {
    SetLastError(ERROR_SUCCESS);
    const DWORD needed = GetEnvironmentVariableW(kAdapterOverrideVariable, nullptr, 0);
    if (needed == 0) {
        // Unset, or set to the empty text: only the latter is an override.
        if (GetLastError() == ERROR_ENVVAR_NOT_FOUND)
            return std::nullopt;
        return std::vector<AdapterInfo>{};
    }
    std::wstring wide(needed, L'\0');
    const DWORD length = GetEnvironmentVariableW(kAdapterOverrideVariable, &wide[0], needed);
    wide.resize(length < needed ? length : 0);
    std::string text;
    for (wchar_t c : wide) {
        // The grammar is ASCII; anything else cannot form a valid entry.
        text.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    }
    return ParseAdapterOverride(text);
}
