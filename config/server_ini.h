#pragma once
// Readers of server.ini, section "server", in the directory given (the
// program's directory in production, a temporary one in tests). A missing file
// or key gives the default.

#include <string>

// "domain": at most 254 characters, untrimmed, in the ANSI code page. Read
// as wide text, so that a directory whose name the ANSI code page cannot
// spell still finds its file.
std::string ReadServerDomain(const std::wstring& dir);

// The API host for a "domain" value: the value itself, or kDefaultApiHost when
// it is empty.
std::string ApiHostFromDomain(const std::string& domain);

// "type" (integer, default 1); anything outside 1..100 becomes 1.
int ReadStoreType(const std::wstring& dir);

// "title" and "icon" (wide, at most 254 characters, default empty).
std::wstring ReadTitle(const std::wstring& dir);
std::wstring ReadIconName(const std::wstring& dir);

// "pay_type" (wide integer, default 1); the first payment page is used when it
// is 1.
int ReadPayType(const std::wstring& dir);

// "ca_file": PEM bundle to trust instead of the system store, for stores with a
// private certificate. Only a full path (drive and root, or a network path)
// is taken as it is; any other value is taken relative to dir, never to the
// current drive or folder (a value from the root of the current drive, "\x",
// too). Empty when the key is absent.
std::wstring ReadCaFile(const std::wstring& dir);
