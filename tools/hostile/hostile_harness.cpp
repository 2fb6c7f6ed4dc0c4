// Runs the client's real request code paths one case at a time, for
// tools/hostile/run.py, which sets each case's fault in the store simulator
// beforehand. Test-side only; built with the test configuration (UBSan traps,
// library assertions).
//
//   hostile_harness.exe DIR API_HOST CA_FILE|-
//
// DIR is the program directory (picture cache, QR file, working directory).
// Commands, one per line on stdin; every answer is one line on stdout:
//   run REQUEST [fresh] [ARG]   -> "done OK MS [anomaly=WHAT]" (OK 1 when the code
//       reported success; an anomaly is a broken promise of the code, such as
//       a failed download left in the picture cache, or a link that reached
//       the shell other than as one quoted item of the Windows folder's
//       explorer.exe: the links each request brings are opened as the
//       program opens them, with the shell calls recorded, never made)
//       getProductList, getGroupConfig, statisticsTap, createOrder,
//       watch (an order created unfaulted, then the watch on it until it ends),
//       lookup ORDER_NO (LookupOrderLinks), orderList (the history page's
//       FetchOrderPage and a repaint; OK when rows show), picture URL (LoadCachedPicture, then the
//       logo of getGroupConfig, both painted as the store front paints them).
//       "fresh": this case opens new connections (no connection sharing).
//   measure                     -> "measure heap=B handles=N gdi=N threads=N"
//   crash                       -> a trap, as a failed check would raise: "crash ..."
//   quit
// A crash prints "crash ..." and ends the process at once, so that Wine's
// debugger never sits on it.
#include <windows.h>
#include <shlwapi.h>
#include <gdiplus.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/scaled_picture.h"
#include "app/store_front_paint.h"
#include "config/local_config.h"
#include "framework/afxwnd.h"
#include "net/http.h"
#include "pages/page_history.h"
#include "skin/gdiplus_session.h"
#include "skin/paint_tools.h"
#include "store/catalogue.h"
#include "store/deferred_picture.h"
#include "store/group_config.h"
#include "store/json_read.h"
#include "store/link_handoff.h"
#include "store/order_watch.h"
#include "process_stats.h"
#include "store/orders.h"
#include "store/picture_file.h"
#include "store/statistics_tap.h"
#include "store/store_state.h"

