// The transport against the store simulator and the TLS peer: buffer limits,
// redirects, error pages, time-outs, downloads, connection reuse, certificates.
#include <gtest/gtest.h>

#include <winsock2.h>
#include <windows.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <map>
#include <set>
#include <thread>
#include <vector>

#include "net/http.h"
#include "net/kept_handle_state.h"
#include "process_stats.h"
#include "sim_client.h"
#include "temp_dir.h"
#include "tls_peer.h"

namespace {

constexpr int kPeerFailedVerification = 60;  // CURLE_PEER_FAILED_VERIFICATION
constexpr int kUnsupportedProtocol = 1;      // CURLE_UNSUPPORTED_PROTOCOL
constexpr int kAbortedByCallback = 42;       // CURLE_ABORTED_BY_CALLBACK

bool ReadWholeFile(const std::wstring& path, std::string* bytes) {
    FILE* file = _wfopen(path.c_str(), L"rb");
    if (file == nullptr)
        return false;
    char chunk[4096];
    size_t n;
    while ((n = fread(chunk, 1, sizeof chunk, file)) > 0)
        bytes->append(chunk, n);
    fclose(file);
    return true;
}

class HttpTransport : public ::testing::Test {
protected:
    static void SetUpTestSuite() { HttpGlobalInit(); }

    void SetUp() override {
        ASSERT_TRUE(SimClient::FromEnvironment(&sim_)) << "store simulator not running";
        ASSERT_TRUE(SetTrustedCaFile(sim_.CaFileWide(), SimHost()));
        SetConnectionSharing(true);
        mark_ = sim_.LastSeq();
    }
    void TearDown() override {
        sim_.ClearFaults("page");
        SetConnectionSharing(true);
        SetTrustedCaFile(std::wstring(), std::string());
    }

    std::string SimHost() const { return "localhost:" + std::to_string(sim_.info().port); }

    // A path no other test asks for; the simulator answers it as a "page".
    std::string UniquePath() {
        static std::atomic<int> counter{0};
        return "/net-test/" + std::to_string(GetCurrentProcessId()) + "-" +
               std::to_string(++counter);
    }
    std::string Url(const std::string& path) { return sim_.url() + path; }

    void NextPageBody(const std::string& body, int status = 200) {
        ASSERT_TRUE(sim_.AddFault(R"({"request":"page","kind":"body","count":1,"status":)" +
                                  std::to_string(status) + R"(,"body":")" + body + R"("})"));
    }
    void NextPageFault(const std::string& kindAndParams) {
        ASSERT_TRUE(sim_.AddFault(R"({"request":"page","count":1,"kind":)" + kindAndParams + "}"));
    }
    std::vector<SimLogEntry> MyRequests(const std::string& path) {
        std::vector<SimLogEntry> mine;
        for (const SimLogEntry& e : sim_.Log(mark_)) {
            if (e.path.find(path) != std::string::npos) {
                mine.push_back(e);
            }
        }
        return mine;
    }

