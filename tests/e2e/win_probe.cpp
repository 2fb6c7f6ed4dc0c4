// Test helper run under Wine next to the program under test: prints the
// top-level windows of the session and their child windows as JSON lines,
// so that the end-to-end tests can see what X cannot (child controls, the
// message box's text, window titles as the program set them).
//
//   win_probe.exe            one line per top-level window:
//   {"hwnd":N,"pid":N,"owner":N,"class":"..","title":"..","visible":0|1,
//    "rect":[l,t,r,b],"children":[{"hwnd":N,"id":N,"class":"..","text":"..",
//    "visible":0|1,"rect":[l,t,r,b]}, ...]}
//   win_probe.exe marker     {"marker":0|1}: whether a running program holds
//                            the single-instance marker (a named mutex)
//   win_probe.exe clipboard  {"clipboard":".."}: the clipboard's Unicode text
//                            (null when it holds none)
//   win_probe.exe sync HWND  {"sync":0|1}: whether two WM_NULL round trips
//                            through the queue of the thread of window HWND
//                            (a decimal handle) were answered: what that
//                            thread had queued before, input included, has
//                            been handled, and so has what handling it posted
//   win_probe.exe reshow HWND
//                            {"reshow":0|1}: window HWND hidden and shown again
//                            without activation: a page lets go of its frame
//                            when hidden and composes all of it anew
//   win_probe.exe emf PATH   {"emf":0|1}: an enhanced metafile at PATH, a black
//                            square on white: a picture that is no bitmap
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/parvelle_app.h"

namespace {

std::string Utf8(const std::wstring& text) {
    if (text.empty())
        return std::string();
    int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &out[0], n,
                        nullptr, nullptr);
    return out;
}

std::string Quote(const std::wstring& text) {
    std::string out = "\"";
    for (char c : Utf8(text)) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (u < 0x20) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", u);
            out += buf;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::wstring ClassOf(HWND hwnd) {
    wchar_t name[256] = {};
    GetClassNameW(hwnd, name, 256);
    return name;
}

std::wstring TextOf(HWND hwnd) {
    wchar_t text[1024] = {};
    // Another process's control: WM_GETTEXT crosses processes for text.
    SendMessageTimeoutW(hwnd, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                        2000, nullptr);
    return text;
}

std::string RectOf(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    char buf[96];
    std::snprintf(buf, sizeof buf, "[%ld,%ld,%ld,%ld]", r.left, r.top, r.right, r.bottom);
    return buf;
}

std::string Handle(HWND hwnd) {
    return std::to_string(reinterpret_cast<ULONG_PTR>(hwnd));
}

BOOL CALLBACK OnChild(HWND hwnd, LPARAM param) {
    std::string& out = *reinterpret_cast<std::string*>(param);
    if (out.back() != '[')
        out += ",";
    out += "{\"hwnd\":" + Handle(hwnd) + ",\"parent\":" + Handle(GetParent(hwnd)) +
           ",\"id\":" + std::to_string(GetDlgCtrlID(hwnd)) + ",\"class\":" + Quote(ClassOf(hwnd)) +
           ",\"text\":" + Quote(TextOf(hwnd)) +
           ",\"visible\":" + (IsWindowVisible(hwnd) ? "1" : "0") + ",\"rect\":" + RectOf(hwnd) +
           "}";
    return TRUE;
}

BOOL CALLBACK OnTop(HWND hwnd, LPARAM) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == GetCurrentProcessId())
        return TRUE;
    std::string line = "{\"hwnd\":" + Handle(hwnd) + ",\"pid\":" + std::to_string(pid) +
                       ",\"owner\":" + Handle(GetWindow(hwnd, GW_OWNER)) +
                       ",\"class\":" + Quote(ClassOf(hwnd)) + ",\"title\":" + Quote(TextOf(hwnd)) +
                       ",\"visible\":" + (IsWindowVisible(hwnd) ? "1" : "0") +
                       ",\"rect\":" + RectOf(hwnd) + ",\"children\":[";
    EnumChildWindows(hwnd, OnChild, reinterpret_cast<LPARAM>(&line));
    line += "]}\n";
    std::fwrite(line.data(), 1, line.size(), stdout);
    return TRUE;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::string(argv[1]) == "marker") {
        HANDLE marker = OpenMutexW(SYNCHRONIZE, FALSE, kSingleInstanceMutexName);
        std::printf("{\"marker\":%d}\n", marker != nullptr ? 1 : 0);
        if (marker != nullptr)
            CloseHandle(marker);
        return 0;
    }
    if (argc > 1 && std::string(argv[1]) == "clipboard") {
        std::string text = "null";
        if (OpenClipboard(nullptr)) {
            if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
                if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
                    text = Quote(chars);
                    GlobalUnlock(data);
                }
            }
            CloseClipboard();
        }
        std::printf("{\"clipboard\":%s}\n", text.c_str());
        return 0;
    }
    if (argc > 2 && std::string(argv[1]) == "sync") {
        HWND target =
            reinterpret_cast<HWND>(static_cast<ULONG_PTR>(std::strtoull(argv[2], nullptr, 10)));
        bool answered = IsWindow(target) != FALSE;
        for (int round = 0; round < 2 && answered; ++round) {
            DWORD_PTR result = 0;
            answered = SendMessageTimeoutW(target, WM_NULL, 0, 0, SMTO_NORMAL, 20000, &result) != 0;
        }
        std::printf("{\"sync\":%d}\n", answered ? 1 : 0);
        return 0;
    }
    if (argc > 2 && std::string(argv[1]) == "reshow") {
        HWND target =
            reinterpret_cast<HWND>(static_cast<ULONG_PTR>(std::strtoull(argv[2], nullptr, 10)));
        bool done = false;
        if (IsWindowVisible(target)) {
            ShowWindow(target, SW_HIDE);
            const bool hidden = !IsWindowVisible(target);
            ShowWindow(target, SW_SHOWNA);
            done = hidden && IsWindowVisible(target);
        }
        std::printf("{\"reshow\":%d}\n", done ? 1 : 0);
        return 0;
    }
    if (argc > 2 && std::string(argv[1]) == "emf") {
        const RECT frame{0, 0, 4000, 4000};  // 0.01 mm
        bool done = false;
        if (HDC dc = CreateEnhMetaFileA(nullptr, argv[2], &frame, nullptr)) {
            const RECT all{0, 0, 150, 150};
            const RECT mark{30, 30, 120, 120};
            FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
            FillRect(dc, &mark, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
            if (HENHMETAFILE emf = CloseEnhMetaFile(dc)) {
                DeleteEnhMetaFile(emf);
                done = true;
            }
        }
        std::printf("{\"emf\":%d}\n", done ? 1 : 0);
        return 0;
    }
    EnumWindows(OnTop, 0);
    std::fflush(stdout);
    return 0;
}