namespace {

constexpr DWORD kWatchEndMilliseconds = 30000;

void Say(const std::string& line) {
    std::fputs((line + "\n").c_str(), stdout);
    std::fflush(stdout);
}

LONG WINAPI ReportCrash(EXCEPTION_POINTERS* info) {
    char line[96];
    std::snprintf(line, sizeof line, "crash exception 0x%08lx at %p\n",
                  info->ExceptionRecord->ExceptionCode, info->ExceptionRecord->ExceptionAddress);
    std::fputs(line, stdout);
    std::fflush(stdout);
    TerminateProcess(GetCurrentProcess(), 70);
    return EXCEPTION_EXECUTE_HANDLER;
}

void ReportAbort(int) {
    std::fputs("crash abort\n", stdout);
    std::fflush(stdout);
    TerminateProcess(GetCurrentProcess(), 71);
}

// The shell calls of the link hand-off, recorded instead of made.
struct ShellCall {
    std::string commandLine;        // WinExec
    std::wstring file, parameters;  // ShellExecuteW
};
std::vector<ShellCall> g_shellCalls;

UINT WINAPI RecordWinExec(LPCSTR commandLine, UINT) {
    g_shellCalls.push_back({commandLine ? commandLine : "", L"", L""});
    return 33;
}

HINSTANCE WINAPI RecordShellExecute(HWND, LPCWSTR, LPCWSTR file, LPCWSTR parameters, LPCWSTR, INT) {
    g_shellCalls.push_back({"", file ? file : L"", parameters ? parameters : L""});
    return reinterpret_cast<HINSTANCE>(33);
}

std::wstring WindowsExplorer() {
    wchar_t folder[MAX_PATH];
    const UINT n = GetSystemWindowsDirectoryW(folder, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::wstring(folder, n) + L"\\explorer.exe" : L"";
}

// Opens a link as the program does; false when a call reached the shell other
// than as explorer.exe by full path with the link, unchanged and free of
// quotes, as its one quoted item.
bool HandsOffSafely(const std::string& url) {
    const std::wstring explorer = WindowsExplorer();
    const std::string explorerA(explorer.begin(), explorer.end());
    g_shellCalls.clear();
    OpenUrlInShell(url);
    for (const ShellCall& call : g_shellCalls) {
        if (url.find('"') != std::string::npos ||
            call.commandLine != "\"" + explorerA + "\" \"" + url + "\"")
            return false;
    }
    return true;
}
bool HandsOffSafely(const std::wstring& url) {
    g_shellCalls.clear();
    OpenUrlInShellW(url);
    for (const ShellCall& call : g_shellCalls) {
        if (url.find(L'"') != std::wstring::npos || call.file != WindowsExplorer() ||
            call.parameters != L"\"" + url + L"\"")
            return false;
    }
    return true;
}

void Pump(HWND window) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_ORDER_PAID && msg.hwnd == window) {
            PaidOrderPosts().Redeem(window, msg.lParam);  // freed here
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// A 32-bit memory canvas of the main window's size.
class Canvas {
public:
    Canvas() {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = 800;
        info.bmiHeader.biHeight = -600;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        dc_ = CreateCompatibleDC(nullptr);
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        old_ = SelectObject(dc_, bitmap_);
    }
    ~Canvas() {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    HDC dc() const { return dc_; }

private:
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
};

// The store front as the main window paints it, with the product's pictures,
// and each package picture as the payment pages draw it.
void PaintProduct(const ProductRecord& product) {
    Canvas canvas;
    Gdiplus::Graphics graphics(canvas.dc());
    PaintTools tools;
    ScaledPicture cache;
    StoreFrontContent content;
    content.product = &product;
    content.productName = product.name;
    content.productCache = &cache;
    PaintStoreFront(graphics, tools, DisplayScale(), 800, content);
    for (const PackageRecord& package : product.packages) {
        if (package.packageImage) {
            if (const std::shared_ptr<Gdiplus::Image> picture = package.packageImage->At(408, 576))
                graphics.DrawImage(picture.get(), 0, 0, 408, 576);
        }
    }
    GdiFlush();
}

class Harness {
public:
    Harness(const std::wstring& dir, const std::string& apiHost) : dir_(dir) {
        localConfig = LocalConfig();
        AllocateResponseBuffer(localConfig);
        localConfig.moduleDir = dir;
        localConfig.dataDir = dir;
        localConfig.qrImagePath = dir + L"\\tmp.bin";
        localConfig.apiHost = apiHost;
        localConfig.machineId = "0a:00:27:00:15:01";
        localConfig.channel = "master";
        receiver_.CreateEx(0, AfxRegisterWndClass(0), L"hostile receiver", WS_POPUP, 0, 0, 800, 600,
                           nullptr, nullptr);
        historyParent_.CreateEx(0, AfxRegisterWndClass(0), L"hostile history", WS_POPUP, 0, 0, 800,
                                600, nullptr, nullptr);
        history_.Create(CPageHistory::kTemplateId, &historyParent_);
    }
    ~Harness() {
        StopOrderPolling();
        history_.DestroyWindow();
        historyParent_.DestroyWindow();
        receiver_.DestroyWindow();
    }
    Harness(const Harness&) = delete;
    Harness& operator=(const Harness&) = delete;

    // The windows exist (they need a display).
    bool ready() const { return receiver_.m_hWnd && history_.m_hWnd && history_.list.m_hWnd; }

    bool Run(const std::string& request, const std::string& argument) {
        if (request == "getProductList") {
            storeState.products.clear();
            const bool ok = FetchProductList(1);
            if (ok) {
                const ProductRecord& product = storeState.products.back();
                PaintProduct(product);
                CheckHandOff(product.shopUrl);
                for (const PackageRecord& package : product.packages)
                    CheckHandOff(package.helpLinkUrl);
            }
            return ok;  // the pictures' owner empties storeState as it goes
        }
        if (request == "getGroupConfig") {
            ProductRecord product;
            const bool ok = FetchGroupConfig(1, product);
            PaintProduct(product);
            CheckHandOff(storeState.customerServiceUrl);
            return ok;
        }
        if (request == "statisticsTap")
            return SendStatisticsTap(1);
        if (request == "createOrder") {
            const bool ok = CreateOrder(receiver_.m_hWnd, 1, 101, "13800138000");
            // A created order is one whose payment can be watched.
            if (ok && storeState.currentOrderNo.empty())
                anomaly_ = "order-without-number-accepted";
            StopOrderPolling();
            WaitForOrderWatchThreads(kWatchEndMilliseconds);
            return ok;
        }
        if (request == "watch")
            return Watch();
        if (request == "lookup") {
            HistoryOrder order;
            order.orderNo = argument;
            order.payStatus = 1;
            const bool ok = LookupOrderLinks(order);
            CheckHandOff(order.linkUrl);
            CheckHandOff(Utf8ToWide(order.helpLinkUrl));
            return ok;
        }
        if (request == "orderList") {
            history_.FetchOrderPage(1);
            Canvas canvas;
            history_.SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas.dc()));
            history_.list.SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas.dc()));
            GdiFlush();
            return history_.list.RowCount() > 0;
        }
        if (request == "picture")
            return Picture(argument);
        return false;
    }

    std::string Measure() {
        Pump(receiver_.m_hWnd);
        // Idle connections (the one kept for the next payment watch, this
        // thread's cache) are kept, not lost: measured without them, the
        // batch compares like with like.
        if (LiveOrderWatchThreads() == 0)
            CloseIdleConnections();
        char line[160];
        std::snprintf(line, sizeof line, "measure heap=%llu handles=%d gdi=%ld threads=%d",
                      static_cast<unsigned long long>(HeapBytesInUse()),
                      static_cast<int>(OpenHandleCount()), LiveGdiObjects(),
                      LiveOrderWatchThreads());
        return line;
    }

    HWND receiver() const { return receiver_.m_hWnd; }

    // What the last case left wrong, if anything; cleared by the call.
    std::string TakeAnomaly() { return std::move(anomaly_); }