    SimClient sim_;
    long mark_ = 0;
};

// A 64-byte buffer between guard bytes that must never change.
struct GuardedBuffer {
    static constexpr int kCapacity = 64;
    char bytes[16 + kCapacity + 16];
    GuardedBuffer() { memset(bytes, 0x5A, sizeof bytes); }
    char* data() { return bytes + 16; }
    bool GuardsIntact() const {
        for (int i = 0; i < 16; ++i) {
            if (bytes[i] != 0x5A || bytes[16 + kCapacity + i] != 0x5A) {
                return false;
            }
        }
        return true;
    }
};

TEST_F(HttpTransport, BodyOfCapacityMinusOneFitsWithTerminator) {
    GuardedBuffer b;
    int length = GuardedBuffer::kCapacity;
    NextPageBody(std::string(63, 'a'));
    ASSERT_TRUE(HttpGetToBuffer(Url(UniquePath()), b.data(), &length, 5));
    EXPECT_EQ(length, 63);
    EXPECT_EQ(std::string(b.data(), 63), std::string(63, 'a'));
    EXPECT_EQ(b.data()[63], '\0');
    EXPECT_TRUE(b.GuardsIntact());
}

TEST_F(HttpTransport, BodyOfCapacityOrMoreFailsWithoutWritingBeyondTheBuffer) {
    for (int size : {64, 65, 5000}) {
        GuardedBuffer b;
        int length = GuardedBuffer::kCapacity;
        NextPageBody(std::string(size, 'b'));
        EXPECT_FALSE(HttpGetToBuffer(Url(UniquePath()), b.data(), &length, 5)) << size;
        EXPECT_EQ(length, GuardedBuffer::kCapacity) << size;
        EXPECT_TRUE(b.GuardsIntact()) << size;
    }
}

TEST_F(HttpTransport, EmptyBodyAndUnusableBuffers) {
    GuardedBuffer b;
    int length = GuardedBuffer::kCapacity;
    NextPageBody("");
    ASSERT_TRUE(HttpGetToBuffer(Url(UniquePath()), b.data(), &length, 5));
    EXPECT_EQ(length, 0);
    EXPECT_EQ(b.data()[0], '\0');

    std::string path = UniquePath();
    int zero = 0;
    EXPECT_FALSE(HttpGetToBuffer(Url(path), b.data(), &zero, 5));
    EXPECT_FALSE(HttpGetToBuffer(Url(path), nullptr, &length, 5));
    EXPECT_FALSE(HttpGetToBuffer(Url(path), b.data(), nullptr, 5));
    EXPECT_TRUE(MyRequests(path).empty());
    EXPECT_TRUE(b.GuardsIntact());
}

TEST_F(HttpTransport, CoreDiscardsTheBodyWithoutASinkAndSendsExtraHeaders) {
    NextPageBody("discarded");
    EXPECT_TRUE(PerformGet(Url(UniquePath()), nullptr, false, 5));
    WriteSink empty;  // neither buffer nor file
    NextPageBody("discarded too");
    EXPECT_TRUE(PerformGet(Url(UniquePath()), &empty, false, 5));
    EXPECT_EQ(empty.received, 0);

    TlsPeer peer;
    ASSERT_TRUE(LoadTlsPeer(&peer));
    ASSERT_TRUE(SetTrustedCaFile(peer.caFile, peer.LocalHost()));
    char buffer[4096];
    WriteSink sink;
    sink.buffer = buffer;
    sink.capacity = sizeof buffer;
    ASSERT_TRUE(PerformGet(peer.LocalUrl("/echo"), &sink, true, 5, {"X-Parvelle-Test: 1"}));
    std::string text(buffer, sink.received);
    EXPECT_EQ(text.rfind("HTTP/1.1 200", 0), 0u) << text;  // headers delivered first
    EXPECT_NE(text.find("X-Parvelle-Test: 1"), std::string::npos) << text;
}

TEST_F(HttpTransport, ProductListSizedBodyArrivesInManyChunks) {
    std::vector<char> buffer(1048577);
    for (int size : {1048575, 1048576}) {
        int length = 1048576;
        NextPageFault(R"("oversized","bytes":)" + std::to_string(size));
        bool ok = HttpGetToBuffer(Url(UniquePath()), buffer.data(), &length, 20);
        if (size == 1048575) {
            ASSERT_TRUE(ok);
            EXPECT_EQ(length, size);
            EXPECT_EQ(buffer[size], '\0');
            EXPECT_EQ(std::string(buffer.data(), 12), "{\"padding\":\"");
        } else {
            EXPECT_FALSE(ok);
            EXPECT_EQ(length, 1048576);
        }
    }
}

TEST_F(HttpTransport, ErrorStatusWithBodyIsSuccess) {
    for (int status : {404, 500}) {
        char buffer[128];
        int length = sizeof buffer;
        NextPageBody("error page", status);
        ASSERT_TRUE(HttpGetToBuffer(Url(UniquePath()), buffer, &length, 5)) << status;
        EXPECT_EQ(std::string(buffer, length), "error page");
    }
}

TEST_F(HttpTransport, RedirectsAreFollowedWithReferer) {
    std::string path = UniquePath();
    NextPageFault(R"("redirect","hops":6)");
    char buffer[4096];
    int length = sizeof buffer;
    ASSERT_TRUE(HttpGetToBuffer(Url(path), buffer, &length, 5));
    std::vector<SimLogEntry> hops = MyRequests(path);
    ASSERT_EQ(hops.size(), 7u);          // the request and six hops
    EXPECT_EQ(hops.back().status, 404);  // the unknown path's own answer, delivered

    TlsPeer peer;
    ASSERT_TRUE(LoadTlsPeer(&peer)) << "tls peer not running";
    ASSERT_TRUE(SetTrustedCaFile(peer.caFile, peer.LocalHost()));
    length = sizeof buffer;
    ASSERT_TRUE(HttpGetToBuffer(peer.LocalUrl("/redirect/3"), buffer, &length, 5));
    std::string echo(buffer, length);
    EXPECT_NE(echo.find("GET /redirect/0"), std::string::npos) << echo;
    EXPECT_NE(echo.find("Referer: " + peer.LocalUrl("/redirect/1")), std::string::npos) << echo;
}

TEST_F(HttpTransport, RedirectFromHttpsToPlainHttpIsRefused) {
    TlsPeer peer;
    ASSERT_TRUE(LoadTlsPeer(&peer));
    ASSERT_TRUE(SetTrustedCaFile(peer.caFile, peer.LocalHost()));
    char buffer[1024];
    int length = sizeof buffer;
    EXPECT_FALSE(HttpGetToBuffer(peer.LocalUrl("/to-http"), buffer, &length, 5));
    EXPECT_EQ(LastHttpError(), kUnsupportedProtocol);
}

TEST_F(HttpTransport, OnlyWebUrlsAreFetched) {
    // A URL from the network naming a local file or another protocol is
    // refused before anything is read or sent.
    TempDir dir;
    ASSERT_TRUE(dir.WriteFile(L"secret.txt", "secret"));
    std::string path(dir.path().begin(), dir.path().end());  // ASCII temp path
    for (char& c : path) {
        if (c == '\\')
            c = '/';
    }
    std::string local = "file:///" + path + "/secret.txt";
    for (const std::string& url :
         {local, std::string("ftp://localhost:1/x"), std::string("smb://localhost/share/x"),
          std::string("dict://localhost:1/x")}) {
        char buffer[256];
        int length = sizeof buffer;
        EXPECT_FALSE(HttpGetToBuffer(url, buffer, &length, 3)) << url;
        EXPECT_EQ(LastHttpError(), kUnsupportedProtocol) << url;
        EXPECT_EQ(length, 256);
    }
}

TEST_F(HttpTransport, HangingServerFailsAtTheTotalTimeout) {
    NextPageFault(R"("hang","max_ms":20000)");
    char buffer[256];
    int length = sizeof buffer;
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(HttpGetToBuffer(Url(UniquePath()), buffer, &length, 2));
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_GE(seconds, 1.5);
    EXPECT_LT(seconds, 6.0);
    EXPECT_EQ(length, 256);
}

TEST_F(HttpTransport, UnreachableHostFails) {
    char buffer[256];
    int length = sizeof buffer;
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(HttpGetToBuffer("https://localhost:1/", buffer, &length, 3));
    EXPECT_FALSE(HttpGetToBuffer("https://no-such-host.invalid/", buffer, &length, 3));
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(seconds, 8.0);
}

TEST_F(HttpTransport, DownloadWritesExactlyTheBody) {
    TempDir dir;
    ASSERT_TRUE(dir.ok());
    // Bytes 0..255 twice: zeros and high bytes must survive.
    ASSERT_TRUE(sim_.AddFault(
        R"({"request":"page","kind":"body","count":1,"content_type":"image/png","body_base64":")" +
        std::string("AAECAwQFBgcICQoLDA0ODxAREhMUFRYXGBkaGxwdHh8gISIjJCUmJygpKissLS4vMDEyMzQ1Njc4"
                    "OTo7PD0+P0BBQkNERUZHSElKS0xNTk9QUVJTVFVWV1hZWltcXV5fYGFiY2RlZmdoaWprbG1ub3Bx"
                    "cnN0dXZ3eHl6e3x9fn+AgYKDhIWGh4iJiouMjY6PkJGSk5SVlpeYmZqbnJ2en6ChoqOkpaanqKmq"
                    "q6ytrq+wsbKztLW2t7i5uru8vb6/wMHCw8TFxsfIycrLzM3Oz9DR0tPU1dbX2Nna29zd3t/g4eLj"
                    "5OXm5+jp6uvs7e7v8PHy8/T19vf4+fr7/P3+/w==") +
        R"("})"));
    std::wstring file = dir.Join(L"pdt_1.bin");
    ASSERT_TRUE(HttpGetToFile(Url(UniquePath()), file, 10));
    std::string bytes;
    ASSERT_TRUE(dir.ReadFile(L"pdt_1.bin", &bytes));
    ASSERT_EQ(bytes.size(), 256u);
    for (int i = 0; i < 256; ++i) {
        ASSERT_EQ(static_cast<unsigned char>(bytes[i]), i);
    }
}

