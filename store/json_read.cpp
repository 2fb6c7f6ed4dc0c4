#include "store/json_read.h"

namespace {

bool KeysMatch(const char* a, const char* b) {
    for (; *a && *b; ++a, ++b) {
        if (AsciiLower(*a) != AsciiLower(*b))
            return false;
    }
    return *a == *b;
}

}  // namespace

JsonDocument JsonParse(const char* text) {
    return JsonDocument(text ? cJSON_Parse(text) : nullptr);
}

const cJSON* JsonFindMember(const cJSON* object, const char* key) {
    if (!object || !key)
        return nullptr;
    for (const cJSON* child = object->child; child; child = child->next) {
        // Array elements have no key.
        if (child->string && KeysMatch(child->string, key))
            return child;
    }
    return nullptr;
}

int JsonGetInt(const cJSON* object, const char* key) {
    const cJSON* member = JsonFindMember(object, key);
    return member ? member->valueint : 0;
}

std::string JsonGetString(const cJSON* object, const char* key) {
    const cJSON* member = JsonFindMember(object, key);
    if (!cJSON_IsString(member) || !member->valuestring)
        return std::string();
    return member->valuestring;
}

ServiceEnvelope ReadEnvelope(const cJSON* root) {
    ServiceEnvelope envelope;
    envelope.statusCode = JsonGetInt(root, "status_code");
    envelope.data = JsonFindMember(root, "data");
    envelope.message = JsonGetString(root, "message");
    return envelope;
}