private:
    // The narrow links are opened both ways (the history's help link, like
    // the package's, goes the wide way).
    void CheckHandOff(const std::string& url) {
        if (!HandsOffSafely(url) || !HandsOffSafely(Utf8ToWide(url)))
            anomaly_ = "link-reached-the-shell-unsafely";
    }
    void CheckHandOff(const std::wstring& url) {
        if (!HandsOffSafely(url))
            anomaly_ = "link-reached-the-shell-unsafely";
    }

    // An order is created and paid by the simulator (auto-pay) a moment
    // later; the run gives the watch's first poll the hostile answer. The
    // watch ends by itself once an answer says paid, the hostile one or the
    // real one 2 s later.
    bool Watch() {
        if (!CreateOrder(receiver_.m_hWnd, 2, 102, "13800138000"))
            return false;
        const DWORD start = GetTickCount();
        while (LiveOrderWatchThreads() > 0 && GetTickCount() - start < kWatchEndMilliseconds) {
            Pump(receiver_.m_hWnd);
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        }
        const bool ended = LiveOrderWatchThreads() == 0;
        StopOrderPolling();
        WaitForOrderWatchThreads(kWatchEndMilliseconds);
        Pump(receiver_.m_hWnd);
        return ended;
    }

    bool Picture(const std::string& url) {
        const std::wstring path = ProductPicturePath(dir_, 1);
        DeleteFileW(path.c_str());
        ProductRecord product;
        product.productImage = LoadCachedPicture(path, url);
        const bool loaded = product.productImage != nullptr;
        // What failed to load must not stay in the cache, where the next
        // start would take it for the picture for good.
        if (!loaded && PathFileExistsW(path.c_str()))
            anomaly_ = "failed-picture-left-in-cache";
        // The logo goes the other way: getGroupConfig names it and it is
        // fetched anew; one that gives no picture leaves no file either.
        FetchGroupConfig(1, product);
        const std::wstring logo = LogoPicturePath(dir_, 1);
        if (!product.logoImage && PathFileExistsW(logo.c_str()))
            anomaly_ = "refused-logo-left";
        // No download grows a file past the limit, not even for a moment.
        for (const std::wstring& file : {path, path + L".part", logo}) {
            WIN32_FILE_ATTRIBUTE_DATA data;
            if (GetFileAttributesExW(file.c_str(), GetFileExInfoStandard, &data) &&
                (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32 | data.nFileSizeLow) >
                    static_cast<ULONGLONG>(kMaxPictureFileBytes))
                anomaly_ = "file-over-the-limit-left";
        }
        PaintProduct(product);
        return loaded;
    }

    std::wstring dir_;
    std::string anomaly_;
    CWnd receiver_;
    CWnd historyParent_;
    CPageHistory history_;
};