TEST_F(HttpTransport, FailedDownloadLeavesNoFile) {
    TempDir dir;
    ASSERT_TRUE(dir.WriteFile(L"old.bin", "picture of an earlier run"));
    NextPageFault(R"("truncated","send":100)");
    EXPECT_FALSE(HttpGetToFile(Url(UniquePath()), dir.Join(L"old.bin"), 5));
    EXPECT_FALSE(dir.Exists(L"old.bin"));
    NextPageFault(R"("drop")");
    EXPECT_FALSE(HttpGetToFile(Url(UniquePath()), dir.Join(L"new.bin"), 5));
    EXPECT_FALSE(dir.Exists(L"new.bin"));
}

TEST_F(HttpTransport, FileInMissingDirectoryFailsWithoutARequest) {
    TempDir dir;
    std::string path = UniquePath();
    EXPECT_FALSE(HttpGetToFile(Url(path), dir.Join(L"missing\\x.bin"), 5));
    EXPECT_TRUE(MyRequests(path).empty());
}

TEST_F(HttpTransport, ConsecutiveRequestsShareOneConnection) {
    std::string path = UniquePath();
    char buffer[4096];
    for (int i = 0; i < 3; ++i) {
        int length = sizeof buffer;
        ASSERT_TRUE(HttpGetToBuffer(Url(path + "/shared"), buffer, &length, 5));
    }
    SetConnectionSharing(false);
    for (int i = 0; i < 3; ++i) {
        int length = sizeof buffer;
        ASSERT_TRUE(HttpGetToBuffer(Url(path + "/alone"), buffer, &length, 5));
    }
    std::set<long> shared, alone;
    for (const SimLogEntry& e : MyRequests(path)) {
        (e.path.find("/shared") != std::string::npos ? shared : alone).insert(e.conn);
    }
    EXPECT_EQ(shared.size(), 1u);
    EXPECT_EQ(alone.size(), 3u);
}

