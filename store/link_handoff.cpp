#include "store/link_handoff.h"

#include <shellapi.h>

#include <cstring>

#include "base/scoped_handle.h"
#include "base/text.h"

namespace {

LinkHandoffCalls& Calls() {
    static LinkHandoffCalls calls = SystemLinkHandoffCalls();
    return calls;
}

template <typename Char>
bool StartsWithNoCase(std::basic_string_view<Char> text, const char* prefix) {
    const size_t n = std::strlen(prefix);
    if (text.size() < n)
        return false;
    for (size_t i = 0; i < n; ++i) {
        if (AsciiLower(text[i]) != static_cast<Char>(prefix[i]))
            return false;
    }
    return true;
}

// Control characters are C0 and DEL; for UTF-16 also C1 (in UTF-8 those byte
// values are continuation bytes of ordinary characters).
bool IsControl(char c) {
    const unsigned char u = static_cast<unsigned char>(c);
    return u < 0x20 || u == 0x7F;
}
bool IsControl(wchar_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

template <typename Char>
bool IsSafe(std::basic_string_view<Char> url) {
    if (url.size() <= 4)
        return false;
    if (!StartsWithNoCase(url, "http://") && !StartsWithNoCase(url, "https://"))
        return false;
    for (Char c : url) {
        if (c == '"' || IsControl(c))
            return false;
    }
    return true;
}

// The Windows folder, where explorer.exe lives. The shared one, not the
// per-user copy Terminal Services can give older programs.
std::wstring WindowsFolder() {
    wchar_t folder[MAX_PATH];
    const UINT n = GetSystemWindowsDirectoryW(folder, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::wstring(folder, n) : std::wstring();
}
std::string WindowsFolderA() {
    char folder[MAX_PATH];
    const UINT n = GetSystemWindowsDirectoryA(folder, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::string(folder, n) : std::string();
}

}  // namespace

LinkHandoffCalls SystemLinkHandoffCalls() {
    return LinkHandoffCalls{&WinExec, &ShellExecuteW, &SetClipboardData};
}

LinkHandoffCalls SetLinkHandoffCalls(const LinkHandoffCalls& calls) {
    LinkHandoffCalls previous = Calls();
    Calls() = calls;
    return previous;
}

bool IsShellSafeUrl(std::string_view url) {
    return IsSafe(url);
}
bool IsShellSafeUrl(std::wstring_view url) {
    return IsSafe(url);
}

std::wstring ExplorerPath() {
    const std::wstring folder = WindowsFolder();
    return folder.empty() ? folder : folder + L"\\explorer.exe";
}

std::string ExplorerCommandLine(const std::string& url) {
    const std::string folder = WindowsFolderA();
    if (folder.empty())
        return folder;
    return "\"" + folder + "\\explorer.exe\" \"" + url + "\"";
}

bool CopyTextToClipboard(std::wstring text) {
    if (!OpenClipboard(nullptr))
        return false;
    if (!EmptyClipboard()) {
        CloseClipboard();
        return false;
    }
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    ScopedHGlobal memory(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes));
    void* locked = memory ? GlobalLock(memory.get()) : nullptr;
    if (!locked) {
        CloseClipboard();
        return false;
    }
    std::memcpy(locked, text.c_str(), bytes);
    GlobalUnlock(memory.get());
    // On success the memory belongs to the clipboard; on refusal it is still ours.
    if (!Calls().setClipboardData(CF_UNICODETEXT, memory.get())) {
        CloseClipboard();
        return false;
    }
    memory.release();
    CloseClipboard();
    return true;
}

void OpenUrlInShell(std::string url) {
    if (!IsShellSafeUrl(std::string_view(url)))
        return;
    const std::string commandLine = ExplorerCommandLine(url);
    if (!commandLine.empty())
        Calls().winExec(commandLine.c_str(), SW_HIDE);
}

void OpenUrlInShellW(std::wstring url) {
    if (!IsShellSafeUrl(std::wstring_view(url)))
        return;
    const std::wstring explorer = ExplorerPath();
    if (explorer.empty())
        return;
    // One quoted item: unquoted, explorer reads commas, "=" and switches such
    // as "/root," inside the link as its own syntax.
    const std::wstring parameters = L"\"" + url + L"\"";
    Calls().shellExecuteW(nullptr, L"open", explorer.c_str(), parameters.c_str(), nullptr, SW_HIDE);
}
