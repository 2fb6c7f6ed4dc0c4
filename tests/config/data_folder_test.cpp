// Where the program writes: the privacy rule on the permissions Windows gives
// folders, and the choice it makes for real folders.
#include <gtest/gtest.h>

#include <windows.h>
#include <sddl.h>

#include <memory>
#include <string>
#include <vector>

#include "config/data_folder.h"
#include "config/local_config.h"
#include "temp_dir.h"

namespace {

std::wstring CurrentUserSid() {
    HANDLE token = nullptr;
    EXPECT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token));
    std::vector<BYTE> info(256);
    DWORD size = 0;
    EXPECT_TRUE(GetTokenInformation(token, TokenUser, info.data(), 256, &size));
    CloseHandle(token);
    wchar_t* text = nullptr;
    ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(info.data())->User.Sid, &text);
    std::wstring sid = text ? text : L"";
    LocalFree(text);
    return sid;
}

// Whether the rule holds for SDDL with "<U>" standing for the current user.
bool IsPrivate(std::wstring sddl) {
    const std::wstring user = CurrentUserSid();
    for (size_t at = sddl.find(L"<U>"); at != std::wstring::npos; at = sddl.find(L"<U>"))
        sddl.replace(at, 3, user);
    PSECURITY_DESCRIPTOR sd = nullptr;
    EXPECT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1,
                                                                     &sd, nullptr))
        << sddl;
    PSID sid = nullptr;
    ConvertStringSidToSidW(user.c_str(), &sid);
    const bool result = sd != nullptr && SecurityIsPrivateTo(sd, sid);
    LocalFree(sid);
    LocalFree(sd);
    return result;
}

constexpr wchar_t kTrustedInstaller[] =
    L"S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464";

TEST(DataFolder, OnlyAFolderNoOneElseMayChangeIsPrivate) {
    // A folder in the user's profile (Downloads, Desktop).
    EXPECT_TRUE(IsPrivate(L"O:<U>D:PAI(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;FA;;;<U>)"));
    // Program Files\Parvelle as Windows makes it: users read and run.
    const std::wstring ti = kTrustedInstaller;
    const std::wstring programFiles =
        L"D:AI(A;ID;FA;;;" + ti + L")(A;CIIOID;GA;;;" + ti +
        L")(A;ID;FA;;;SY)(A;OICIIOID;GA;;;SY)(A;ID;FA;;;BA)(A;OICIIOID;GA;;;BA)"
        L"(A;ID;0x1200a9;;;BU)(A;OICIIOID;GXGR;;;BU)(A;OICIIOID;GA;;;CO)(A;ID;0x1200a9;;;AC)";
    EXPECT_FALSE(IsPrivate(L"O:BA" + programFiles));
    // ... run by an administrator who owns it: still not the user's own.
    EXPECT_FALSE(IsPrivate(L"O:<U>" + programFiles));
    // The users' right to add files in it, as an older installer granted.
    EXPECT_FALSE(IsPrivate(
        L"O:<U>D:PAI(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;FA;;;<U>)(A;OICI;0x1301bf;;;BU)"));
    // A folder made at the top of a drive: authenticated users may change it.
    EXPECT_FALSE(
        IsPrivate(L"O:<U>D:AI(A;OICI;FA;;;<U>)(A;ID;FA;;;BA)(A;ID;FA;;;SY)"
                  L"(A;OICIID;0x1200a9;;;BU)(A;ID;0x1301bf;;;AU)"
                  L"(A;OICIIOID;SDGXGWGR;;;AU)"));
    // Others may change the files created in it, though not add any.
    EXPECT_FALSE(IsPrivate(L"O:<U>D:PAI(A;OICI;FA;;;<U>)(A;OIIO;FW;;;WD)"));
    // Others may rewrite its permissions.
    EXPECT_FALSE(IsPrivate(L"O:<U>D:PAI(A;OICI;FA;;;<U>)(A;;WD;;;WD)"));
    // A grant only its subfolders inherit does not count.
    EXPECT_TRUE(IsPrivate(L"O:<U>D:PAI(A;OICI;FA;;;<U>)(A;CIIO;FA;;;WD)"));
    // Owned by someone else, who may grant themselves anything.
    EXPECT_FALSE(IsPrivate(L"O:S-1-5-21-1-2-3-1001D:PAI(A;OICI;FA;;;<U>)"));
    // No permissions at all (FAT) or a null list: everyone may do anything.
    EXPECT_FALSE(IsPrivate(L"O:<U>"));
    EXPECT_FALSE(IsPrivate(L"O:<U>D:NO_ACCESS_CONTROL"));
    // What Wine reports for a folder of Unix mode 0755 and 0555, 0777.
    EXPECT_TRUE(IsPrivate(L"O:<U>D:(A;;0x1f01ff;;;<U>)(A;;0x1200a9;;;WD)"));
    EXPECT_FALSE(IsPrivate(L"O:<U>D:(A;;0x1200a9;;;<U>)(A;;0x1200a9;;;WD)"));
    EXPECT_FALSE(IsPrivate(L"O:<U>D:(A;;0x1f01ff;;;<U>)(A;;0x1f01ff;;;WD)"));
}

TEST(DataFolder, APrivateFolderKeepsEverythingBesideTheProgram) {
    TempDir dir;
    ASSERT_TRUE(dir.ok());
    ASSERT_TRUE(dir.WriteFile(L"tmp.bin", "QR picture of an earlier run"));
    LocalConfig config;
    config.moduleDir = dir.path();
    ASSERT_TRUE(FillDataFolders(config));
    EXPECT_EQ(config.dataDir, dir.path());
    EXPECT_EQ(config.answerDir, L"");
    EXPECT_EQ(config.qrImagePath, dir.Join(L"tmp.bin"));
    EXPECT_FALSE(dir.Exists(L"tmp.bin"));
    // The trial file is gone.
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW(dir.Join(L"*.tmp").c_str(), &found);
    EXPECT_EQ(find, INVALID_HANDLE_VALUE);
    if (find != INVALID_HANDLE_VALUE)
        FindClose(find);
}

// (Under Wine a folder's permissions follow its Unix mode, which a Windows
// program cannot change: the installer's test runs the program from a
// read-only folder.)
TEST(DataFolder, AnyOtherFolderSendsEverythingToTheUsersOwn) {
    TempDir dir;
    ASSERT_TRUE(dir.ok());
    const std::wstring user = PerUserDataFolder();
    ASSERT_FALSE(user.empty());
    EXPECT_EQ(user.substr(user.size() - 9), L"\\Parvelle");
    wchar_t previous[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, previous);

    LocalConfig config;
    config.moduleDir = dir.path();
    ASSERT_TRUE(FillDataFolders(config, false));
    EXPECT_EQ(config.dataDir, user);
    EXPECT_EQ(config.qrImagePath, user + L"\\tmp.bin");
    EXPECT_EQ(config.answerDir, L"");  // the current folder is another
    // Started in its own folder (named another way): the answer copies go
    // to the user's folder too.
    ASSERT_TRUE(SetCurrentDirectoryW(dir.path().c_str()));
    LocalConfig started;
    started.moduleDir = dir.path() + L"\\.";
    const bool filled = FillDataFolders(started, false);
    SetCurrentDirectoryW(previous);
    ASSERT_TRUE(filled);
    EXPECT_EQ(started.dataDir, user);
    EXPECT_EQ(started.answerDir, user);
    EXPECT_FALSE(SameFolder(previous, user));
}

}  // namespace