// Every new connection to the store is a handshake checked against the CA
// bundle, host name included; none of them may leave memory behind (the
// library's host-name check once lost its decoded name list each time).
TEST_F(HttpTransport, CheckedHandshakesLeaveNoMemoryBehind) {
    std::string path = UniquePath();
    SetConnectionSharing(false);
    char buffer[4096];
    auto fetch = [&] {
        int length = sizeof buffer;
        return HttpGetToBuffer(Url(path), buffer, &length, 5);
    };
    for (int i = 0; i < 20; ++i) {
        ASSERT_TRUE(fetch());
    }
    const double before = static_cast<double>(HeapBytesInUse());
    constexpr int kHandshakes = 200;
    for (int i = 0; i < kHandshakes; ++i) {
        ASSERT_TRUE(fetch());
    }
    const double perHandshake = (static_cast<double>(HeapBytesInUse()) - before) / kHandshakes;
    EXPECT_LT(perHandshake, 32.0) << "bytes kept per handshake";
}

// libcurl cannot share a connection between concurrent threads: each
// connection serves one thread, and the initialising thread keeps reusing its
// own while workers run. Every request succeeds (workers do not resume each
// other's TLS sessions, which failed now and then under concurrency).
TEST_F(HttpTransport, ThreadsShareTheCachesSafely) {
    std::string path = UniquePath();
    std::atomic<int> failures{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 3; ++t) {
        threads.emplace_back([&, t] {
            char buffer[4096];
            for (int i = 0; i < 10; ++i) {
                int length = sizeof buffer;
                if (!HttpGetToBuffer(Url(path + "/t" + std::to_string(t)), buffer, &length, 10)) {
                    ++failures;
                    ADD_FAILURE() << "worker request failed with libcurl error " << LastHttpError();
                }
            }
        });
    }
    char buffer[4096];
    for (int i = 0; i < 5; ++i) {
        int length = sizeof buffer;
        if (!HttpGetToBuffer(Url(path + "/main"), buffer, &length, 10)) {
            ++failures;
            ADD_FAILURE() << "main request failed with libcurl error " << LastHttpError();
        }
    }
    for (std::thread& t : threads) {
        t.join();
    }
    EXPECT_EQ(failures.load(), 0);
    std::map<long, std::set<std::string>> threadsOfConnection;
    std::set<long> mainConnections;
    std::vector<SimLogEntry> requests = MyRequests(path);
    for (const SimLogEntry& e : requests) {
        std::string who = e.path.substr(e.path.rfind('/') + 1);
        threadsOfConnection[e.conn].insert(who);
        if (who == "main") {
            mainConnections.insert(e.conn);
        }
    }
    EXPECT_EQ(requests.size(), 35u);
    for (const auto& entry : threadsOfConnection) {
        EXPECT_EQ(entry.second.size(), 1u) << "connection " << entry.first;
    }
    EXPECT_EQ(mainConnections.size(), 1u);
}

