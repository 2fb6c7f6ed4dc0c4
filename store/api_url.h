#pragma once
// The one place that builds the store service's request URLs.

#include <initializer_list>
#include <string>
#include <utility>

// One name=value pair of a query. Values are encoded when the URL is built.
struct QueryParam {
    QueryParam(const char* name, std::string value) : name(name), value(std::move(value)) {}
    QueryParam(const char* name, const char* value) : name(name), value(value ? value : "") {}
    QueryParam(const char* name, int value) : name(name), value(std::to_string(value)) {}

    const char* name;
    std::string value;
};

// `value` with every byte that is not a letter, digit, "-", ".", "_", "~" or
// ":" written as %XX, so that no value can add or change a parameter.
std::string PercentEncode(const std::string& value);

// "https://" + host + "/api/ps/" + request + "?" + name=value pairs joined by
// "&". The host is configuration and goes in as it is.
std::string ApiUrl(const std::string& host, const char* request,
                   std::initializer_list<QueryParam> query);

// The same with the configured API host.
std::string ApiUrl(const char* request, std::initializer_list<QueryParam> query);
