#include "base/text.h"

#include <windows.h>

#include <new>

namespace {

std::wstring Widen(UINT codePage, const std::string& text) {
    std::wstring wide;
    if (text.empty())
        return wide;
    const int n = MultiByteToWideChar(codePage, 0, text.c_str(), -1, nullptr, 0);
    if (n <= 0)
        return wide;
    try {
        std::wstring buffer(static_cast<size_t>(n) + 1, L'\0');
        const int written = MultiByteToWideChar(codePage, 0, text.c_str(), -1, &buffer[0], n + 1);
        if (written <= 0)
            return wide;
        // The count includes the terminator.
        buffer.resize(static_cast<size_t>(written) - 1);
        wide.swap(buffer);
    } catch (const std::bad_alloc&) {
        wide.clear();
    }
    return wide;
}

}  // namespace

std::wstring Utf8ToWide(const std::string& text) {
    return Widen(CP_UTF8, text);
}

std::wstring AnsiToWide(const std::string& text) {
    return Widen(CP_ACP, text);
}

std::string WideToAnsi(const std::wstring& text) {
    std::string ansi;
    if (text.empty())
        return ansi;
    const int n = WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    if (n <= 0)
        return ansi;
    try {
        std::string buffer(static_cast<size_t>(n), '\0');
        const int written =
            WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, &buffer[0], n, nullptr, nullptr);
        if (written <= 0)
            return ansi;
        buffer.resize(static_cast<size_t>(written) - 1);
        ansi.swap(buffer);
    } catch (const std::bad_alloc&) {
        ansi.clear();
    }
    return ansi;
}

std::string AsciiLower(std::string text) {
    for (char& c : text)
        c = AsciiLower(c);
    return text;
}
