#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>

#include "config/local_config.h"
#include "config/module_paths.h"

namespace {

TEST(ModulePaths, DirectoryOfCutsAtTheLastBackslash) {
    EXPECT_EQ(DirectoryOf(std::wstring(L"C:\\Program Files\\App\\app.exe")),
              L"C:\\Program Files\\App");
    EXPECT_EQ(DirectoryOf(std::string("C:\\app.exe")), "C:");
    EXPECT_EQ(DirectoryOf(std::wstring(L"app.exe")), L"");
}

TEST(ModulePaths, FillFindsTheExecutableAndDeletesAnOldQrImage) {
    std::wstring dir = ModuleDirectory();
    ASSERT_FALSE(dir.empty());
    std::wstring qr = QrImagePathIn(dir);
    HANDLE f = CreateFileW(qr.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(f, INVALID_HANDLE_VALUE);
    CloseHandle(f);

    LocalConfig config;
    ASSERT_TRUE(FillModulePaths(config));
    EXPECT_EQ(config.moduleDir, dir);
    EXPECT_EQ(config.qrImagePath, dir + L"\\tmp.bin");
    EXPECT_EQ(GetFileAttributesW(qr.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(GetFileAttributesW((dir + L"\\config_module_paths_test.exe").c_str()),
              INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(GetFileAttributesA((config.moduleDirAnsi + "\\config_module_paths_test.exe").c_str()),
              INVALID_FILE_ATTRIBUTES);
    // Again without an image: no error.
    EXPECT_TRUE(FillModulePaths(config));
}

// A path far beyond the first buffer (Wine cannot start a program from such a
// path, so the system call is played by a stand-in that truncates as it does).
TEST(ModulePaths, LongModulePathIsNotCut) {
    std::wstring full = L"C:\\" + std::wstring(1500, L'd') + L"\\app.exe";
    int calls = 0;
    std::wstring read = ReadFullModulePath([&](wchar_t* buffer, unsigned long size) {
        ++calls;
        unsigned long n = std::min<unsigned long>(full.size(), size - 1);
        std::copy(full.begin(), full.begin() + n, buffer);
        buffer[n] = L'\0';
        if (full.size() >= size) {
            SetLastError(ERROR_INSUFFICIENT_BUFFER);
            return size;
        }
        return n;
    });
    EXPECT_EQ(read, full);
    EXPECT_GT(calls, 1);
    EXPECT_EQ(ReadFullModulePath([](wchar_t*, unsigned long) { return 0ul; }), L"");
}

}  // namespace
