#pragma once
// How the program writes every file: created new under an unpredictable name
// in the folder of its final name (CREATE_NEW, so nothing someone put there
// beforehand, a hard link to another file among them, is ever opened),
// written, closed, then renamed over the final name. A reader sees the old
// file or the whole new one; a name that can be guessed cannot be taken in
// advance to make the write fail.
#include <windows.h>

#include <cstddef>
#include <string>

#include "base/scoped_handle.h"

class ReplacementFile {
public:
    // Creates the new file beside `path`; valid() says whether that worked.
    explicit ReplacementFile(const std::wstring& path);
    // A file never put in place is deleted.
    ~ReplacementFile();
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    bool valid() const { return file_.valid(); }
    HANDLE handle() const { return file_.get(); }
    bool Write(const void* data, size_t size);
    // Closes the file and renames it over the final name. False when either
    // fails: the new file is then gone and the final name as it was.
    bool PutInPlace();

private:
    void Discard();

    std::wstring path_;
    std::wstring temporary_;
    ScopedHandle file_;
};

// Writes `size` bytes of `data` as the file `path`, as above. False when any
// step fails; then `path` is as it was and no new file is left behind.
bool ReplaceFileContents(const std::wstring& path, const void* data, size_t size);
