#pragma once
// Readers of server.ini, section "server", in the directory given (the
// program's directory in production, a temporary one in tests). A missing file
// or key gives the default.

#include <string>

// "domain" through the ANSI profile API: at most 254 characters, untrimmed.
std::string ReadServerDomain(const std::string& dirAnsi);

// The API host for a "domain" value: the value itself, or kDefaultApiHost when
// it is empty.
std::string ApiHostFromDomain(const std::string& domain);

// "type" (ANSI integer, default 1); anything outside 1..100 becomes 1.
int ReadStoreType(const std::string& dirAnsi);

// "title" and "icon" (wide, at most 254 characters, default empty).
std::wstring ReadTitle(const std::wstring& dir);
std::wstring ReadIconName(const std::wstring& dir);

// "pay_type" (wide integer, default 1); the first payment page is used when it
// is 1.
int ReadPayType(const std::wstring& dir);

// "ca_file": PEM bundle to trust instead of the system store, for stores with a
// private certificate. A relative value is taken relative to dir. Empty when
// the key is absent.
std::wstring ReadCaFile(const std::wstring& dir);
