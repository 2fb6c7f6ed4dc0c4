#pragma once
// SimClient: the tests' own line to the store simulator (tools/store_sim).
//
// Tests registered with parvelle_add_test(... SIM) get STORE_SIM_INFO, the
// Windows path of the simulator's sim.json. SimClient::FromEnvironment reads
// it; the client then talks HTTPS to the simulator with its own libcurl
// handles (trusting the simulator's CA), independent of the program's
// transport, so it never disturbs the transport's shared connections.
//
//   SimClient sim;
//   ASSERT_TRUE(SimClient::FromEnvironment(&sim)) << "store simulator not running";
//   long mark = sim.LastSeq();
//   sim.AddFault(R"({"request":"page","kind":"body","body":"abc","count":1})");
//   ... requests of the code under test to sim.url() + "/..." ...
//   for (const SimLogEntry& e : sim.Log(mark)) { e.path, e.query, e.conn, e.status }
//
// Admin actions (POST https://localhost:P/admin/<action>, JSON body):
//   log (since, name), log/clear, fault (request, kind, count, kind's
//   parameters), faults, faults/clear (request), conn_latency (ms), auto_pay
//   (seconds), orders (mac, limit), order (order_no), pay (order_no), status,
//   reset. See tools/store_sim for the fault kinds and request names.
//
// The simulator serves the whole test run: prefer marks (LastSeq) and filters
// over reset, and give your requests paths of their own.

#include <string>
#include <vector>

struct SimInfo {
    int port = 0;
    std::string url;        // "https://localhost:P", no trailing slash
    std::string caFileWin;  // Z:\... path of the simulator's CA (PEM)
    std::string stateDir;   // Unix path of the simulator's state directory
};

struct SimResponse {
    bool ok = false;  // the transfer completed (any HTTP status)
    long status = 0;  // HTTP status
    std::string body;
};

// One request the simulator received (admin requests are not logged).
struct SimLogEntry {
    long seq = 0;
    std::string method;
    std::string url;
    std::string path;
    std::string query;  // raw query text
    std::string name;   // request name: getProductList, ..., picture, page, redirect
    long conn = 0;      // connection id: equal ids mean one reused connection
    int status = 0;     // HTTP status sent; 0 when none (hang, drop)
    double time = 0;    // when it arrived, in Unix seconds
};

class SimClient {
public:
    // Reads STORE_SIM_INFO; false when it is unset or unreadable.
    static bool FromEnvironment(SimClient* client);
    // Parses a sim.json text.
    static bool ParseInfo(const std::string& json, SimInfo* info);

    SimClient() = default;
    explicit SimClient(SimInfo info) : info_(std::move(info)) {}

    const SimInfo& info() const { return info_; }
    const std::string& url() const { return info_.url; }
    // The CA file as a wide path, for SetTrustedCaFile.
    std::wstring CaFileWide() const;

    // Plain requests; pathAndQuery starts with "/".
    SimResponse Get(const std::string& pathAndQuery, int timeoutSeconds = 20) const;
    SimResponse Post(const std::string& pathAndQuery, const std::string& jsonBody,
                     int timeoutSeconds = 20) const;

    // An admin action; true when the simulator answered {"ok": true}.
    bool Admin(const std::string& action, const std::string& jsonBody = "{}",
               std::string* answer = nullptr) const;

    // A fault, e.g. {"request":"page","kind":"hang","max_ms":5000,"count":1}.
    bool AddFault(const std::string& faultJson) const { return Admin("fault", faultJson); }
    // Faults of one request name, or all when empty; also releases hangs.
    bool ClearFaults(const std::string& request = "") const;
    bool SetConnLatency(int ms) const;

    // Log entries after seq `since`, optionally of one request name.
    std::vector<SimLogEntry> Log(long since = 0, const std::string& name = "") const;
    // Sequence number of the newest log entry (0 when the log is empty).
    long LastSeq() const;

private:
    SimResponse Send(const std::string& pathAndQuery, const std::string* postBody,
                     int timeoutSeconds) const;

    SimInfo info_;
};

// Percent-escapes text for a URL query value.
std::string UrlEscape(const std::string& text);
