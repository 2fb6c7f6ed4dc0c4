#include "store/api_url.h"

#include "config/local_config.h"

namespace {

bool IsSafeInQueryValue(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~' || c == ':';
}

}  // namespace

std::string PercentEncode(const std::string& value) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string encoded;
    encoded.reserve(value.size());
    for (unsigned char c : value) {
        if (IsSafeInQueryValue(c)) {
            encoded += static_cast<char>(c);
        } else {
            encoded += '%';
            encoded += kHex[c >> 4];
            encoded += kHex[c & 0x0F];
        }
    }
    return encoded;
}

std::string ApiUrl(const std::string& host, const char* request,
                   std::initializer_list<QueryParam> query) {
    std::string url = "https://" + host + "/api/ps/" + request;
    char separator = '?';
    for (const QueryParam& param : query) {
        url += separator;
        url += param.name;
        url += '=';
        url += PercentEncode(param.value);
        separator = '&';
    }
    return url;
}

std::string ApiUrl(const char* request, std::initializer_list<QueryParam> query) {
    return ApiUrl(localConfig.apiHost, request, query);
}
