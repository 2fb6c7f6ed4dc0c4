#pragma once
// Where the program keeps what it writes: config.ini, the picture cache, the
// logo, the QR picture and, when its current folder is its own, the answer
// copies b.txt and c.txt. Another user of the computer must never be able to
// change what the program reads back or shows, so:
//
// - A copy in a folder private to the user who runs it (a portable copy the
//   user unpacked into a folder of their own) keeps everything beside its
//   exe.
// - Any other copy (one installed under Program Files, whose folder users
//   may only read; one in a folder others may write to) keeps it in
//   %LOCALAPPDATA%\Parvelle, a folder of the user's own.
//
// Private means, read from the folder's security descriptor: its owner is
// the user, the system or the Administrators; its access list names the
// user's own account (not a group) with the right to add files; and it
// grants no one else but the system and the Administrators, who may change
// anything anyway, any right to add, delete or rename files in it or to
// change its permissions, nor any right to change the files created in it
// (what they inherit). A folder whose permissions cannot be read,
// or with none (FAT), is not private. Finally a new file must really be
// creatable there (read-only media): one is created under an unpredictable
// name and deleted again.
//
// The permissions, not a trial write, decide first: under Wine, which has no
// Windows permissions, the folder's Unix mode is what its security
// descriptor reflects (a folder read-only for its user, or writable by
// others, is not private), while a trial write alone would succeed for root
// in any folder. The choice is made once, at start-up, before any file is
// touched, and holds for the whole run.

#include <windows.h>

#include <string>

struct LocalConfig;

// The rule above on a security descriptor (owner and access list) for the
// account `user`.
bool SecurityIsPrivateTo(PSECURITY_DESCRIPTOR descriptor, PSID user);

// The rule above for the folder `dir` and the user running this process.
bool FolderIsPrivate(const std::wstring& dir);

// %LOCALAPPDATA%\Parvelle, created when missing; empty when the user has no
// such folder.
std::wstring PerUserDataFolder();

// True when both name the same existing folder, whatever their spelling.
bool SameFolder(const std::wstring& a, const std::wstring& b);

// Fills dataDir, answerDir and qrImagePath of `config` for its moduleDir by
// the rule above, then deletes the QR image an earlier run may have left.
// False when no folder to write in can be had.
bool FillDataFolders(LocalConfig& config);
// The same with the folder's privacy given.
bool FillDataFolders(LocalConfig& config, bool moduleDirIsPrivate);
