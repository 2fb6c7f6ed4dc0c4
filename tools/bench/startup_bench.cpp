// Times the start-up sequence against a store simulator that adds latency to
// every new connection, with a cold and a warm picture cache and with
// connection sharing on and off. Run through tools/bench/startup_bench.sh.
//
//   startup_bench.exe --sim-info SIM_JSON --latency-ms MS [--runs N] [--types 1,3]
//                     [--proxy-info PROXY_JSON]
//
// Every start runs in a child process of its own (the same program with
// --child), so no connection survives from one start to the next. Requests
// and connections are counted from the simulator's request log.
#include <winsock2.h>
#include <windows.h>
#include <gdiplus.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "app/startup_sequence.h"
#include "config/local_config.h"
#include "net/http.h"
#include "sim_client.h"
#include "skin/gdiplus_session.h"
#include "store/api_url.h"
#include "store/picture_file.h"
#include "temp_dir.h"
#include "test_proxy.h"
#include "user_proxy_settings.h"
#include "tools/bench/bench_support.h"

namespace {

std::wstring Widen(const std::string& text) {
    return std::wstring(text.begin(), text.end());
}

class NullWindow : public StartupWindow {
public:
    void SetStoreType(int) override {}
    void SetPayTypeIsFirst(bool) override {}
    void SetTitle(const std::wstring&) override {}
    void SetIcon(HICON icon) override { DestroyIcon(icon); }
};

// ---- children ------------------------------------------------------------

// One start in `dir`: prints "wall_ms requests connections ok".
int ChildStart(const SimClient& sim, const std::wstring& dir, int type, bool sharing) {
    GdiplusSession gdiplus;
    SetConnectionSharing(sharing);
    std::string ini = "[server]\r\ndomain=localhost:" + std::to_string(sim.info().port) +
                      "\r\nca_file=" + sim.info().caFileWin + "\r\ntype=" + std::to_string(type) +
                      "\r\n";
    FILE* f = _wfopen((dir + L"\\server.ini").c_str(), L"wb");
    if (!f)
        return 2;
    std::fwrite(ini.data(), 1, ini.size(), f);
    std::fclose(f);

    StartupInputs inputs;
    inputs.moduleDir = dir;
    inputs.firstArgument = L"";
    AdapterInfo adapter;
    adapter.type = 6;
    adapter.description = "Bench Ethernet";
    adapter.address = {0x0a, 0x00, 0x27, 0x00, 0xbe, 0x01};
    inputs.adapters = std::vector<AdapterInfo>{adapter};

    long mark = sim.LastSeq();
    NullWindow window;
    BenchClock::time_point start = BenchClock::now();
    bool ok = RunStartupSequence(window, inputs);
    double wall = MsSince(start);
    std::vector<SimLogEntry> log = sim.Log(mark);
    std::set<long> connections;
    for (const SimLogEntry& entry : log)
        connections.insert(entry.conn);
    std::printf("%.3f %zu %zu %d\n", wall, log.size(), connections.size(), ok ? 1 : 0);
    return ok ? 0 : 1;
}

// Prints "new_ms reused_ms first_picture_ms picture_ms": one small request
// on a new connection, the median of ten on the connection it left open, then
// the first load of a downloaded picture in the process and the median of
// five more loads.
int ChildCalibrate(const SimClient& sim) {
    HttpGlobalInit();
    SetTrustedCaFile(sim.CaFileWide(), "localhost:" + std::to_string(sim.info().port));
    SetConnectionSharing(true);
    std::string url =
        ApiUrl("localhost:" + std::to_string(sim.info().port), "getGroupConfig", {{"type", 1}});
    std::vector<char> buffer(4096);
    auto get = [&] {
        int length = static_cast<int>(buffer.size());
        BenchClock::time_point start = BenchClock::now();
        bool ok = HttpGetToBuffer(url, buffer.data(), &length, 10);
        return ok ? MsSince(start) : -1.0;
    };
    double fresh = get();
    std::vector<double> reused;
    for (int i = 0; i < 10; ++i)
        reused.push_back(get());
    std::sort(reused.begin(), reused.end());

    TempDir dir;
    std::wstring picture = dir.Join(L"picture.bin");
    if (!dir.ok() || !HttpGetToFile(sim.url() + "/pictures/pkg_101.png", picture, 10))
        return 1;
    GdiplusSession gdiplus;
    std::vector<double> loads;
    for (int i = 0; i < 6; ++i) {
        BenchClock::time_point start = BenchClock::now();
        std::unique_ptr<Gdiplus::Image> image = LoadPictureFile(picture);
        loads.push_back(MsSince(start));
    }
    double first = loads.front();
    loads.erase(loads.begin());
    std::sort(loads.begin(), loads.end());
    std::printf("%.3f %.3f %.3f %.3f\n", fresh, reused[reused.size() / 2], first,
                loads[loads.size() / 2]);
    return fresh < 0 || reused.front() < 0 ? 1 : 0;
}

// ---- driver --------------------------------------------------------------

// Runs this program with `args` and returns what it printed.
bool RunChild(const std::wstring& args, std::string* output) {
    wchar_t self[32768];
    DWORD n = GetModuleFileNameW(nullptr, self, 32768);
    if (n == 0 || n >= 32768)
        return false;
    SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
    HANDLE read = nullptr, write = nullptr;
    if (!CreatePipe(&read, &write, &sa, 0))
        return false;
    SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = write;
    si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    std::wstring command = L"\"" + std::wstring(self) + L"\" " + args;
    PROCESS_INFORMATION pi = {};
    BOOL started =
        CreateProcessW(self, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
    CloseHandle(write);
    if (!started) {
        CloseHandle(read);
        return false;
    }
    char chunk[512];
    DWORD got = 0;
    output->clear();
    while (ReadFile(read, chunk, sizeof chunk, &got, nullptr) && got > 0)
        output->append(chunk, got);
    CloseHandle(read);
    WaitForSingleObject(pi.hProcess, INFINITE);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return true;
}

struct Sample {
    double wallMs = 0;
    int requests = 0;
    int connections = 0;
    bool ok = false;
};

struct Row {
    std::vector<Sample> samples;
    double MedianWall() const {
        std::vector<double> v;
        for (const Sample& s : samples)
            v.push_back(s.wallMs);
        return Median(v);
    }
    double MinWall() const {
        double m = 1e300;
        for (const Sample& s : samples)
            m = std::min(m, s.wallMs);
        return samples.empty() ? 0 : m;
    }
    // The most frequent count (they should all agree).
    int Typical(int Sample::*member) const {
        std::map<int, int> count;
        for (const Sample& s : samples)
            ++count[s.*member];
        int best = 0, bestCount = -1;
        for (auto& [value, c] : count) {
            if (c > bestCount)
                best = value, bestCount = c;
        }
        return best;
    }
    bool AllOk() const {
        for (const Sample& s : samples) {
            if (!s.ok)
                return false;
        }
        return !samples.empty();
    }
};

// Warm start-ups (5 packages, sharing on) under three settings of the user's
// proxy, interleaved run by run: direct (detection off), automatic detection
// on (the default of a user without settings; nothing to find here), and a
// manual proxy that tunnels every connection (CONNECT). The tunnel costs one
// connection set-up through the proxy and nothing per request.
void ProxyRows(const std::wstring& simInfo, const std::string& proxyInfo, int runs) {
    TestProxy proxy;
    if (!LoadTestProxy(proxyInfo.c_str(), &proxy)) {
        std::fprintf(stderr, "cannot read %s\n", proxyInfo.c_str());
        return;
    }
    struct Setting {
        const char* label;
        const char* key;
        std::string proxy;
        bool detect;
        Row row;
        std::vector<double> tunnels;
    };
    std::vector<Setting> settings = {
        {"direct", "direct", "", false, {}, {}},
        {"detection on", "detect", "", true, {}, {}},
        {"manual proxy", "proxy", TestProxy::Via(proxy.tunnel), false, {}, {}}};
    for (int i = 0; i < runs; ++i) {
        TempDir dir;
        if (!dir.ok())
            return;
        const std::wstring args = L"--child start --sim-info \"" + simInfo + L"\" --dir \"" +
                                  dir.path() + L"\" --type 1 --sharing 1";
        std::string out;
        RunChild(args, &out);  // fills the picture cache
        for (Setting& setting : settings) {
            ScopedUserProxySettings user;
            if (!setting.detect)
                user.Write(setting.proxy, setting.proxy.empty() ? "" : "<-loopback>", "");
            const size_t before = ReadTestProxyLog(proxy).size();
            Sample s;
            int ok = 0;
            if (RunChild(args, &out) && std::sscanf(out.c_str(), "%lf %d %d %d", &s.wallMs,
                                                    &s.requests, &s.connections, &ok) == 4) {
                s.ok = ok == 1;
            }
            setting.row.samples.push_back(s);
            setting.tunnels.push_back(static_cast<double>(ReadTestProxyLog(proxy).size() - before));
        }
    }
    std::printf("\nWarm start-up, 5 packages, sharing on, by the user's proxy settings\n");
    std::printf("%-14s %9s %9s %8s %11s %8s\n", "settings", "wall ms", "min ms", "requests",
                "connections", "tunnels");
    for (const Setting& setting : settings) {
        std::printf("%-14s %9.1f %9.1f %8d %11d %8.0f%s\n", setting.label, setting.row.MedianWall(),
                    setting.row.MinWall(), setting.row.Typical(&Sample::requests),
                    setting.row.Typical(&Sample::connections), Median(setting.tunnels),
                    setting.row.AllOk() ? "" : "  (a start failed)");
        if (setting.row.AllOk()) {
            AddResult(std::string("startup_") + setting.key + "_ms", setting.row.MedianWall());
            AddResult(std::string("startup_") + setting.key + "_connections",
                      setting.row.Typical(&Sample::connections));
            AddResult(std::string("startup_") + setting.key + "_tunnels", Median(setting.tunnels));
        }
    }
}

int Driver(const std::string& simInfoPath, const std::string& proxyInfoPath, int latencyMs,
           int runs, const std::vector<int>& types) {
    SimClient sim;
    if (!LoadSimInfo(simInfoPath, &sim)) {
        std::fprintf(stderr, "cannot read %s\n", simInfoPath.c_str());
        return 2;
    }
    std::wstring info = Widen(simInfoPath);

    std::vector<double> freshMs, reusedMs, firstLoadMs, loadMs;
    for (int i = 0; i < runs; ++i) {
        std::string out;
        double fresh = 0, reused = 0, firstLoad = 0, load = 0;
        if (RunChild(L"--child calibrate --sim-info \"" + info + L"\"", &out) &&
            std::sscanf(out.c_str(), "%lf %lf %lf %lf", &fresh, &reused, &firstLoad, &load) == 4 &&
            fresh >= 0) {
            freshMs.push_back(fresh);
            reusedMs.push_back(reused);
            firstLoadMs.push_back(firstLoad);
            loadMs.push_back(load);
        }
    }
    if (freshMs.empty()) {
        std::fprintf(stderr, "calibration failed\n");
        return 2;
    }
    double tNew = Median(freshMs), tReused = Median(reusedMs);

    std::printf("Start-up sequence against the store simulator, %d ms extra per new connection\n",
                latencyMs);
    std::printf("(%d runs per row, each in a fresh process; wall time median and minimum)\n", runs);
    double tFirstLoad = Median(firstLoadMs), tLoad = Median(loadMs);
    std::printf(
        "Calibration (medians): one small request on a new connection %.1f ms, on a reused one "
        "%.2f ms;\n  loading a cached picture %.1f ms the first time in a process, %.1f ms "
        "afterwards\n\n",
        tNew, tReused, tFirstLoad, tLoad);
    std::printf("%-8s %-5s %-7s %9s %9s %8s %11s %9s %10s %11s\n", "packages", "cache", "sharing",
                "wall ms", "min ms", "requests", "connections", "floor ms", "latency ms",
                "pictures ms");

    for (int type : types) {
        for (bool sharing : {true, false}) {
            Row cold, warm;
            int packages = 0;
            for (int i = 0; i < runs; ++i) {
                TempDir dir;
                if (!dir.ok())
                    return 2;
                for (Row* row : {&cold, &warm}) {
                    std::wstring args = L"--child start --sim-info \"" + info + L"\" --dir \"" +
                                        dir.path() + L"\" --type " + std::to_wstring(type) +
                                        L" --sharing " + (sharing ? L"1" : L"0");
                    std::string out;
                    Sample s;
                    int ok = 0;
                    if (RunChild(args, &out) &&
                        std::sscanf(out.c_str(), "%lf %d %d %d", &s.wallMs, &s.requests,
                                    &s.connections, &ok) == 4) {
                        s.ok = ok == 1;
                    }
                    row->samples.push_back(s);
                }
            }
            // Cold: list, product picture, each package picture, group
            // configuration, logo, statistics.
            packages = cold.Typical(&Sample::requests) - 5;
            for (Row* row : {&cold, &warm}) {
                int requests = row->Typical(&Sample::requests);
                // Sharing: one connection set-up, then the requests in turn.
                // Without it every request pays for its own connection.
                double floor = sharing ? tNew + (requests - 1) * tReused : requests * tNew;
                double latency = sharing ? latencyMs : static_cast<double>(requests) * latencyMs;
                // Product, packages and logo are loaded from their files.
                double pictures = tFirstLoad + (packages + 1) * tLoad;
                std::printf("%-8d %-5s %-7s %9.1f %9.1f %8d %11d %9.1f %10.0f %11.1f%s\n", packages,
                            row == &cold ? "cold" : "warm", sharing ? "on" : "off",
                            row->MedianWall(), row->MinWall(), requests,
                            row->Typical(&Sample::connections), floor, latency, pictures,
                            row->AllOk() ? "" : "  (a start failed)");
                // A row with a failed start has no figures for the report.
                if (row->AllOk()) {
                    const std::string key = "startup_p" + std::to_string(packages) + "_" +
                                            (row == &cold ? "cold" : "warm") + "_" +
                                            (sharing ? "on" : "off");
                    AddResult(key + "_ms", row->MedianWall());
                    AddResult(key + "_floor_ms", floor);
                    AddResult(key + "_connections", row->Typical(&Sample::connections));
                }
            }
        }
    }
    std::printf(
        "\nfloor ms: with sharing one new-connection request plus the other requests at the "
        "reused-connection time;\n  without sharing every request at the new-connection time.\n"
        "latency ms: the simulator's added connection latency alone.\n"
        "pictures ms: local decoding of the product, package and logo pictures (not in the "
        "floor).\n");
    if (!proxyInfoPath.empty())
        ProxyRows(info, proxyInfoPath, runs);
    AddResult("startup_latency_ms", latencyMs);
    AddResult("startup_new_connection_ms", tNew);
    AddResult("startup_reused_connection_ms", tReused);
    PrintResults();
    return 0;
}

std::string Arg(int argc, char** argv, const char* name, const char* fallback = "") {
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::string(argv[i]) == name)
            return argv[i + 1];
    }
    return fallback;
}

}  // namespace

