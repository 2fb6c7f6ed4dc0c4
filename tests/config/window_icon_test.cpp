#include <gtest/gtest.h>

#include <windows.h>

#include "config/window_icon.h"
#include "temp_dir.h"

namespace {

void Put16(std::string& s, unsigned v) {
    s += static_cast<char>(v & 0xFF);
    s += static_cast<char>((v >> 8) & 0xFF);
}
void Put32(std::string& s, unsigned v) {
    Put16(s, v & 0xFFFF);
    Put16(s, v >> 16);
}

// A 16x16 32-bit icon file.
std::string IconFileBytes() {
    const unsigned side = 16;
    std::string image;
    Put32(image, 40);  // BITMAPINFOHEADER
    Put32(image, side);
    Put32(image, side * 2);  // colour and mask
    Put16(image, 1);
    Put16(image, 32);
    for (int i = 0; i < 6; ++i) {
        Put32(image, 0);
    }
    for (unsigned i = 0; i < side * side; ++i) {
        Put32(image, 0xFF3366CC);
    }
    image.append(side * 4, '\0');  // AND mask, rows padded to 32 bits

    std::string file;
    Put16(file, 0);
    Put16(file, 1);  // icon
    Put16(file, 1);  // one image
    file += static_cast<char>(side);
    file += static_cast<char>(side);
    file += '\0';
    file += '\0';
    Put16(file, 1);
    Put16(file, 32);
    Put32(file, static_cast<unsigned>(image.size()));
    Put32(file, 6 + 16);
    return file + image;
}

TEST(WindowIcon, LoadsAnIconFileBesideTheProgram) {
    TempDir dir;
    ASSERT_TRUE(dir.WriteFile(L"shop.ico", IconFileBytes()));
    HICON icon = LoadWindowIconFromConfig(dir.path(), L"shop.ico");
    ASSERT_NE(icon, nullptr);
    DestroyIcon(icon);
}

TEST(WindowIcon, KeepsTheResourceIconOtherwise) {
    TempDir dir;
    ASSERT_TRUE(dir.WriteFile(L"broken.ico", "this is no icon"));
    ASSERT_TRUE(CreateDirectoryW(dir.Join(L"folder.ico").c_str(), nullptr));
    EXPECT_EQ(LoadWindowIconFromConfig(dir.path(), L""), nullptr);
    EXPECT_EQ(LoadWindowIconFromConfig(dir.path(), L"missing.ico"), nullptr);
    EXPECT_EQ(LoadWindowIconFromConfig(dir.path(), L"broken.ico"), nullptr);
    EXPECT_EQ(LoadWindowIconFromConfig(dir.path(), L"folder.ico"), nullptr);
}

}  // namespace
