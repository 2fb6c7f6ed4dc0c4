#pragma once
// TempDir: a fresh directory under the user's temporary folder, removed with
// everything in it when the object goes away. For tests that need real files
// (INI files, downloads, icons).
//
//   TempDir dir;
//   ASSERT_TRUE(dir.ok());
//   dir.WriteFile(L"server.ini", "[server]\r\ndomain=h\r\n");
//   ReadServerDomain(dir.path());

#include <string>

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    bool ok() const { return !path_.empty(); }
    const std::wstring& path() const { return path_; }  // no trailing backslash
    std::string ansiPath() const;                       // the same in the ANSI code page
    std::wstring Join(const std::wstring& name) const { return path_ + L"\\" + name; }

    // Writes bytes exactly as given (create or replace); false on failure.
    bool WriteFile(const std::wstring& name, const std::string& bytes) const;
    // Whole file content; false when it cannot be read.
    bool ReadFile(const std::wstring& name, std::string* bytes) const;
    bool Exists(const std::wstring& name) const;

private:
    std::wstring path_;
};

// A UTF-16LE file image with BOM of wide text (for UTF-16 INI files).
std::string Utf16FileBytes(const std::wstring& text);
