#pragma once
// Links leave the program in two ways: copied to the clipboard, or handed to
// the Windows shell, which opens them in the user's browser.
#include <windows.h>

#include <string>
#include <string_view>

// Puts `text` on the clipboard as Unicode text (an empty text too). False when
// the clipboard could not be opened or emptied, or refused the data.
bool CopyTextToClipboard(std::wstring text);

// Opens a UTF-8 link through explorer.exe (WinExec, SW_HIDE).
void OpenUrlInShell(std::string url);
// Opens a link through explorer.exe (ShellExecuteW "open", SW_HIDE), the link
// in double quotes as its one parameter.
void OpenUrlInShellW(std::wstring url);

// Links come from the network and end up on a command line, so only plain web
// links go there: "http://" or "https://" (scheme in any case), more than 4
// characters, no double quote and no control character. Anything else is
// dropped silently.
bool IsShellSafeUrl(std::string_view url);
bool IsShellSafeUrl(std::wstring_view url);

// explorer.exe by its full path in the Windows folder: by bare name it would
// be looked for in the program's folder and the current directory first, where
// anyone who can put a file there could stand in for it. Empty when the
// folder cannot be told (then nothing is started).
std::wstring ExplorerPath();

// The command line OpenUrlInShell runs: "WINDOWS\explorer.exe" "URL" (empty
// when the folder cannot be told).
std::string ExplorerCommandLine(const std::string& url);

// The system calls behind the hand-off, replaceable so that tests neither
// start a browser nor depend on the clipboard's mood.
struct LinkHandoffCalls {
    UINT(WINAPI* winExec)(LPCSTR commandLine, UINT show);
    HINSTANCE(WINAPI* shellExecuteW)
    (HWND parent, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters, LPCWSTR directory, INT show);
    HANDLE(WINAPI* setClipboardData)(UINT format, HANDLE data);
};

// The system's calls.
LinkHandoffCalls SystemLinkHandoffCalls();
// Puts `calls` in use and returns the ones they replace.
LinkHandoffCalls SetLinkHandoffCalls(const LinkHandoffCalls& calls);
