#pragma once
// The store simulator's test proxy (tools/store_sim/proxy.py) as the C++
// tests and benchmarks see it: its ports on 127.0.0.3, one per behaviour,
// and its log of CONNECT requests.

#include <string>
#include <vector>

struct TestProxy {
    int tunnel = 0, refuse = 0, negotiate = 0, basic = 0, mitm = 0, down = 0;
    std::string log;  // Z:\... path of proxy-log.jsonl

    // "127.0.0.3:PORT", as a proxy setting names it.
    static std::string Via(int port) { return "127.0.0.3:" + std::to_string(port); }
};

// One logged request: its behaviour (mode), CONNECT target, the scheme of a
// Proxy-Authorization header ("" without), the status answered, and the path
// of a request read inside an intercepting tunnel ("" for none).
struct TestProxyLogEntry {
    std::string mode, target, auth, path;
    int status = 0;
};

// Reads proxy.json at the given Windows path; false when it cannot.
bool LoadTestProxy(const char* infoPath, TestProxy* proxy);

// The whole log, oldest first.
std::vector<TestProxyLogEntry> ReadTestProxyLog(const TestProxy& proxy);
