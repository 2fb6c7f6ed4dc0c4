#pragma once
// Process-wide transport state behind http.h: libcurl's global set-up, the
// shared caches and the trusted CA bundle.

#include <winsock2.h>
#include <windows.h>

#include <curl/curl.h>

#include <memory>
#include <string>

namespace http_detail {

// libcurl's global initialisation and the share object, once per process.
void EnsureGlobalInit();

// The share object for a new transfer on this thread; null while sharing is
// off. Only the initialising thread's transfers share connections.
CURLSH* SharedCaches();

// Whether transfers may share or keep connections (SetConnectionSharing).
bool ConnectionSharingEnabled();

// True on the thread that initialised the transport.
bool IsOwnerThread();

// On the initialising thread, replaces its share with an empty one, closing
// the connections the old one kept; nothing happens while a transfer uses it.
void CloseOwnerConnections();

// Host (lower case) and port of an http(s) URL, the port filled in from the
// scheme when the URL has none, and its scheme (lower case) when asked;
// false when libcurl cannot parse it.
bool OriginOf(const std::string& url, std::string* host, long* port, std::string* scheme = nullptr);

// PEM bytes to trust instead of the system store for `url`; null when the
// system store verifies it (another host or port than the store's, or no
// bundle).
std::shared_ptr<const std::string> TrustedCaBundleFor(const std::string& url);

}  // namespace http_detail
