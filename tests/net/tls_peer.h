#pragma once
// The second HTTPS server of the transport tests (tls_peer.py), found through
// NET_PEER_INFO.

#include <string>

struct TlsPeer {
    int localhostPort = 0;  // certificate for localhost
    int otherHostPort = 0;  // certificate for store.other.example
    std::wstring caFile;    // the peer's own CA

    std::string LocalHost() const { return "localhost:" + std::to_string(localhostPort); }
    std::string OtherHost() const { return "localhost:" + std::to_string(otherHostPort); }
    std::string LocalUrl(const std::string& path) const {
        return "https://localhost:" + std::to_string(localhostPort) + path;
    }
    std::string OtherHostUrl(const std::string& path) const {
        return "https://localhost:" + std::to_string(otherHostPort) + path;
    }
};

bool LoadTlsPeer(TlsPeer* peer);
