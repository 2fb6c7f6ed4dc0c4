#include "config/module_paths.h"

#include <windows.h>

#include <vector>

#include "config/data_folder.h"
#include "config/local_config.h"

namespace {

// Longest path GetModuleFileName can report (the \\?\ form).
constexpr DWORD kMaxModulePath = 32768;

// Grows the buffer until the whole path fits: the API truncates silently.
template <typename Char, typename Get>
std::basic_string<Char> FullModulePath(Get get) {
    for (DWORD size = 512; size <= kMaxModulePath; size *= 2) {
        std::vector<Char> buffer(size);
        SetLastError(ERROR_SUCCESS);
        DWORD n = get(buffer.data(), size);
        if (n == 0) {
            return {};
        }
        if (n < size && GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
            return std::basic_string<Char>(buffer.data(), n);
        }
    }
    return {};
}

template <typename Str>
Str CutAtLastBackslash(const Str& path) {
    auto pos = path.rfind(typename Str::value_type('\\'));
    return pos == Str::npos ? Str() : path.substr(0, pos);
}

}  // namespace

std::wstring DirectoryOf(const std::wstring& path) {
    return CutAtLastBackslash(path);
}

std::string DirectoryOf(const std::string& path) {
    return CutAtLastBackslash(path);
}

std::wstring ReadFullModulePath(const ModulePathGetter& get) {
    return FullModulePath<wchar_t>(
        [&](wchar_t* b, DWORD n) { return static_cast<DWORD>(get(b, n)); });
}

std::wstring ModuleDirectory() {
    return DirectoryOf(FullModulePath<wchar_t>(
        [](wchar_t* b, DWORD n) { return GetModuleFileNameW(nullptr, b, n); }));
}

std::string ModuleDirectoryAnsi() {
    return DirectoryOf(
        FullModulePath<char>([](char* b, DWORD n) { return GetModuleFileNameA(nullptr, b, n); }));
}

std::wstring QrImagePathIn(const std::wstring& dir) {
    return dir + L"\\tmp.bin";
}

bool FillModulePaths(LocalConfig& config) {
    config.moduleDir = ModuleDirectory();
    config.moduleDirAnsi = ModuleDirectoryAnsi();
    if (config.moduleDir.empty()) {
        return false;
    }
    return FillDataFolders(config);
}
