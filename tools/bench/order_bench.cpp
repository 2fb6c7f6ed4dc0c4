// Figures of the orders: how fast the payment watch stops, what an order's
// creation costs by part, and the CPU the watch uses while it waits. Run
// through tools/bench/order_bench.sh, which starts a store simulator.
//
//   order_bench.exe --sim-info SIM_JSON [--runs N] [--idle-seconds S] [--orders N]
#include <winsock2.h>
#include <windows.h>

#include <qrencode.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "config/local_config.h"
#include "net/http.h"
#include "process_stats.h"
#include "sim_client.h"
#include "store/api_url.h"
#include "store/json_read.h"
#include "store/order_watch.h"
#include "store/orders.h"
#include "store/qr_bitmap.h"
#include "temp_dir.h"
#include "tools/bench/bench_support.h"

namespace {

struct Stats {
    std::vector<double> samples;
    void Add(double v) { samples.push_back(v); }
    double Median() const { return ::Median(samples); }
    double Min() const {
        return samples.empty() ? -1 : *std::min_element(samples.begin(), samples.end());
    }
    double Max() const {
        return samples.empty() ? 0 : *std::max_element(samples.begin(), samples.end());
    }
};

double ProcessCpuMs() {
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    auto ms = [](const FILETIME& t) {
        return ((static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e4;
    };
    return ms(kernel) + ms(user);
}

// Waits until every watch thread has left; the time it took, or -1.
double WaitThreadsGone(BenchClock::time_point since) {
    while (LiveOrderWatchThreads() > 0) {
        if (MsSince(since) > 10000)
            return -1;
        Sleep(1);
    }
    return MsSince(since);
}

}  // namespace

int main(int argc, char** argv) {
    std::string simInfo;
    int runs = 20;
    int idleSeconds = 20;
    int orders = 1000;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--sim-info"))
            simInfo = argv[i + 1];
        if (!std::strcmp(argv[i], "--runs"))
            runs = std::max(1, std::atoi(argv[i + 1]));
        if (!std::strcmp(argv[i], "--idle-seconds"))
            idleSeconds = std::max(1, std::atoi(argv[i + 1]));
        if (!std::strcmp(argv[i], "--orders"))
            orders = std::max(1, std::atoi(argv[i + 1]));
    }
    SimClient sim;
    if (!LoadSimInfo(simInfo, &sim)) {
        std::fprintf(stderr, "cannot read %s\n", simInfo.c_str());
        return 2;
    }
    TempDir dir;
    HttpGlobalInit();
    SetTrustedCaFile(sim.CaFileWide(), sim.url().substr(std::strlen("https://")));
    localConfig.moduleDir = dir.path();
    localConfig.dataDir = dir.path();
    localConfig.qrImagePath = dir.path() + L"\\tmp.bin";
    localConfig.apiHost = sim.url().substr(std::strlen("https://"));
    localConfig.machineId = "0a:00:27:00:0b:01";
    localConfig.channel = "master";
    HWND window =
        CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);

    // 1. Stopping a watch whose transfer hangs, and one that is in its pause.
    sim.AddFault(R"({"request":"orderDetail","kind":"hang","max_ms":20000})");
    Stats stopReturn, hangGone, pauseGone;
    for (int i = 0; i < runs; ++i) {
        CreateOrder(window, 2, 101, "13800138000");
        Sleep(300);  // the first poll is in its transfer now
        BenchClock::time_point t0 = BenchClock::now();
        StopOrderPolling();
        stopReturn.Add(MsSince(t0));
        hangGone.Add(WaitThreadsGone(t0));
    }
    sim.ClearFaults();
    for (int i = 0; i < runs; ++i) {
        CreateOrder(window, 2, 101, "13800138000");
        Sleep(500);  // the first (unpaid) answer is in, the pause runs
        BenchClock::time_point t0 = BenchClock::now();
        StopOrderPolling();
        pauseGone.Add(WaitThreadsGone(t0));
    }
    std::printf(
        "StopOrderPolling, transfer hanging: return median %.3f ms (max %.3f); thread gone "
        "median %.1f ms (max %.1f)\n",
        stopReturn.Median(), stopReturn.Max(), hangGone.Median(), hangGone.Max());
    std::printf("StopOrderPolling, in the 2 s pause: thread gone median %.1f ms (max %.1f)\n",
                pauseGone.Median(), pauseGone.Max());
    AddResult("stop_hanging_return_ms", stopReturn.Median());
    AddResult("stop_hanging_return_max_ms", stopReturn.Max());
    // A thread that outlived the wait has no time to report.
    if (hangGone.Min() >= 0)
        AddResult("stop_hanging_gone_ms", hangGone.Median());
    if (pauseGone.Min() >= 0)
        AddResult("stop_pause_gone_ms", pauseGone.Median());

