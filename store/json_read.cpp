#include "store/json_read.h"

#include <windows.h>

#include <new>

namespace {

char FoldAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool KeysMatch(const char* a, const char* b) {
    for (; *a && *b; ++a, ++b) {
        if (FoldAscii(*a) != FoldAscii(*b))
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

std::wstring Utf8ToWide(const std::string& text) {
    std::wstring wide;
    if (text.empty())
        return wide;
    int n = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
    if (n <= 0)
        return wide;
    try {
        std::wstring buffer(static_cast<size_t>(n) + 1, L'\0');
        int written = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, &buffer[0], n + 1);
        if (written <= 0)
            return wide;
        // The count includes the terminator.
        buffer.resize(static_cast<size_t>(written) - 1);
        wide.swap(buffer);
    } catch (const std::bad_alloc&) {
        wide.clear();
    }
    return wide;
}

ServiceEnvelope ReadEnvelope(const cJSON* root) {
    ServiceEnvelope envelope;
    envelope.statusCode = JsonGetInt(root, "status_code");
    envelope.data = JsonFindMember(root, "data");
    envelope.message = JsonGetString(root, "message");
    return envelope;
}
