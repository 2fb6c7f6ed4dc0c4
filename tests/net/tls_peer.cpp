#include "tls_peer.h"

#include <windows.h>

#include <cjson/cJSON.h>

#include <cstdio>
#include <cstdlib>

bool LoadTlsPeer(TlsPeer* peer) {
    const char* path = std::getenv("NET_PEER_INFO");
    FILE* f = path ? std::fopen(path, "rb") : nullptr;
    if (f == nullptr) {
        return false;
    }
    std::string text;
    char chunk[1024];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) {
        text.append(chunk, n);
    }
    std::fclose(f);
    cJSON* doc = cJSON_Parse(text.c_str());
    if (doc == nullptr) {
        return false;
    }
    const cJSON* local = cJSON_GetObjectItemCaseSensitive(doc, "localhost_port");
    const cJSON* other = cJSON_GetObjectItemCaseSensitive(doc, "other_host_port");
    const cJSON* ca = cJSON_GetObjectItemCaseSensitive(doc, "ca_file_win");
    bool ok = cJSON_IsNumber(local) && cJSON_IsNumber(other) && cJSON_IsString(ca);
    if (ok) {
        peer->localhostPort = local->valueint;
        peer->otherHostPort = other->valueint;
        wchar_t wide[1024] = {};
        MultiByteToWideChar(CP_UTF8, 0, ca->valuestring, -1, wide, 1024);
        peer->caFile = wide;
    }
    cJSON_Delete(doc);
    return ok;
}
