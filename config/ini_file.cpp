#include "config/ini_file.h"

#include <windows.h>

#include <cstddef>
#include <cstring>

#include "base/file_replace.h"
#include "base/scoped_handle.h"
#include "base/text.h"

namespace {

// config.ini holds a few lines; anything far larger is not the program's.
constexpr DWORD kMaxIniBytes = 1 << 20;

std::wstring Trimmed(const std::wstring& text) {
    const size_t first = text.find_first_not_of(L" \t");
    if (first == std::wstring::npos)
        return {};
    return text.substr(first, text.find_last_not_of(L" \t") - first + 1);
}

bool SameName(const std::wstring& a, const std::wstring& b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (AsciiLower(a[i]) != AsciiLower(b[i]))
            return false;
    }
    return true;
}

std::wstring OneLine(const std::wstring& text) {
    return text.substr(0, text.find_first_of(L"\r\n"));
}

// The section a "[name]" line opens; false for any other line.
bool SectionName(const std::wstring& line, std::wstring* name) {
    const std::wstring trimmed = Trimmed(line);
    const size_t close = trimmed.find(L']');
    if (trimmed.empty() || trimmed[0] != L'[' || close == std::wstring::npos)
        return false;
    *name = Trimmed(trimmed.substr(1, close - 1));
    return true;
}

std::vector<std::wstring> Lines(const std::wstring& text) {
    std::vector<std::wstring> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(L'\n', start);
        if (end == std::wstring::npos)
            end = text.size();
        std::wstring line = text.substr(start, end - start);
        if (!line.empty() && line.back() == L'\r')
            line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

// The file's text: UTF-16 after a byte-order mark, else the ANSI code page.
// Empty when it is missing, unreadable or far too large.
std::wstring ReadIniText(const std::wstring& path) {
    ScopedHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file || !GetFileSizeEx(file.get(), &size) || size.QuadPart > kMaxIniBytes)
        return {};
    std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!bytes.empty() &&
        !ReadFile(file.get(), &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr))
        return {};
    bytes.resize(read);
    if (bytes.size() >= 2 && bytes[0] == '\xff' && bytes[1] == '\xfe') {
        std::wstring text((bytes.size() - 2) / 2, L'\0');
        if (!text.empty())
            memcpy(&text[0], bytes.data() + 2, text.size() * sizeof(wchar_t));
        return text;
    }
    return AnsiToWide(bytes);
}

}  // namespace

std::wstring WithIniValues(const std::wstring& text, const std::wstring& section,
                           const IniValues& values) {
    std::vector<std::wstring> lines = Lines(text);
    std::vector<bool> done(values.size(), false);
    bool inSection = false;
    bool sectionFound = false;
    size_t sectionEnd = 0;  // after the target section's last non-empty line
    for (size_t i = 0; i < lines.size(); ++i) {
        std::wstring name;
        if (SectionName(lines[i], &name)) {
            // Only the first section of the name counts, as for the profile API.
            inSection = !sectionFound && SameName(name, section);
            if (inSection) {
                sectionFound = true;
                sectionEnd = i + 1;
            }
            continue;
        }
        if (!inSection)
            continue;
        if (!Trimmed(lines[i]).empty())
            sectionEnd = i + 1;
        const size_t equals = lines[i].find(L'=');
        if (equals == std::wstring::npos)
            continue;
        const std::wstring key = Trimmed(lines[i].substr(0, equals));
        for (size_t v = 0; v < values.size(); ++v) {
            if (!done[v] && SameName(key, OneLine(values[v].first))) {
                lines[i] = OneLine(values[v].first) + L"=" + OneLine(values[v].second);
                done[v] = true;
                break;
            }
        }
    }
    std::vector<std::wstring> added;
    for (size_t v = 0; v < values.size(); ++v) {
        if (!done[v])
            added.push_back(OneLine(values[v].first) + L"=" + OneLine(values[v].second));
    }
    if (!sectionFound) {
        while (!lines.empty() && Trimmed(lines.back()).empty())
            lines.pop_back();
        if (!lines.empty())
            lines.push_back(L"");
        lines.push_back(L"[" + OneLine(section) + L"]");
        sectionEnd = lines.size();
    }
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(sectionEnd), added.begin(),
                 added.end());
    std::wstring result;
    for (const std::wstring& line : lines)
        result += line + L"\r\n";
    return result;
}

bool WriteIniValues(const std::wstring& path, const std::wstring& section,
                    const IniValues& values) {
    const std::wstring text = WithIniValues(ReadIniText(path), section, values);
    std::string bytes = "\xff\xfe";
    bytes.append(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
    return ReplaceFileContents(path, bytes.data(), bytes.size());
}