std::wstring Widen(const char* text) {
    const int n = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
    std::wstring wide(n > 0 ? n - 1 : 0, L'\0');
    if (n > 1)
        MultiByteToWideChar(CP_UTF8, 0, text, -1, &wide[0], n);
    return wide;
}

}  // namespace

int main(int argc, char** argv) {
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    SetUnhandledExceptionFilter(ReportCrash);
    std::signal(SIGABRT, ReportAbort);
    if (argc < 4) {
        std::fprintf(stderr, "usage: hostile_harness DIR API_HOST CA_FILE\n");
        return 2;
    }
    const std::wstring dir = Widen(argv[1]);
    SetCurrentDirectoryW(dir.c_str());
    GdiplusSession gdiplus;
    HttpGlobalInit();
    // "-": the system store (which Wine's TLS does not check), to tell the
    // transport's own certificate check apart from the rest.
    if (std::string(argv[3]) != "-" && !SetTrustedCaFile(Widen(argv[3]), argv[2])) {
        Say("error ca_file");
        return 1;
    }
    LinkHandoffCalls shell = SystemLinkHandoffCalls();
    shell.winExec = &RecordWinExec;
    shell.shellExecuteW = &RecordShellExecute;
    SetLinkHandoffCalls(shell);
    Harness harness(dir, argv[2]);
    if (!harness.ready()) {
        Say("error windows");
        return 1;
    }
    Say("ready");

    char line[4096];
    while (std::fgets(line, sizeof line, stdin)) {
        std::istringstream words(line);
        std::string command, request, word, argument;
        words >> command;
        if (command == "quit")
            break;
        if (command == "crash")
            __builtin_trap();
        if (command == "measure") {
            Say(harness.Measure());
            continue;
        }
        if (command != "run") {
            Say("error unknown command");
            continue;
        }
        words >> request;
        bool fresh = false;
        while (words >> word) {
            if (word == "fresh")
                fresh = true;
            else
                argument = word;
        }
        SetConnectionSharing(!fresh);
        const DWORD start = GetTickCount();
        const bool ok = harness.Run(request, argument);
        const DWORD elapsed = GetTickCount() - start;
        SetConnectionSharing(true);
        Pump(harness.receiver());
        const std::string anomaly = harness.TakeAnomaly();
        Say("done " + std::to_string(ok ? 1 : 0) + " " + std::to_string(elapsed) +
            (anomaly.empty() ? "" : " anomaly=" + anomaly));
    }
    return 0;
}
