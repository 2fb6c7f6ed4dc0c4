#include "store/file_replace.h"

#include <windows.h>

#include <atomic>
#include <cwchar>

#include "base/scoped_handle.h"

namespace {

// Names taken by someone else in the meantime are skipped; this many tries.
constexpr int kNameAttempts = 8;

// A name beside `path` that this process has not used yet.
std::wstring TemporaryName(const std::wstring& path) {
    static std::atomic<unsigned> counter{0};
    wchar_t suffix[48];
    std::swprintf(suffix, sizeof suffix / sizeof suffix[0], L".%lu-%u.tmp",
                  static_cast<unsigned long>(GetCurrentProcessId()), counter++);
    return path + suffix;
}

bool WriteAll(HANDLE file, const void* data, size_t size) {
    const char* at = static_cast<const char*>(data);
    while (size > 0) {
        const DWORD chunk = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
        DWORD written = 0;
        if (!WriteFile(file, at, chunk, &written, nullptr) || written == 0)
            return false;
        at += written;
        size -= written;
    }
    return true;
}

}  // namespace

bool ReplaceFileContents(const std::wstring& path, const void* data, size_t size) {
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        const std::wstring temporary = TemporaryName(path);
        // CREATE_NEW: a file or link already under that name is never opened.
        ScopedHandle file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) {
            const DWORD error = GetLastError();
            if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS)
                continue;
            return false;
        }
        bool ok = WriteAll(file.get(), data, size);
        // Closed before the move: an open file cannot be moved over another.
        ok = file.close() && ok;
        // No MOVEFILE_COPY_ALLOWED: a copy would write through a planted link.
        ok = ok && MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
        if (!ok)
            DeleteFileW(temporary.c_str());
        return ok;
    }
    return false;
}