// A kept handle waits for the next payment watch; it must not point at the
// finished transfer's error buffer, sink, header list or stop flag, which
// were on that transfer's stack. It still goes on with the same connection.
TEST_F(HttpTransport, AKeptHandleLetsGoOfItsTransferWhenItEnds) {
    std::string path = UniquePath();
    auto watch = [&] {
        ScopedKeptConnection kept;
        std::atomic<bool> stop{false};
        ScopedTransferAbort abort(&stop);
        char buffer[256];
        int length = sizeof buffer;
        EXPECT_TRUE(HttpGetToBuffer(Url(path), buffer, &length, 5)) << LastHttpError();
    };
    for (int i = 0; i < 2; ++i) {
        std::thread(watch).join();
        std::string url;
        long status = -1;
        ASSERT_TRUE(InspectIdleKeptHandle(&url, &status));
        EXPECT_EQ(url, "");
        EXPECT_EQ(status, 0);
    }
    std::vector<SimLogEntry> requests = MyRequests(path);
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].conn, requests[1].conn);
    CloseIdleConnections();
}

TEST_F(HttpTransport, CertificateFromAnotherAuthorityIsRefused) {
    TlsPeer peer;
    ASSERT_TRUE(LoadTlsPeer(&peer));
    char buffer[4096];
    int length = sizeof buffer;
    // A verified connection to the simulator is in the shared cache now...
    ASSERT_TRUE(HttpGetToBuffer(Url(UniquePath()), buffer, &length, 5));
    // ...and must not be reused once another authority is the trusted one.
    ASSERT_TRUE(SetTrustedCaFile(peer.caFile, SimHost()));
    EXPECT_FALSE(HttpGetToBuffer(Url(UniquePath()), buffer, &length, 5));
    EXPECT_EQ(LastHttpError(), kPeerFailedVerification);
    // The peer itself, under its own authority, passes.
    ASSERT_TRUE(SetTrustedCaFile(peer.caFile, peer.LocalHost()));
    EXPECT_TRUE(HttpGetToBuffer(peer.LocalUrl("/echo"), buffer, &length, 5));
    // And the simulator's authority does not vouch for the peer.
    ASSERT_TRUE(SetTrustedCaFile(sim_.CaFileWide(), peer.LocalHost()));
    length = sizeof buffer;
    EXPECT_FALSE(HttpGetToBuffer(peer.LocalUrl("/echo"), buffer, &length, 5));
    EXPECT_EQ(LastHttpError(), kPeerFailedVerification);
}

