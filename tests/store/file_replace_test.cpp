// Files written into folders others may write to: the answer copies in the
// current directory and the QR picture. Someone who plants a hard link under
// the name must not get the file it points to overwritten.
#include <windows.h>

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "store/answer_copy.h"
#include "store/qr_bitmap.h"
#include "temp_dir.h"

namespace {

class FileReplaceTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.ok());
        GetCurrentDirectoryW(MAX_PATH, previous_);
        ASSERT_TRUE(SetCurrentDirectoryW(dir_.path().c_str()));
    }
    void TearDown() override { SetCurrentDirectoryW(previous_); }

    // `name` becomes a second name of a file `target` holding `bytes`.
    void PlantLink(const std::wstring& name, const std::wstring& target, const std::string& bytes) {
        ASSERT_TRUE(dir_.WriteFile(target, bytes));
        ASSERT_TRUE(CreateHardLinkW(dir_.Join(name).c_str(), dir_.Join(target).c_str(), nullptr))
            << GetLastError();
    }

    std::string Read(const std::wstring& name) const {
        std::string bytes;
        return dir_.ReadFile(name, &bytes) ? bytes : "<unreadable>";
    }

    std::set<std::wstring> Names() const {
        std::set<std::wstring> names;
        WIN32_FIND_DATAW found;
        HANDLE find = FindFirstFileW(dir_.Join(L"*").c_str(), &found);
        if (find == INVALID_HANDLE_VALUE)
            return names;
        do {
            if (found.cFileName != std::wstring(L".") && found.cFileName != std::wstring(L".."))
                names.insert(found.cFileName);
        } while (FindNextFileW(find, &found));
        FindClose(find);
        return names;
    }

    TempDir dir_;
    wchar_t previous_[MAX_PATH] = {};
};

TEST_F(FileReplaceTest, AnswerCopiesReplaceAPlantedLink) {
    PlantLink(L"b.txt", L"victim.txt", "precious");
    WriteAnswerCopy("b.txt", "{\"status_code\":1000}", 20);
    EXPECT_TRUE(Read(L"victim.txt") == "precious") << "written through the link";
    EXPECT_EQ(Read(L"b.txt"), "{\"status_code\":1000}");

    // Exactly the bytes given, a zero byte too; an empty answer empties it.
    WriteAnswerCopy("c.txt", "a\0b-not-this", 3);
    EXPECT_EQ(Read(L"c.txt"), std::string("a\0b", 3));
    WriteAnswerCopy("b.txt", "", 0);
    EXPECT_EQ(Read(L"b.txt"), "");

    // A name that cannot be replaced (a directory) is skipped, leaving nothing.
    ASSERT_TRUE(CreateDirectoryW(dir_.Join(L"d.txt").c_str(), nullptr));
    WriteAnswerCopy("d.txt", "x", 1);
    EXPECT_EQ(Names(), (std::set<std::wstring>{L"b.txt", L"c.txt", L"d.txt", L"victim.txt"}));
    RemoveDirectoryW(dir_.Join(L"d.txt").c_str());
}

TEST_F(FileReplaceTest, QrPictureNeverWritesThroughAPlantedLink) {
    PlantLink(L"tmp.bin", L"victim.bin", "precious");
    ASSERT_TRUE(WriteQrBitmap("https://x/pay/1", dir_.Join(L"tmp.bin")));
    EXPECT_TRUE(Read(L"victim.bin") == "precious") << "written through the link";
    const std::string picture = Read(L"tmp.bin");
    EXPECT_EQ(picture.size(), 84726u);
    EXPECT_EQ(picture.substr(0, 2), "BM");

    // Held open by its planter, the link cannot be deleted first; the picture
    // still must not land in the file it points to.
    PlantLink(L"tmp2.bin", L"victim2.bin", "precious");
    HANDLE held =
        CreateFileW(dir_.Join(L"tmp2.bin").c_str(), GENERIC_READ,
                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(WriteQrBitmap("https://x/pay/1", dir_.Join(L"tmp2.bin")));
    CloseHandle(held);
    EXPECT_TRUE(Read(L"victim2.bin") == "precious") << "written through the link";
    EXPECT_EQ(Names(),
              (std::set<std::wstring>{L"tmp.bin", L"victim.bin", L"tmp2.bin", L"victim2.bin"}));
}

}  // namespace
