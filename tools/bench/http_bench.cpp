// Time per request with and without shared connections, against the store
// simulator (STORE_SIM_INFO), with and without extra connection latency.
// Prints figures only; run by tools/bench/http_bench.sh.
#include <winsock2.h>
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "net/http.h"
#include "sim_client.h"

namespace {

struct Figures {
    double average = 0;
    double fastest = 0;
    int failures = 0;
};

Figures Measure(const std::string& url, int count) {
    std::vector<char> buffer(4096);
    std::vector<double> times;
    Figures f;
    for (int i = 0; i <= count; ++i) {
        int length = static_cast<int>(buffer.size());
        auto start = std::chrono::steady_clock::now();
        bool ok = HttpGetToBuffer(url, buffer.data(), &length, 10);
        double ms =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count();
        if (!ok) {
            ++f.failures;
        }
        if (i > 0) {  // the first request opens the connection either way
            times.push_back(ms);
        }
    }
    for (double t : times) {
        f.average += t / times.size();
    }
    f.fastest = *std::min_element(times.begin(), times.end());
    return f;
}

}  // namespace

int main(int argc, char** argv) {
    HttpGlobalInit();
    SimClient sim;
    if (!SimClient::FromEnvironment(&sim)) {
        std::fprintf(stderr, "STORE_SIM_INFO does not name a running simulator\n");
        return 1;
    }
    SetTrustedCaFile(sim.CaFileWide(), "localhost:" + std::to_string(sim.info().port));
    int count = argc > 1 ? std::max(1, std::atoi(argv[1])) : 30;
    std::string url =
        sim.url() +
        "/api/ps/statisticsTap?mac=00:11:22:33:44:55&action_type=1&type=1&channel=bench";

    std::printf("%d sequential requests each (after one warm-up), HTTPS to localhost under Wine\n",
                count);
    std::printf("%-26s %-10s %12s %12s %9s\n", "connection latency", "sharing", "avg ms", "min ms",
                "failures");
    for (int latency : {0, 25}) {
        sim.SetConnLatency(latency);
        for (bool sharing : {false, true}) {
            SetConnectionSharing(sharing);
            Figures f = Measure(url, count);
            std::printf("%-26s %-10s %12.2f %12.2f %9d\n",
                        (std::to_string(latency) + " ms per new connection").c_str(),
                        sharing ? "on" : "off", f.average, f.fastest, f.failures);
        }
    }
    sim.SetConnLatency(0);
    return 0;
}
