#pragma once
// The distribution channel: the part of the installed program's file name
// between the last "_" and the next ".", found through the installer's
// registry record for the product code of the command line or config.ini.

#include <string>

// Text strictly between the last "_" of the path and the first "." after it;
// empty when either is missing. C:\App\App_ch01.exe gives ch01.
std::string ChannelFromExePath(const std::string& path);

// "AI_ExePath" (ANSI) of the first sub-key of the installer's record
// HKLM\SOFTWARE\Caphyon\Advanced Installer\LZMA\<productCode>; empty when any
// step fails. The 32-bit registry view is tried when the native one has no
// record (the installer is a 32-bit program).
std::string ReadInstallerExePath(const std::wstring& productCode);

// The program's first command-line argument; empty when there is none.
std::wstring FirstCommandLineArgument();

// config.ini in configDir, section "para". A non-empty firstArgument is the
// product code and is stored under "product_code"; otherwise the stored one is
// used. A channel found is stored under a key named after the product code
// (the file is written anew, config/ini_file.h).
// Returns the channel, empty when none is found (the caller then uses
// "master"). Failed INI writes are ignored.
std::string ResolveChannel(const std::wstring& firstArgument, const std::wstring& configDir);

// The same for this process: its first argument and localConfig.dataDir.
std::string ResolveChannel();
