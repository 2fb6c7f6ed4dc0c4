#pragma once
// The process-wide local configuration: where the program lives, which store
// host it talks to and who the machine is. Filled once by the start-up
// sequence, read-only afterwards.

#include <cstddef>
#include <string>
#include <vector>

// Used when server.ini names no "domain".
constexpr char kDefaultApiHost[] = "api.parvelle-pc.com";
static_assert(sizeof(kDefaultApiHost) - 1 == 19, "default host is 19 characters");

// 1 MiB for the product list answer plus one byte for the terminator.
constexpr std::size_t kResponseBufferSize = 1048577;

struct LocalConfig {
    std::wstring moduleDir;     // executable's directory, no trailing backslash
    std::string moduleDirAnsi;  // the same in the ANSI code page (ANSI profile reads)
    // Where everything the program writes goes (config/data_folder.h):
    // moduleDir itself, or the user's own folder.
    std::wstring dataDir;
    std::wstring answerDir;    // where b.txt and c.txt go; empty: the current folder
    std::wstring qrImagePath;  // dataDir + "\tmp.bin"
    std::string apiHost;
    std::string machineId;  // "00:1a:2b:3c:4d:5e"; empty when no adapter qualifies
    std::string channel;    // "master" when the installer record names none
    std::wstring currentProductName;
    std::vector<char> responseBuffer;  // kResponseBufferSize bytes once allocated
    std::wstring caFile;               // absolute PEM path from "ca_file"; empty = system store
};

extern LocalConfig localConfig;

// The last mobile number the main window accepted (narrow, at most 30 chars).
extern std::string mobileNumber;

// Allocates responseBuffer (kResponseBufferSize zero bytes); false when memory
// is short.
bool AllocateResponseBuffer(LocalConfig& config);