int main(int argc, char** argv) {
    std::string simInfo = Arg(argc, argv, "--sim-info");
    std::string child = Arg(argc, argv, "--child");
    if (child == "start" || child == "calibrate") {
        SimClient sim;
        if (!LoadSimInfo(simInfo, &sim))
            return 2;
        if (child == "calibrate")
            return ChildCalibrate(sim);
        std::string dir = Arg(argc, argv, "--dir");
        return ChildStart(sim, Widen(dir), std::atoi(Arg(argc, argv, "--type", "1").c_str()),
                          Arg(argc, argv, "--sharing", "1") == "1");
    }
    if (simInfo.empty()) {
        std::fprintf(stderr,
                     "usage: startup_bench --sim-info SIM_JSON --latency-ms MS [--runs N] "
                     "[--types 1,3]\n");
        return 2;
    }
    std::vector<int> types;
    std::string list = Arg(argc, argv, "--types", "1");
    for (size_t pos = 0; pos < list.size();) {
        size_t comma = list.find(',', pos);
        if (comma == std::string::npos)
            comma = list.size();
        types.push_back(std::atoi(list.substr(pos, comma - pos).c_str()));
        pos = comma + 1;
    }
    return Driver(simInfo, Arg(argc, argv, "--proxy-info"),
                  std::atoi(Arg(argc, argv, "--latency-ms", "0").c_str()),
                  std::max(1, std::atoi(Arg(argc, argv, "--runs", "5").c_str())), types);
}
