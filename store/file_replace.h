#pragma once
// Files the program writes into folders others may write to as well (the
// current directory, its own folder): written under a new name, then renamed
// over the old one. Whatever someone put under the name beforehand, a hard
// link to another file among them, is replaced, never written through, and a
// reader sees the old file or the whole new one.
#include <cstddef>
#include <string>

// Writes `size` bytes of `data` as the file `path`. False when any step
// fails; then `path` is as it was and no temporary file is left behind.
bool ReplaceFileContents(const std::wstring& path, const void* data, size_t size);
