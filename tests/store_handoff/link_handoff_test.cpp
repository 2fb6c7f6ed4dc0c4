// Links to the clipboard and to the shell. The shell calls are replaced, so
// no browser ever starts; the clipboard is the real one.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "store/link_handoff.h"

namespace {

struct Launch {
    std::string commandLine;
    UINT show;
};
struct ShellLaunch {
    HWND parent;
    std::wstring verb, file, parameters;
    bool directoryNull;
    INT show;
};
std::vector<Launch> g_launches;
std::vector<ShellLaunch> g_shellLaunches;
std::vector<HANDLE> g_refused;
std::vector<HANDLE> g_accepted;

UINT WINAPI RecordWinExec(LPCSTR commandLine, UINT show) {
    g_launches.push_back({commandLine, show});
    return 33;
}

HINSTANCE WINAPI RecordShellExecute(HWND parent, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters,
                                    LPCWSTR directory, INT show) {
    g_shellLaunches.push_back({parent, verb ? verb : L"", file ? file : L"",
                               parameters ? parameters : L"", directory == nullptr, show});
    return reinterpret_cast<HINSTANCE>(33);
}

HANDLE WINAPI RefuseClipboardData(UINT, HANDLE data) {
    g_refused.push_back(data);
    return nullptr;
}

HANDLE WINAPI RecordClipboardData(UINT format, HANDLE data) {
    g_accepted.push_back(data);
    return SetClipboardData(format, data);
}

class LinkHandoffTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_launches.clear();
        g_shellLaunches.clear();
        g_refused.clear();
        g_accepted.clear();
        LinkHandoffCalls calls = SystemLinkHandoffCalls();
        calls.winExec = &RecordWinExec;
        calls.shellExecuteW = &RecordShellExecute;
        previous_ = SetLinkHandoffCalls(calls);
    }
    void TearDown() override { SetLinkHandoffCalls(previous_); }

    // Whether each link reached the shell, through both entry points.
    static bool Opens(const std::string& url) {
        g_launches.clear();
        g_shellLaunches.clear();
        OpenUrlInShell(url);
        OpenUrlInShellW(std::wstring(url.begin(), url.end()));
        EXPECT_EQ(g_launches.size(), g_shellLaunches.size()) << url;
        return !g_launches.empty();
    }

    LinkHandoffCalls previous_{};
};

