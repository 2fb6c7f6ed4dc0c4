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
#include "temp_dir.h"

namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

struct Stats {
    std::vector<double> samples;
    void Add(double v) { samples.push_back(v); }
    double Median() {
        if (samples.empty())
            return 0;
        std::sort(samples.begin(), samples.end());
        return samples[samples.size() / 2];
    }
    double Max() { return samples.empty() ? 0 : *std::max_element(samples.begin(), samples.end()); }
};

bool LoadSimInfo(const std::string& path, SimClient* sim) {
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return false;
    std::string text;
    char chunk[4096];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0)
        text.append(chunk, n);
    std::fclose(f);
    SimInfo info;
    if (!SimClient::ParseInfo(text, &info))
        return false;
    *sim = SimClient(info);
    return true;
}

double ProcessCpuMs() {
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    auto ms = [](const FILETIME& t) {
        return ((static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e4;
    };
    return ms(kernel) + ms(user);
}

// Waits until every watch thread has left; the time it took, or -1.
double WaitThreadsGone(Clock::time_point since) {
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
            runs = std::atoi(argv[i + 1]);
        if (!std::strcmp(argv[i], "--idle-seconds"))
            idleSeconds = std::atoi(argv[i + 1]);
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
        Clock::time_point t0 = Clock::now();
        StopOrderPolling();
        stopReturn.Add(MsSince(t0));
        hangGone.Add(WaitThreadsGone(t0));
    }
    sim.ClearFaults();
    for (int i = 0; i < runs; ++i) {
        CreateOrder(window, 2, 101, "13800138000");
        Sleep(500);  // the first (unpaid) answer is in, the pause runs
        Clock::time_point t0 = Clock::now();
        StopOrderPolling();
        pauseGone.Add(WaitThreadsGone(t0));
    }
    std::printf(
        "StopOrderPolling, transfer hanging: return median %.3f ms (max %.3f); thread gone "
        "median %.1f ms (max %.1f)\n",
        stopReturn.Median(), stopReturn.Max(), hangGone.Median(), hangGone.Max());
    std::printf("StopOrderPolling, in the 2 s pause: thread gone median %.1f ms (max %.1f)\n",
                pauseGone.Median(), pauseGone.Max());

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
        Clock::time_point t0 = Clock::now();
        CreateOrder(window, 2, 101, "13800138000");
        total.Add(MsSince(t0));
        StopOrderPolling();

        int length = static_cast<int>(answer.size());
        t0 = Clock::now();
        HttpGetToBuffer(url, answer.data(), &length, 10);
        request.Add(MsSince(t0));
        JsonDocument document = JsonParse(answer.data());
        std::string qrcode = JsonGetString(ReadEnvelope(document.get()).data, "qrcode");

        t0 = Clock::now();
        QRcode* code = QRcode_encodeString(qrcode.c_str(), 1, QR_ECLEVEL_L, QR_MODE_8, 1);
        double encodeMs = MsSince(t0);
        QRcode_free(code);
        encode.Add(encodeMs);
        t0 = Clock::now();
        WriteQrBitmap(qrcode, localConfig.qrImagePath);
        write.Add(MsSince(t0) - encodeMs);
    }
    WaitThreadsGone(Clock::now());
    std::printf(
        "CreateOrder end to end: median %.2f ms = request %.2f + QR encoding %.3f + BMP "
        "file %.2f (+ thread start and the rest)\n",
        total.Median(), request.Median(), encode.Median(), write.Median());

    // 3. What a thousand orders leave behind: each created, watched a moment
    // and abandoned.
    {
        for (int i = 0; i < 20; ++i)
            CreateOrder(window, 1 + i % 2, 101, "13800138000");
        StopOrderPolling();
        WaitThreadsGone(Clock::now());
        const ProcessStats before = ReadProcessStats();
        Clock::time_point t0 = Clock::now();
        for (int i = 0; i < orders; ++i) {
            CreateOrder(window, 1 + i % 2, 101, "13800138000");
            if (i % 10 == 0)
                Sleep(3);  // some watches reach their first poll
        }
        const double elapsed = MsSince(t0);
        StopOrderPolling();
        WaitThreadsGone(Clock::now());
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
    WaitThreadsGone(Clock::now());
    std::printf(
        "Watch CPU while waiting: %.1f ms per minute (process idle without a watch: %.1f "
        "ms per minute; %d s each)\n",
        (watching - idle) * 60.0 / idleSeconds, idle * 60.0 / idleSeconds, idleSeconds);
    DestroyWindow(window);
    return 0;
}
