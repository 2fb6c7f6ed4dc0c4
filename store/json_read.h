#pragma once
// Reading the store service's JSON answers: the common envelope and member
// readers that never fail on absent or mistyped members.

#include <cjson/cJSON.h>

#include <memory>
#include <string>

#include "base/text.h"  // Utf8ToWide, which reads the answers' texts

// "status_code" of a successful answer.
constexpr int STATUS_OK = 1000;

struct JsonDeleter {
    void operator()(cJSON* node) const { cJSON_Delete(node); }
};
using JsonDocument = std::unique_ptr<cJSON, JsonDeleter>;

// Parses zero-terminated text; null when it is no JSON.
JsonDocument JsonParse(const char* text);

// The first member of `object` whose key equals `key` without regard to ASCII
// letter case, in document order; null when `object` is null or has none.
const cJSON* JsonFindMember(const cJSON* object, const char* key);

// Integer value of a member; 0 when absent. No type check: a string reads 0.
int JsonGetInt(const cJSON* object, const char* key);

// Text value of a member, bytes as sent; empty when absent or not a string.
std::string JsonGetString(const cJSON* object, const char* key);

// The top level of every answer.
struct ServiceEnvelope {
    int statusCode = 0;
    const cJSON* data = nullptr;  // borrowed from the document
    std::string message;

    // "status_code" is the number 1000. Whether "data" is needed is the
    // request's business.
    bool ok() const { return statusCode == STATUS_OK; }
};

ServiceEnvelope ReadEnvelope(const cJSON* root);
