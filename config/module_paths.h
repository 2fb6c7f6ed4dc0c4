#pragma once
// The executable's directory and the paths derived from it.

#include <functional>
#include <string>

struct LocalConfig;

// Text before the last backslash (the backslash excluded); empty when there
// is none.
std::wstring DirectoryOf(const std::wstring& path);
std::string DirectoryOf(const std::string& path);

// What a GetModuleFileNameW-style call reports, asking again with a larger
// buffer for as long as it truncates (the call does so silently).
using ModulePathGetter = std::function<unsigned long(wchar_t* buffer, unsigned long size)>;
std::wstring ReadFullModulePath(const ModulePathGetter& get);

// Directory of the running executable, however long its path.
std::wstring ModuleDirectory();
std::string ModuleDirectoryAnsi();

// moduleDir + "\tmp.bin".
std::wstring QrImagePathIn(const std::wstring& dir);

// Fills moduleDir and moduleDirAnsi, then the folders the program writes in
// (FillDataFolders, config/data_folder.h). False when the module path cannot
// be read or no folder to write in can be had.
bool FillModulePaths(LocalConfig& config);
