#include <gtest/gtest.h>

#include <windows.h>

#include "config/channel.h"
#include "config/ini_file.h"
#include "temp_dir.h"

namespace {

TEST(ChannelFromExePath, TextBetweenLastUnderscoreAndNextDot) {
    EXPECT_EQ(ChannelFromExePath("C:\\Program Files\\App\\App_ch01.exe"), "ch01");
    EXPECT_EQ(ChannelFromExePath("C:\\my_dir\\app.exe"), "dir\\app");
    EXPECT_EQ(ChannelFromExePath("C:\\App\\setup_abc.def.exe"), "abc");
    EXPECT_EQ(ChannelFromExePath("C:\\a_b\\c_d"), "");
    EXPECT_EQ(ChannelFromExePath("C:\\App\\app.exe"), "");
    EXPECT_EQ(ChannelFromExePath("C:\\App\\app_.exe"), "");
    EXPECT_EQ(ChannelFromExePath(""), "");
}

TEST(WithIniValues, SetsKeysInTheirSectionAndKeepsEverythingElse) {
    EXPECT_EQ(WithIniValues(L"", L"para", {{L"product_code", L"{A}"}}),
              L"[para]\r\nproduct_code={A}\r\n");
    // Replaced where it stands (names without regard to case), added after
    // the section's last line; comments, other sections and their keys of
    // the same name stay; a line break cannot add a line.
    const std::wstring earlier =
        L"; kept\n[other]\nproduct_code=x\n[PARA]\n Product_Code = {OLD}\nk=1\n\n[last]\nz=2";
    EXPECT_EQ(WithIniValues(earlier, L"para",
                            {{L"product_code", L"{NEW}"}, {L"{NEW}", L"ch1\r\n[evil]"}}),
              L"; kept\r\n[other]\r\nproduct_code=x\r\n[PARA]\r\nproduct_code={NEW}\r\n"
              L"k=1\r\n{NEW}=ch1\r\n\r\n[last]\r\nz=2\r\n");
    EXPECT_EQ(WithIniValues(L"[other]\r\nz=2\r\n\r\n", L"para", {{L"k", L"v"}}),
              L"[other]\r\nz=2\r\n\r\n[para]\r\nk=v\r\n");
}

constexpr wchar_t kLzma[] = L"SOFTWARE\\Caphyon\\Advanced Installer\\LZMA\\";

// A product code of its own per test, with its registry record removed after.
class ResolveChannelTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.ok());
        wchar_t code[64];
        swprintf(code, 64, L"{PTEST-%lu-%lu}", GetCurrentProcessId(), GetTickCount());
        code_ = code;
    }
    void TearDown() override {
        for (REGSAM view : {REGSAM(0), REGSAM(KEY_WOW64_32KEY)}) {
            HKEY lzma = nullptr;
            if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kLzma, 0, KEY_ALL_ACCESS | view, &lzma) ==
                ERROR_SUCCESS) {
                RegDeleteTreeW(lzma, code_.c_str());
                RegCloseKey(lzma);
            }
        }
    }
    // Creates LZMA\<code>\<subKey> with AI_ExePath = exePath.
    void Register(const std::string& exePath, REGSAM view = 0,
                  const std::wstring& subKey = L"1.0.0") {
        std::wstring name = std::wstring(kLzma) + code_ + L"\\" + subKey;
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, name.c_str(), 0, nullptr, 0,
                                  KEY_ALL_ACCESS | view, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExA(key, "AI_ExePath", 0, REG_SZ, reinterpret_cast<const BYTE*>(exePath.c_str()),
                       static_cast<DWORD>(exePath.size() + 1));
        RegCloseKey(key);
    }
    std::wstring Para(const std::wstring& key) {
        wchar_t value[256] = {};
        GetPrivateProfileStringW(L"para", key.c_str(), L"<none>", value, 256,
                                 dir_.Join(L"config.ini").c_str());
        return value;
    }

    TempDir dir_;
    std::wstring code_;
};

