#pragma once
// A look into the transport's state for its own tests. Built in the test
// configuration only: the shipped program has no such function.

#include <string>

// The handle that the last ScopedKeptConnection to end left for the next one:
// false when there is none; otherwise true, with the URL and HTTP status it
// still holds of a transfer ("" and 0 once it has let go of the transfer).
bool InspectIdleKeptHandle(std::string* url, long* status);