std::wstring ReadClipboardText() {
    std::wstring text = L"<nothing>";
    if (!OpenClipboard(nullptr))
        return L"<closed>";
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
            text = chars;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

// Explorer reads commas, "=", "%" and switches such as "/root,PATH" and
// "/select,PATH" as its own syntax, and a bare "explorer.exe" is looked for in
// the program's folder and the current directory first. Every link that
// passes, hostile or not, reaches the Windows folder's explorer.exe as one
// quoted item, unchanged.
TEST_F(LinkHandoffTest, ExplorerByFullPathGetsTheLinkAsOneQuotedItem) {
    wchar_t folder[MAX_PATH];
    const UINT n = GetSystemWindowsDirectoryW(folder, MAX_PATH);
    ASSERT_GT(n, 0u);
    const std::wstring explorer = std::wstring(folder, n) + L"\\explorer.exe";
    ASSERT_NE(GetFileAttributesW(explorer.c_str()), INVALID_FILE_ATTRIBUTES);
    const std::string explorerA(explorer.begin(), explorer.end());  // ASCII here

    const std::wstring links[] = {
        L"https://shop.example.com/p?id=7&c=a b",
        L"http://help.example.com/文档",
        L"https://help.example/,/root,C:\\Windows\\System32\\cmd.exe",
        L"https://help.example/x,/select,C:\\Windows\\System32\\cmd.exe",
        L"https://help.example/?a=1,b=2,/e,C:\\",
        L"https://help.example/=C:\\Windows\\System32\\cmd.exe",
        L"https://help.example/%SystemRoot%\\System32\\cmd.exe",
        L"https://help.example/a b /root, C:\\x.exe",
        L"https://help.example/,\\\\host\\share\\x.exe",
        L"https://help.example/,file:///C:/Windows/System32/cmd.exe",
    };
    for (const std::wstring& link : links) {
        g_launches.clear();
        g_shellLaunches.clear();
        std::string narrow(
            WideCharToMultiByte(CP_UTF8, 0, link.c_str(), -1, nullptr, 0, nullptr, nullptr) - 1,
            '\0');
        WideCharToMultiByte(CP_UTF8, 0, link.c_str(), -1, &narrow[0],
                            static_cast<int>(narrow.size()) + 1, nullptr, nullptr);
        OpenUrlInShell(narrow);
        OpenUrlInShellW(link);

        ASSERT_EQ(g_launches.size(), 1u) << narrow;
        EXPECT_EQ(g_launches[0].commandLine, "\"" + explorerA + "\" \"" + narrow + "\"");
        EXPECT_EQ(g_launches[0].show, static_cast<UINT>(SW_HIDE));
        ASSERT_EQ(g_shellLaunches.size(), 1u) << narrow;
        const ShellLaunch& s = g_shellLaunches[0];
        EXPECT_EQ(s.parent, nullptr);
        EXPECT_EQ(s.verb, L"open");
        EXPECT_EQ(s.file, explorer);
        EXPECT_EQ(s.parameters, L"\"" + link + L"\"");
        EXPECT_TRUE(s.directoryNull);
        EXPECT_EQ(s.show, SW_HIDE);
    }

    // What is no web link at all starts nothing.
    for (const char* link : {"\\\\host\\share\\x.exe", "file:///C:/Windows/System32/cmd.exe",
                             "/root,C:\\Windows\\System32\\cmd.exe", ",https://help.example/",
                             "=https://help.example/", "%SystemRoot%\\explorer.exe"})
        EXPECT_FALSE(Opens(link)) << link;
}

TEST_F(LinkHandoffTest, OnlyHttpAndHttpsSchemesInAnyCase) {
    EXPECT_TRUE(Opens("http://a"));
    EXPECT_TRUE(Opens("HTTPS://EXAMPLE.COM/"));
    EXPECT_TRUE(Opens("hTTp://example.com"));
    EXPECT_TRUE(Opens("https://example.com/it's"));

    EXPECT_FALSE(Opens(""));
    EXPECT_FALSE(Opens("http"));   // 4 characters
    EXPECT_FALSE(Opens("http:"));  // 5 characters, but no web link
    EXPECT_FALSE(Opens("abcde"));
    EXPECT_FALSE(Opens("ftp://example.com/file"));
    EXPECT_FALSE(Opens("file:///C:/Windows/System32/calc.exe"));
    EXPECT_FALSE(Opens("javascript:alert(1)"));
    EXPECT_FALSE(Opens("\\\\evil.example.com\\share\\run.exe"));
    EXPECT_FALSE(Opens("C:\\Windows\\System32\\calc.exe"));
    EXPECT_FALSE(Opens(" https://example.com"));  // not at the start
    EXPECT_FALSE(Opens("httpx://example.com"));
}

TEST_F(LinkHandoffTest, NoQuoteOrControlCharacterReachesTheCommandLine) {
    EXPECT_FALSE(Opens("https://example.com/\" /select,C:\\Windows"));
    EXPECT_FALSE(Opens("https://example.com/\"x"));
    EXPECT_FALSE(Opens("https://example.com/\r\nmore"));
    EXPECT_FALSE(Opens("https://example.com/\tx"));
    EXPECT_FALSE(Opens("https://example.com/\x7f"));
    EXPECT_FALSE(Opens(std::string("https://example.com/\0calc", 24)));

    // C1 controls only mean something in UTF-16; as UTF-8 bytes they belong to
    // ordinary characters, like the "" of 下载 below.
    OpenUrlInShellW(L"https://example.com/\x0085");
    EXPECT_TRUE(g_shellLaunches.empty());
    OpenUrlInShell("https://example.com/\xe4\xb8\x8b\xe8\xbd\xbd");
    EXPECT_EQ(g_launches.size(), 1u);
}

TEST_F(LinkHandoffTest, ClipboardRoundTripsChineseAndEmptyText) {
    ASSERT_TRUE(CopyTextToClipboard(L"https://下载.example.com/安装包.exe"));
    EXPECT_EQ(ReadClipboardText(), L"https://下载.example.com/安装包.exe");

    ASSERT_TRUE(CopyTextToClipboard(L""));
    EXPECT_EQ(ReadClipboardText(), L"");

    // The clipboard holds only the new text: what another program had put
    // there in other formats is gone.
    const UINT other = RegisterClipboardFormatW(L"ParvelleTestOtherFormat");
    ASSERT_NE(other, 0u);
    ASSERT_TRUE(OpenClipboard(nullptr));
    ASSERT_TRUE(EmptyClipboard());
    HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, 4);
    ASSERT_NE(data, nullptr);
    ASSERT_NE(SetClipboardData(other, data), nullptr);
    CloseClipboard();
    ASSERT_TRUE(IsClipboardFormatAvailable(other));
    ASSERT_TRUE(CopyTextToClipboard(L"second"));
    EXPECT_FALSE(IsClipboardFormatAvailable(other));
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_UNICODETEXT));
    EXPECT_EQ(ReadClipboardText(), L"second");
}