TEST_F(ResolveChannelTest, ArgumentIsStoredAndChannelComesFromTheInstallerRecord) {
    Register("C:\\Program Files\\App\\App_ch01.exe");
    EXPECT_EQ(ResolveChannel(code_, dir_.path()), "ch01");
    EXPECT_EQ(Para(L"product_code"), code_);
    EXPECT_EQ(Para(code_), L"ch01");
    std::string ini;
    ASSERT_TRUE(dir_.ReadFile(L"config.ini", &ini));
    EXPECT_EQ(ini,
              Utf16FileBytes(L"[para]\r\nproduct_code=" + code_ + L"\r\n" + code_ + L"=ch01\r\n"));
}

TEST_F(ResolveChannelTest, ConfigIniIsWrittenAnewNeverThroughALink) {
    const std::string earlier = "[para]\r\nproduct_code={OLD}\r\n\r\n[other]\r\nkeep=1\r\n";
    ASSERT_TRUE(dir_.WriteFile(L"victim.ini", earlier));
    ASSERT_TRUE(CreateHardLinkW(dir_.Join(L"config.ini").c_str(), dir_.Join(L"victim.ini").c_str(),
                                nullptr))
        << GetLastError();
    Register("C:\\Program Files\\App\\App_ch04.exe");
    EXPECT_EQ(ResolveChannel(code_, dir_.path()), "ch04");
    std::string victim;
    ASSERT_TRUE(dir_.ReadFile(L"victim.ini", &victim));
    EXPECT_TRUE(victim == earlier) << "written through the link";
    EXPECT_EQ(Para(L"product_code"), code_);
    EXPECT_EQ(Para(code_), L"ch04");
    wchar_t kept[16] = {};
    GetPrivateProfileStringW(L"other", L"keep", L"", kept, 16, dir_.Join(L"config.ini").c_str());
    EXPECT_STREQ(kept, L"1");
}

TEST_F(ResolveChannelTest, LaterStartWithoutArgumentReadsTheStoredProductCode) {
    Register("C:\\Program Files\\App\\App_ch02.exe");
    EXPECT_EQ(ResolveChannel(code_, dir_.path()), "ch02");
    EXPECT_EQ(ResolveChannel(L"", dir_.path()), "ch02");
}

TEST_F(ResolveChannelTest, NoArgumentAndNoConfigGivesNothingAndWritesNothing) {
    EXPECT_EQ(ResolveChannel(L"", dir_.path()), "");
    EXPECT_FALSE(dir_.Exists(L"config.ini"));
}

TEST_F(ResolveChannelTest, MissingRecordOrPathWithoutChannel) {
    EXPECT_EQ(ResolveChannel(code_, dir_.path()), "");
    EXPECT_EQ(Para(L"product_code"), code_);  // still stored
    Register("C:\\App\\app.exe");
    EXPECT_EQ(ResolveChannel(code_, dir_.path()), "");
    EXPECT_EQ(Para(code_), L"<none>");
}

TEST_F(ResolveChannelTest, FailedConfigWritesDoNotLoseTheChannel) {
    Register("C:\\Program Files\\App\\App_ch03.exe");
    std::wstring missing = dir_.Join(L"no-such-dir");
    EXPECT_EQ(ResolveChannel(code_, missing), "ch03");
    EXPECT_EQ(GetFileAttributesW(missing.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(ResolveChannelTest, OverlongPathValueIsIgnored) {
    Register("C:\\" + std::string(600, 'x') + "_ch.exe");
    EXPECT_EQ(ReadInstallerExePath(code_), "");
    EXPECT_EQ(ResolveChannel(code_, dir_.path()), "");
}

TEST_F(ResolveChannelTest, PathLengthAtTheLimitIsRead) {
    std::string path = "C:\\" + std::string(499, 'x') + "_ch9.exe";  // 511 bytes with terminator
    ASSERT_EQ(path.size() + 1, 511u);
    Register(path);
    EXPECT_EQ(ReadInstallerExePath(code_), path);
}

TEST_F(ResolveChannelTest, ThirtyTwoBitRegistryViewIsFoundToo) {
    Register("C:\\Program Files (x86)\\App\\App_x86.exe", KEY_WOW64_32KEY);
    EXPECT_EQ(ResolveChannel(code_, dir_.path()), "x86");
}

}  // namespace
