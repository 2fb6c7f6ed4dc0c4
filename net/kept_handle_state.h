#pragma once
// What the connection kept between payment watches still holds, for the
// connection tests. Compiled into test builds only; the shipped exe lacks it.

#include <string>

// The handle that the last ScopedKeptConnection to end left for the next one:
// false when there is none; otherwise true, with the URL and HTTP status it
// still holds of a transfer ("" and 0 once it has let go of the transfer).
bool InspectIdleKeptHandle(std::string* url, long* status);
