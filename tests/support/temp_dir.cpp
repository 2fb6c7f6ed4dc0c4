#include "temp_dir.h"

#include <windows.h>

#include <cstdio>

namespace {

void RemoveTree(const std::wstring& dir) {
    WIN32_FIND_DATAW entry;
    HANDLE find = FindFirstFileW((dir + L"\\*").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = entry.cFileName;
            if (name == L"." || name == L"..") {
                continue;
            }
            std::wstring full = dir + L"\\" + name;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(full);
            } else {
                SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(full.c_str());
            }
        } while (FindNextFileW(find, &entry));
        FindClose(find);
    }
    RemoveDirectoryW(dir.c_str());
}

}  // namespace

TempDir::TempDir() {
    wchar_t base[MAX_PATH + 1] = {};
    DWORD n = GetTempPathW(MAX_PATH + 1, base);
    if (n == 0 || n > MAX_PATH) {
        return;
    }
    std::wstring root(base, n);
    if (!root.empty() && root.back() == L'\\') {
        root.pop_back();
    }
    for (unsigned attempt = 0; attempt < 100; ++attempt) {
        wchar_t name[64];
        swprintf(name, 64, L"\\ptest-%lu-%lu-%u", GetCurrentProcessId(), GetTickCount(), attempt);
        std::wstring candidate = root + name;
        if (CreateDirectoryW(candidate.c_str(), nullptr)) {
            path_ = candidate;
            return;
        }
    }
}

TempDir::~TempDir() {
    if (ok()) {
        RemoveTree(path_);
    }
}

std::string TempDir::ansiPath() const {
    int n = WideCharToMultiByte(CP_ACP, 0, path_.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string text(n > 0 ? n : 1, '\0');
    if (n > 0) {
        WideCharToMultiByte(CP_ACP, 0, path_.c_str(), -1, &text[0], n, nullptr, nullptr);
    }
    text.resize(text.size() - 1);
    return text;
}

bool TempDir::WriteFile(const std::wstring& name, const std::string& bytes) const {
    FILE* f = _wfopen(Join(name).c_str(), L"wb");
    if (f == nullptr) {
        return false;
    }
    bool ok = fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return fclose(f) == 0 && ok;
}

bool TempDir::ReadFile(const std::wstring& name, std::string* bytes) const {
    FILE* f = _wfopen(Join(name).c_str(), L"rb");
    if (f == nullptr) {
        return false;
    }
    bytes->clear();
    char chunk[8192];
    size_t n;
    while ((n = fread(chunk, 1, sizeof chunk, f)) > 0) {
        bytes->append(chunk, n);
    }
    fclose(f);
    return true;
}

bool TempDir::Exists(const std::wstring& name) const {
    return GetFileAttributesW(Join(name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string Utf16FileBytes(const std::wstring& text) {
    std::string bytes = "\xFF\xFE";
    for (wchar_t c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>((c >> 8) & 0xFF);
    }
    return bytes;
}
