#include <windows.h>

#include <gtest/gtest.h>

#include "config/local_config.h"
#include "config/server_ini.h"
#include "temp_dir.h"

namespace {

class ServerIni : public ::testing::Test {
protected:
    void Write(const std::string& ansi) { ASSERT_TRUE(dir_.WriteFile(L"server.ini", ansi)); }
    void WriteUtf16(const std::wstring& text) {
        ASSERT_TRUE(dir_.WriteFile(L"server.ini", Utf16FileBytes(text)));
    }
    int StoreTypeFor(const std::string& value) {
        Write("[server]\r\ntype=" + value + "\r\n");
        return ReadStoreType(dir_.path());
    }

    TempDir dir_;
};

TEST_F(ServerIni, MissingFileGivesDefaults) {
    ASSERT_TRUE(dir_.ok());
    EXPECT_EQ(ReadServerDomain(dir_.path()), "");
    EXPECT_EQ(ApiHostFromDomain(ReadServerDomain(dir_.path())), kDefaultApiHost);
    EXPECT_EQ(ReadStoreType(dir_.path()), 1);
    EXPECT_EQ(ReadTitle(dir_.path()), L"");
    EXPECT_EQ(ReadIconName(dir_.path()), L"");
    EXPECT_EQ(ReadPayType(dir_.path()), 1);
    EXPECT_EQ(ReadCaFile(dir_.path()), L"");
}

TEST_F(ServerIni, AnsiFileValues) {
    Write(
        "[other]\r\ndomain=wrong.example\r\n[server]\r\ndomain=store.example.com\r\n"
        "type=7\r\ntitle=My Shop\r\nicon=app.ico\r\npay_type=2\r\n");
    EXPECT_EQ(ApiHostFromDomain(ReadServerDomain(dir_.path())), "store.example.com");
    EXPECT_EQ(ReadStoreType(dir_.path()), 7);
    EXPECT_EQ(ReadTitle(dir_.path()), L"My Shop");
    EXPECT_EQ(ReadIconName(dir_.path()), L"app.ico");
    EXPECT_EQ(ReadPayType(dir_.path()), 2);
}

TEST_F(ServerIni, StoreTypeOutsideOneToHundredBecomesOne) {
    EXPECT_EQ(StoreTypeFor("0"), 1);
    EXPECT_EQ(StoreTypeFor("101"), 1);
    EXPECT_EQ(StoreTypeFor("-3"), 1);
    EXPECT_EQ(StoreTypeFor("shop"), 1);
    EXPECT_EQ(StoreTypeFor("100"), 100);
    EXPECT_EQ(StoreTypeFor("1"), 1);
}

TEST_F(ServerIni, LongValuesAreCutAt254Characters) {
    std::string longHost(300, 'h');
    std::wstring longTitle(300, L't');
    Write("[server]\r\ndomain=" + longHost + "\r\ntitle=" + std::string(300, 't') + "\r\n");
    EXPECT_EQ(ReadServerDomain(dir_.path()), longHost.substr(0, 254));
    EXPECT_EQ(ReadTitle(dir_.path()), longTitle.substr(0, 254));
}

TEST_F(ServerIni, Utf16FileWithChineseTitleAndIcon) {
    WriteUtf16(
        L"[server]\r\ndomain=api.example.cn\r\ntype=3\r\ntitle=\x5546\x5E97 Shop\r\n"
        L"icon=\x56FE\x6807.ico\r\npay_type=1\r\n");
    EXPECT_EQ(ReadServerDomain(dir_.path()), "api.example.cn");
    EXPECT_EQ(ReadStoreType(dir_.path()), 3);
    EXPECT_EQ(ReadTitle(dir_.path()), L"\x5546\x5E97 Shop");
    EXPECT_EQ(ReadIconName(dir_.path()), L"\x56FE\x6807.ico");
    EXPECT_EQ(ReadPayType(dir_.path()), 1);
}

TEST_F(ServerIni, DomainAndTypeFoundInAFolderTheAnsiCodePageCannotSpell) {
    // Thai and Devanagari: in the ANSI code page of no Western or Chinese
    // Windows.
    const std::wstring name = L"\x0E23\x0E49\x0E32\x0E19 \x0926\x0941\x0915\x093E\x0928";
    const std::wstring folder = dir_.Join(name);
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    ASSERT_TRUE(dir_.WriteFile(name + L"\\server.ini",
                               "[server]\r\ndomain=store.example.com\r\ntype=7\r\n"));
    EXPECT_EQ(ReadServerDomain(folder), "store.example.com");
    EXPECT_EQ(ReadStoreType(folder), 7);
}

TEST_F(ServerIni, CaFileRelativeToTheDirectoryOrAbsolute) {
    Write("[server]\r\nca_file=certs\\store.pem\r\n");
    EXPECT_EQ(ReadCaFile(dir_.path()), dir_.path() + L"\\certs\\store.pem");
    // From the root of the current drive, or of the current folder on a
    // drive: in the directory all the same, whatever the current folder is.
    Write("[server]\r\nca_file=\\certs\\store.pem\r\n");
    EXPECT_EQ(ReadCaFile(dir_.path()), dir_.path() + L"\\certs\\store.pem");
    Write("[server]\r\nca_file=/certs/store.pem\r\n");
    EXPECT_EQ(ReadCaFile(dir_.path()), dir_.path() + L"\\certs/store.pem");
    Write("[server]\r\nca_file=C:store.pem\r\n");
    EXPECT_EQ(ReadCaFile(dir_.path()), dir_.path() + L"\\C:store.pem");
    Write("[server]\r\nca_file=C:\\trust\\store.pem\r\n");
    EXPECT_EQ(ReadCaFile(dir_.path()), L"C:\\trust\\store.pem");
    Write("[server]\r\nca_file=\\\\server\\share\\store.pem\r\n");
    EXPECT_EQ(ReadCaFile(dir_.path()), L"\\\\server\\share\\store.pem");
    // Paths are not cut at the short-value limit.
    std::string deep = "C:\\" + std::string(600, 'd') + "\\store.pem";
    Write("[server]\r\nca_file=" + deep + "\r\n");
    EXPECT_EQ(ReadCaFile(dir_.path()).size(), deep.size());
}

}  // namespace
