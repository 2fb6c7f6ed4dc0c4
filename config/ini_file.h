#pragma once
// config.ini, the one settings file the program writes: never changed in
// place (the profile API rewrites a file through whatever its name points
// at) but written anew as a whole and renamed into place
// (base/file_replace.h). The file is UTF-16 with a byte-order mark, which
// GetPrivateProfileStringW reads on every Windows.

#include <string>
#include <utility>
#include <vector>

using IniValues = std::vector<std::pair<std::wstring, std::wstring>>;

// `text` (an INI file's lines) with each key of `values` set in `section`:
// the first line of that key in the section is replaced, a missing key is
// added after the section's last line, a missing section at the end. Every
// other line stays as it was. Names compare without regard to ASCII case, as
// the profile API does; a line break in a key or value ends it.
std::wstring WithIniValues(const std::wstring& text, const std::wstring& section,
                           const IniValues& values);

// Sets `values` in `section` of the file `path`, keeping the rest of what it
// held (UTF-16 with a byte-order mark, or else text in the ANSI code page).
// False when the file cannot be written; it is then as it was.
bool WriteIniValues(const std::wstring& path, const std::wstring& section, const IniValues& values);