// Another window holding the clipboard open makes the copy fail.
TEST_F(LinkHandoffTest, ClipboardHeldElsewhereGivesFalse) {
    ASSERT_TRUE(CopyTextToClipboard(L"before"));
    HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    struct Shared {
        HANDLE ready, done;
        bool opened;
    } shared{ready, done, false};
    HANDLE holder = CreateThread(
        nullptr, 0,
        [](void* p) -> DWORD {
            auto* s = static_cast<Shared*>(p);
            HWND owner = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                         nullptr, nullptr);
            s->opened = owner && OpenClipboard(owner) != FALSE;
            SetEvent(s->ready);
            WaitForSingleObject(s->done, 10000);
            if (s->opened)
                CloseClipboard();
            DestroyWindow(owner);
            return 0;
        },
        &shared, 0, nullptr);
    ASSERT_EQ(WaitForSingleObject(ready, 10000), WAIT_OBJECT_0);
    ASSERT_TRUE(shared.opened);
    EXPECT_FALSE(CopyTextToClipboard(L"refused"));
    SetEvent(done);
    WaitForSingleObject(holder, 10000);
    CloseHandle(holder);
    CloseHandle(ready);
    CloseHandle(done);
    EXPECT_EQ(ReadClipboardText(), L"before");
}

// When the clipboard refuses the data, the memory is freed and the result is
// false, and the clipboard is closed again. Accepted data belongs to the
// clipboard and stays alive.
TEST_F(LinkHandoffTest, RefusedDataIsFreedAndAcceptedDataKept) {
    LinkHandoffCalls calls = SystemLinkHandoffCalls();
    calls.setClipboardData = &RefuseClipboardData;
    LinkHandoffCalls saved = SetLinkHandoffCalls(calls);
    const bool copied = CopyTextToClipboard(L"refused text");
    // Checked at once: the next allocation may reuse a freed handle.
    const SIZE_T refusedSize = g_refused.empty() ? 1 : GlobalSize(g_refused[0]);
    calls.setClipboardData = &RecordClipboardData;
    SetLinkHandoffCalls(calls);
    const bool accepted = CopyTextToClipboard(L"accepted text");
    SetLinkHandoffCalls(saved);

    EXPECT_FALSE(copied);
    EXPECT_EQ(g_refused.size(), 1u);
    EXPECT_EQ(refusedSize, 0u) << "the refused memory was not freed";
    EXPECT_TRUE(accepted);
    ASSERT_EQ(g_accepted.size(), 1u);
    EXPECT_NE(GlobalSize(g_accepted[0]), 0u) << "the clipboard's memory was freed";
    EXPECT_EQ(ReadClipboardText(), L"accepted text");
    ASSERT_TRUE(OpenClipboard(nullptr)) << "the clipboard was left open";
    CloseClipboard();
}

}  // namespace
