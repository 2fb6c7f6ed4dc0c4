#pragma once
// Conversions between the program's texts: UTF-8 (the store service), the
// ANSI code page (configuration files and debugger lines) and UTF-16 (every
// text on screen and every path), and ASCII case folding.
#include <string>

// Each conversion reads its text up to the first zero, as the system's
// converters do, and replaces what the target cannot hold as they do (flags
// 0). Empty on failure.
std::wstring Utf8ToWide(const std::string& text);
std::wstring AnsiToWide(const std::string& text);
std::string WideToAnsi(const std::wstring& text);

// A-Z lowered; any other unit, UTF-8 bytes and UTF-16 units included, as it is.
constexpr char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
constexpr wchar_t AsciiLower(wchar_t c) {
    return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}
std::string AsciiLower(std::string text);
