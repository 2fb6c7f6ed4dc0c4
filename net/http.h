#pragma once
// The one HTTPS transport of the program: a blocking GET of a fully formatted
// URL into a caller's buffer or into a file. Success means the transfer
// completed; the HTTP status is not examined, so an error page is delivered
// like any other body.
//
// Every request verifies the server's certificate and host name: requests to
// the store's own host against the PEM bundle given to SetTrustedCaFile, when
// there is one, every other request against the system store. The
// transfers of the thread that called HttpGlobalInit share one connection
// cache, TLS session cache and DNS cache, so its consecutive requests to the
// store reuse one connection. Transfers of other threads share only DNS
// answers (libcurl cannot share connections across threads safely, and
// resuming TLS sessions concurrently proved unreliable), unless the thread
// keeps a connection of its own with ScopedKeptConnection.
//
// Call HttpGlobalInit once at process start, on the user-interface thread,
// before any other thread exists.

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// Where the body goes: buffer mode when buffer is set, otherwise file mode.
struct WriteSink {
    int32_t received = 0;  // body bytes accepted so far
    int32_t capacity = 0;  // buffer size in bytes (0 in file mode)
    void* file = nullptr;  // file mode: the open file's handle
    char* buffer = nullptr;
    int32_t maxBytes = 0;     // file mode: the most body bytes kept (0 = no limit)
    bool overflowed = false;  // a chunk did not fit and the transfer was abandoned
};

// libcurl's global initialisation and the shared caches. Later calls do
// nothing; a transfer made without it initialises on first use.
void HttpGlobalInit();

// For requests to `storeHost` ("host[:port]", as server.ini's domain; port
// 443 when absent), trusts only the certificates of this PEM bundle (read
// once, now) instead of the system store; requests to any other host or port
// keep the system store. A store with a private certificate may keep its
// pictures on a public content network. The URL a transfer starts at decides;
// a transfer that starts at the store's host and port fails when a redirect
// leaves them, since the bundle cannot vouch for another host. Transfers
// that start elsewhere follow redirects under the system store. An empty path goes back to the
// system store for every host. False, with the system store in use everywhere, when the file cannot
// be read, holds no certificate or the host is unusable. The narrow overload takes a UTF-8 path.
bool SetTrustedCaFile(const std::wstring& pemPath, const std::string& storeHost);
bool SetTrustedCaFile(const std::string& pemPathUtf8, const std::string& storeHost);

// Connection, TLS session and DNS sharing between transfers (on by default);
// off makes every transfer start from scratch, for comparisons.
void SetConnectionSharing(bool enabled);

// The core: one GET. A null sink discards the body. includeHeaders delivers
// the response headers to the sink too; extraHeaders are "Name: value" lines.
// True exactly when the transfer completed and the body fitted the sink.
bool PerformGet(const std::string& url, WriteSink* sink, bool includeHeaders, int timeoutSeconds,
                const std::vector<std::string>& extraHeaders = {});

// *length holds the buffer's capacity on entry. On success the body is in the
// buffer followed by a zero byte and *length is its size. A body of capacity
// bytes or more does not fit: false, *length unchanged, nothing written at or
// beyond buffer[capacity].
bool HttpGetToBuffer(std::string url, char* buffer, int* length, int timeoutSeconds);

// The body into the file `path`: written to a new file of an unpredictable
// name beside it and renamed over `path` once complete (base/file_replace.h),
// so a file or link planted under any name is never written through. No
// request is made when the new file cannot be created; after a failed
// transfer no file is left at path.
// A body of more than maxBytes (when not 0) fails: an announced length at
// once, a body without one as soon as it grows past the limit.
bool HttpGetToFile(std::string url, const std::wstring& path, int timeoutSeconds,
                   int32_t maxBytes = 0);

// While one lives on a thread, that thread's transfers are abandoned (false,
// nothing more written) as soon as `*stop` is true: libcurl checks it whenever
// data moves and about once a second while it waits. Not nestable.
class ScopedTransferAbort {
public:
    explicit ScopedTransferAbort(const std::atomic<bool>* stop);
    ~ScopedTransferAbort();
    ScopedTransferAbort(const ScopedTransferAbort&) = delete;
    ScopedTransferAbort& operator=(const ScopedTransferAbort&) = delete;
};

// While one lives on a thread, that thread's transfers go through one kept
// libcurl handle, so a thread that asks the same host again and again (the
// payment watch) reuses its connection and TLS session instead of a new
// handshake per request. When it ends, the handle waits for the next one, so
// consecutive scopes (one watch after another) go on with the same
// connection. Has no effect on the thread that called
// HttpGlobalInit, whose transfers share a cache already.
class ScopedKeptConnection {
public:
    ScopedKeptConnection();
    ~ScopedKeptConnection();
    ScopedKeptConnection(const ScopedKeptConnection&) = delete;
    ScopedKeptConnection& operator=(const ScopedKeptConnection&) = delete;

private:
    bool ownsHandle_ = false;  // an inner scope leaves the outer one's handle alone
};

// Closes the idle connections: the one the last ScopedKeptConnection to end
// left open for the next, and, called on the thread that called
// HttpGlobalInit, that thread's shared cache. Later requests open new ones.
// For an orderly exit once no payment watch runs, and for measurements that
// compare like with like.
void CloseIdleConnections();

// libcurl's result code of this thread's last transfer (0 = success), for
// diagnostics and tests.
int LastHttpError();