    // 2. CreateOrder end to end, and its parts.
    Stats total, request, encode, write;
    std::string url = ApiUrl("createOrder", {{"mac", localConfig.machineId},
                                             {"type", 1},
                                             {"channel", localConfig.channel},
                                             {"pay_type", 2},
                                             {"package_id", 101},
                                             {"mobile", "13800138000"}});
    std::vector<char> answer(10240);
    for (int i = 0; i < runs; ++i) {
        BenchClock::time_point t0 = BenchClock::now();
        CreateOrder(window, 2, 101, "13800138000");
        total.Add(MsSince(t0));
        StopOrderPolling();

        int length = static_cast<int>(answer.size());
        t0 = BenchClock::now();
        HttpGetToBuffer(url, answer.data(), &length, 10);
        request.Add(MsSince(t0));
        JsonDocument document = JsonParse(answer.data());
        std::string qrcode = JsonGetString(ReadEnvelope(document.get()).data, "qrcode");

        t0 = BenchClock::now();
        QRcode* code = QRcode_encodeString(qrcode.c_str(), 1, QR_ECLEVEL_L, QR_MODE_8, 1);
        double encodeMs = MsSince(t0);
        QRcode_free(code);
        encode.Add(encodeMs);
        // As in CreateOrder: the file of the last order is gone first.
        DeleteFileW(localConfig.qrImagePath.c_str());
        t0 = BenchClock::now();
        WriteQrBitmap(qrcode, localConfig.qrImagePath);
        write.Add(MsSince(t0) - encodeMs);
    }
    WaitThreadsGone(BenchClock::now());
    std::printf(
        "CreateOrder end to end: median %.2f ms = request %.2f + QR encoding %.3f + BMP "
        "file %.2f (+ thread start and the rest)\n",
        total.Median(), request.Median(), encode.Median(), write.Median());
    AddResult("create_ms", total.Median());
    AddResult("create_request_ms", request.Median());
    AddResult("create_encode_ms", encode.Median());
    AddResult("create_bmp_ms", write.Median());

    // 3. What a thousand orders leave behind: each created, watched a moment
    // and abandoned.
    {
        for (int i = 0; i < 20; ++i)
            CreateOrder(window, 1 + i % 2, 101, "13800138000");
        StopOrderPolling();
        WaitThreadsGone(BenchClock::now());
        const ProcessStats before = ReadProcessStats();
        BenchClock::time_point t0 = BenchClock::now();
        for (int i = 0; i < orders; ++i) {
            CreateOrder(window, 1 + i % 2, 101, "13800138000");
            if (i % 10 == 0)
                Sleep(3);  // some watches reach their first poll
        }
        const double elapsed = MsSince(t0);
        StopOrderPolling();
        WaitThreadsGone(BenchClock::now());
        MSG msg;
        while (PeekMessageW(&msg, window, 0, 0, PM_REMOVE)) {
        }
        const ProcessStats after = ReadProcessStats();
        std::printf(
            "%d orders (%.1f ms each): heap %+.1f KiB, handles %+ld, GDI %+ld, committed "
            "%+.1f KiB\n",
            orders, elapsed / orders,
            (static_cast<double>(after.heapBytes) - before.heapBytes) / 1024,
            static_cast<long>(after.handles) - static_cast<long>(before.handles),
            after.gdiObjects - before.gdiObjects,
            (static_cast<double>(after.committedBytes) - before.committedBytes) / 1024);
        AddResult("orders", orders);
        AddResult("orders_each_ms", elapsed / orders);
        AddResult("orders_heap_kib",
                  (static_cast<double>(after.heapBytes) - before.heapBytes) / 1024);
        AddResult("orders_handles",
                  static_cast<double>(after.handles) - static_cast<double>(before.handles));
        AddResult("orders_gdi", static_cast<double>(after.gdiObjects - before.gdiObjects));
        AddResult("orders_committed_kib",
                  (static_cast<double>(after.committedBytes) - before.committedBytes) / 1024);
    }

    // 4. CPU the watch uses while the order stays unpaid.
    double cpu0 = ProcessCpuMs();
    Sleep(static_cast<DWORD>(idleSeconds) * 1000);
    double idle = ProcessCpuMs() - cpu0;
    CreateOrder(window, 2, 101, "13800138000");
    Sleep(100);
    cpu0 = ProcessCpuMs();
    Sleep(static_cast<DWORD>(idleSeconds) * 1000);
    double watching = ProcessCpuMs() - cpu0;
    StopOrderPolling();
    WaitThreadsGone(BenchClock::now());
    std::printf(
        "Watch CPU while waiting: %.1f ms per minute (process idle without a watch: %.1f "
        "ms per minute; %d s each)\n",
        (watching - idle) * 60.0 / idleSeconds, idle * 60.0 / idleSeconds, idleSeconds);
    // A process that has made a thousand orders has used CPU: times that still
    // read 0 are not kept (Wine may not count them), so no figure.
    if (ProcessCpuMs() > 0) {
        AddResult("watch_cpu_ms_per_min", (watching - idle) * 60.0 / idleSeconds);
        AddResult("idle_cpu_ms_per_min", idle * 60.0 / idleSeconds);
    }
    PrintResults();
    DestroyWindow(window);
    return 0;
}
