#include "base/file_replace.h"

#include <bcrypt.h>

#include <cwchar>

namespace {

// A name already taken (by chance, 128 random bits) is skipped; this many tries.
constexpr int kNameAttempts = 4;

// "<path>.<32 hex digits>.tmp" from the system's random generator; empty
// when it gives nothing: a name that can be predicted is never used.
std::wstring UnpredictableNameBeside(const std::wstring& path) {
    unsigned char random[16];
    if (!BCRYPT_SUCCESS(
            BCryptGenRandom(nullptr, random, sizeof random, BCRYPT_USE_SYSTEM_PREFERRED_RNG)))
        return {};
    std::wstring name = path + L".";
    for (unsigned char byte : random) {
        wchar_t hex[3];
        std::swprintf(hex, 3, L"%02x", byte);
        name += hex;
    }
    return name + L".tmp";
}

}  // namespace

ReplacementFile::ReplacementFile(const std::wstring& path) : path_(path) {
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        std::wstring name = UnpredictableNameBeside(path);
        if (name.empty())
            return;
        // CREATE_NEW: a file or link already under that name is never opened.
        file_.reset(CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file_) {
            temporary_ = std::move(name);
            return;
        }
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS)
            return;
    }
}

ReplacementFile::~ReplacementFile() {
    Discard();
}

void ReplacementFile::Discard() {
    if (temporary_.empty())
        return;
    file_.close();
    DeleteFileW(temporary_.c_str());
    temporary_.clear();
}

bool ReplacementFile::Write(const void* data, size_t size) {
    if (!file_)
        return false;
    const char* at = static_cast<const char*>(data);
    while (size > 0) {
        const DWORD chunk = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
        DWORD written = 0;
        if (!WriteFile(file_.get(), at, chunk, &written, nullptr) || written == 0)
            return false;
        at += written;
        size -= written;
    }
    return true;
}

bool ReplacementFile::PutInPlace() {
    if (!file_)
        return false;
    // Closed before the move: an open file cannot be moved over another. No
    // MOVEFILE_COPY_ALLOWED: a copy would write through a planted link.
    if (!file_.close() ||
        !MoveFileExW(temporary_.c_str(), path_.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        Discard();
        return false;
    }
    temporary_.clear();
    return true;
}

bool ReplaceFileContents(const std::wstring& path, const void* data, size_t size) {
    ReplacementFile file(path);
    return file.Write(data, size) && file.PutInPlace();
}
