#include "sim_client.h"

#include <winsock2.h>
#include <windows.h>

#include <cjson/cJSON.h>
#include <curl/curl.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

struct JsonDeleter {
    void operator()(cJSON* json) const { cJSON_Delete(json); }
};
using JsonPtr = std::unique_ptr<cJSON, JsonDeleter>;

std::string JsonText(const cJSON* object, const char* key) {
    const cJSON* item = cJSON_GetObjectItemCaseSensitive(object, key);
    return cJSON_IsString(item) && item->valuestring ? item->valuestring : "";
}

long JsonLong(const cJSON* object, const char* key) {
    const cJSON* item = cJSON_GetObjectItemCaseSensitive(object, key);
    return cJSON_IsNumber(item) ? static_cast<long>(item->valuedouble) : 0;
}

size_t AppendBody(char* data, size_t size, size_t count, void* user) {
    static_cast<std::string*>(user)->append(data, size * count);
    return size * count;
}

void GlobalInitOnce() {
    static bool done = (curl_global_init(CURL_GLOBAL_ALL), true);
    (void)done;
}

}  // namespace

bool SimClient::ParseInfo(const std::string& json, SimInfo* info) {
    JsonPtr doc(cJSON_Parse(json.c_str()));
    if (!doc) {
        return false;
    }
    info->port = static_cast<int>(JsonLong(doc.get(), "port"));
    info->url = JsonText(doc.get(), "url");
    info->caFileWin = JsonText(doc.get(), "ca_file_win");
    info->stateDir = JsonText(doc.get(), "state_dir");
    return info->port > 0 && !info->url.empty();
}

bool SimClient::FromEnvironment(SimClient* client) {
    const char* path = std::getenv("STORE_SIM_INFO");
    if (path == nullptr || *path == '\0') {
        return false;
    }
    FILE* f = std::fopen(path, "rb");
    if (f == nullptr) {
        return false;
    }
    std::string text;
    char chunk[4096];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) {
        text.append(chunk, n);
    }
    std::fclose(f);
    SimInfo info;
    if (!ParseInfo(text, &info)) {
        return false;
    }
    *client = SimClient(std::move(info));
    return true;
}

std::wstring SimClient::CaFileWide() const {
    const std::string& a = info_.caFileWin;
    int n = MultiByteToWideChar(CP_UTF8, 0, a.c_str(), static_cast<int>(a.size()), nullptr, 0);
    std::wstring w(n > 0 ? n : 0, L'\0');
    if (n > 0) {
        MultiByteToWideChar(CP_UTF8, 0, a.c_str(), static_cast<int>(a.size()), &w[0], n);
    }
    return w;
}

SimResponse SimClient::Send(const std::string& pathAndQuery, const std::string* postBody,
                            int timeoutSeconds) const {
    GlobalInitOnce();
    SimResponse response;
    CURL* curl = curl_easy_init();
    if (curl == nullptr) {
        return response;
    }
    std::string url = info_.url + pathAndQuery;
    curl_slist* headers = nullptr;
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_CAINFO, info_.caFileWin.c_str());
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, static_cast<long>(timeoutSeconds));
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, AppendBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &response.body);
    if (postBody != nullptr) {
        headers = curl_slist_append(headers, "Content-Type: application/json");
        curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
        curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE, static_cast<long>(postBody->size()));
        curl_easy_setopt(curl, CURLOPT_POSTFIELDS, postBody->c_str());
    }
    response.ok = curl_easy_perform(curl) == CURLE_OK;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &response.status);
    curl_easy_cleanup(curl);
    curl_slist_free_all(headers);
    return response;
}

SimResponse SimClient::Get(const std::string& pathAndQuery, int timeoutSeconds) const {
    return Send(pathAndQuery, nullptr, timeoutSeconds);
}

SimResponse SimClient::Post(const std::string& pathAndQuery, const std::string& jsonBody,
                            int timeoutSeconds) const {
    return Send(pathAndQuery, &jsonBody, timeoutSeconds);
}

bool SimClient::Admin(const std::string& action, const std::string& jsonBody,
                      std::string* answer) const {
    SimResponse r = Post("/admin/" + action, jsonBody);
    if (answer != nullptr) {
        *answer = r.body;
    }
    if (!r.ok) {
        return false;
    }
    JsonPtr doc(cJSON_Parse(r.body.c_str()));
    return doc && cJSON_IsTrue(cJSON_GetObjectItemCaseSensitive(doc.get(), "ok"));
}

bool SimClient::ClearFaults(const std::string& request) const {
    if (request.empty()) {
        return Admin("faults/clear");
    }
    JsonPtr body(cJSON_CreateObject());
    cJSON_AddStringToObject(body.get(), "request", request.c_str());
    std::unique_ptr<char, decltype(&cJSON_free)> text(cJSON_PrintUnformatted(body.get()),
                                                      cJSON_free);
    return Admin("faults/clear", text.get());
}

bool SimClient::SetConnLatency(int ms) const {
    return Admin("conn_latency", "{\"ms\":" + std::to_string(ms) + "}");
}

std::vector<SimLogEntry> SimClient::Log(long since, const std::string& name) const {
    std::vector<SimLogEntry> entries;
    JsonPtr body(cJSON_CreateObject());
    cJSON_AddNumberToObject(body.get(), "since", static_cast<double>(since));
    if (!name.empty()) {
        cJSON_AddStringToObject(body.get(), "name", name.c_str());
    }
    std::unique_ptr<char, decltype(&cJSON_free)> text(cJSON_PrintUnformatted(body.get()),
                                                      cJSON_free);
    std::string answer;
    if (!Admin("log", text.get(), &answer)) {
        return entries;
    }
    JsonPtr doc(cJSON_Parse(answer.c_str()));
    const cJSON* list = cJSON_GetObjectItemCaseSensitive(doc.get(), "entries");
    const cJSON* item = nullptr;
    cJSON_ArrayForEach(item, list) {
        SimLogEntry e;
        e.seq = JsonLong(item, "seq");
        e.method = JsonText(item, "method");
        e.url = JsonText(item, "url");
        e.path = JsonText(item, "path");
        e.query = JsonText(item, "query");
        e.name = JsonText(item, "name");
        e.conn = JsonLong(item, "conn");
        e.status = static_cast<int>(JsonLong(item, "status"));
        const cJSON* time = cJSON_GetObjectItemCaseSensitive(item, "time");
        e.time = cJSON_IsNumber(time) ? time->valuedouble : 0;
        entries.push_back(std::move(e));
    }
    return entries;
}

long SimClient::LastSeq() const {
    std::vector<SimLogEntry> all = Log(0);
    return all.empty() ? 0 : all.back().seq;
}

std::string UrlEscape(const std::string& text) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : text) {
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
            c == '-' || c == '_' || c == '.' || c == '~') {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
}