// The store's bundle vouches for the store's host and port only (a store with
// a private certificate, its pictures on a public network). Other hosts keep
// the system store, which under Wine accepts the peer (Schannel there checks
// nothing by itself): it fails only if the bundle were applied to it.
TEST_F(HttpTransport, CaFileAppliesToTheStoreHostOnly) {
    TlsPeer peer;
    ASSERT_TRUE(LoadTlsPeer(&peer));
    char buffer[4096];
    int length = sizeof buffer;
    ASSERT_TRUE(HttpGetToBuffer(Url(UniquePath()), buffer, &length, 5));
    length = sizeof buffer;
    EXPECT_TRUE(HttpGetToBuffer(peer.LocalUrl("/echo"), buffer, &length, 5)) << LastHttpError();

    // The bundle applies to the store's host whatever its case, and there it
    // replaces the system store that would have accepted the simulator.
    const std::string port = std::to_string(sim_.info().port);
    ASSERT_TRUE(SetTrustedCaFile(peer.caFile, "LocalHost:" + port));
    length = sizeof buffer;
    EXPECT_FALSE(HttpGetToBuffer(Url(UniquePath()), buffer, &length, 5));
    EXPECT_EQ(LastHttpError(), kPeerFailedVerification);
    length = sizeof buffer;
    EXPECT_TRUE(HttpGetToBuffer(peer.LocalUrl("/echo"), buffer, &length, 5)) << LastHttpError();
}

// The store's bundle cannot vouch for another host, not even one that its
// CA signed: a redirect away from the store's host and port is refused, while
// redirects on the store's host are followed.
TEST_F(HttpTransport, ARedirectAwayFromTheStoreUnderItsBundleIsRefused) {
    TlsPeer peer;
    ASSERT_TRUE(LoadTlsPeer(&peer));
    TempDir dir;
    std::string simCa, peerCa;
    ASSERT_TRUE(ReadWholeFile(sim_.CaFileWide(), &simCa));
    ASSERT_TRUE(ReadWholeFile(peer.caFile, &peerCa));
    ASSERT_TRUE(dir.WriteFile(L"both.pem", simCa + peerCa));
    char buffer[4096];
    int length = sizeof buffer;
    // The bundle vouches for the peer when the peer is the store...
    ASSERT_TRUE(SetTrustedCaFile(dir.Join(L"both.pem"), peer.LocalHost()));
    ASSERT_TRUE(HttpGetToBuffer(peer.LocalUrl("/echo"), buffer, &length, 5)) << LastHttpError();

    // ...but not when the store redirects there.
    ASSERT_TRUE(SetTrustedCaFile(dir.Join(L"both.pem"), SimHost()));
    NextPageFault(R"("redirect","hops":1,"location":")" + peer.LocalUrl("/echo") + "\"");
    length = sizeof buffer;
    EXPECT_FALSE(HttpGetToBuffer(Url(UniquePath()), buffer, &length, 5));
    EXPECT_EQ(length, static_cast<int>(sizeof buffer));
    EXPECT_EQ(LastHttpError(), kAbortedByCallback);

    std::string path = UniquePath();
    NextPageFault(R"("redirect","hops":2)");
    EXPECT_TRUE(HttpGetToBuffer(Url(path), buffer, &length, 5)) << LastHttpError();
    EXPECT_EQ(MyRequests(path).size(), 3u);
}

TEST_F(HttpTransport, CertificateForAnotherHostNameIsRefused) {
    TlsPeer peer;
    ASSERT_TRUE(LoadTlsPeer(&peer));
    ASSERT_TRUE(SetTrustedCaFile(peer.caFile, peer.OtherHost()));
    char buffer[4096];
    int length = sizeof buffer;
    EXPECT_FALSE(HttpGetToBuffer(peer.OtherHostUrl("/echo"), buffer, &length, 5));
    EXPECT_EQ(LastHttpError(), kPeerFailedVerification);
}

TEST_F(HttpTransport, UnusableCaFileKeepsTheSystemStore) {
    TempDir dir;
    ASSERT_TRUE(dir.WriteFile(L"not.pem", "no certificate here"));
    EXPECT_FALSE(SetTrustedCaFile(dir.Join(L"not.pem"), SimHost()));
    EXPECT_FALSE(SetTrustedCaFile(dir.Join(L"missing.pem"), SimHost()));
    EXPECT_FALSE(SetTrustedCaFile(sim_.CaFileWide(), "/"));  // no host
    EXPECT_TRUE(SetTrustedCaFile(std::wstring(), SimHost()));
    EXPECT_TRUE(SetTrustedCaFile(std::string(), SimHost()));
}

}  // namespace
