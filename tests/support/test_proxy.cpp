#include "test_proxy.h"

#include <cjson/cJSON.h>

#include <cstdio>

namespace {

bool ReadText(const char* path, std::string* text) {
    FILE* f = path ? std::fopen(path, "rb") : nullptr;
    if (f == nullptr) {
        return false;
    }
    char chunk[4096];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) {
        text->append(chunk, n);
    }
    std::fclose(f);
    return true;
}

std::string Text(const cJSON* doc, const char* name) {
    const cJSON* item = cJSON_GetObjectItemCaseSensitive(doc, name);
    return cJSON_IsString(item) ? std::string(item->valuestring) : std::string();
}

}  // namespace

bool LoadTestProxy(const char* infoPath, TestProxy* proxy) {
    std::string text;
    if (!ReadText(infoPath, &text)) {
        return false;
    }
    cJSON* doc = cJSON_Parse(text.c_str());
    if (doc == nullptr) {
        return false;
    }
    bool ok = true;
    auto port = [&](const char* name, int* out) {
        const cJSON* item = cJSON_GetObjectItemCaseSensitive(doc, name);
        ok = ok && cJSON_IsNumber(item);
        *out = ok ? item->valueint : 0;
    };
    port("tunnel", &proxy->tunnel);
    port("refuse", &proxy->refuse);
    port("negotiate", &proxy->negotiate);
    port("basic", &proxy->basic);
    port("mitm", &proxy->mitm);
    port("down", &proxy->down);
    proxy->log = Text(doc, "log_win");
    cJSON_Delete(doc);
    return ok && !proxy->log.empty();
}

std::vector<TestProxyLogEntry> ReadTestProxyLog(const TestProxy& proxy) {
    std::vector<TestProxyLogEntry> entries;
    std::string text;
    ReadText(proxy.log.c_str(), &text);
    for (size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos;
         start = end + 1) {
        cJSON* doc = cJSON_Parse(text.substr(start, end - start).c_str());
        TestProxyLogEntry e;
        e.mode = Text(doc, "mode");
        e.target = Text(doc, "target");
        e.auth = Text(doc, "auth");
        e.path = Text(doc, "path");
        const cJSON* status = cJSON_GetObjectItemCaseSensitive(doc, "status");
        e.status = cJSON_IsNumber(status) ? status->valueint : 0;
        cJSON_Delete(doc);
        entries.push_back(e);
    }
    return entries;
}
