#pragma once
// The one way the store service is asked: the URL goes to the debugger
// output, the answer into a buffer of the request's capacity, and the answer
// is read as JSON with its envelope. What the answer means is the caller's
// business.
#include <string>
#include <vector>

#include "store/json_read.h"

// How a request's URL shows in the debugger output.
enum class UrlTrace {
    kNone,
    kNarrow,      // as it is, no line end
    kNarrowLine,  // as it is, then "\r\n"
    kWideLine,    // with "\r\n", widened through the ANSI code page
};

struct ServiceRequest {
    std::string url;
    int capacity = 0;  // the transport's capacity: the answer and its terminator
    int timeoutSeconds = 0;
    UrlTrace urlTrace = UrlTrace::kNarrow;
    bool traceAnswer = false;          // the answer, then "\r\n", to the debugger
    const char* answerCopy = nullptr;  // the name of a copy of the answer (answer_copy.h)
    char* buffer = nullptr;  // `capacity` bytes the caller keeps; null: the answer owns some
};

struct ServiceAnswer {
    const char* body = nullptr;  // zero-terminated, in the request's buffer or in `owned`
    int length = 0;              // without the terminator
    JsonDocument document;       // null when the body is no JSON
    ServiceEnvelope envelope;    // borrows from `document`; empty without one
    std::vector<char> owned;
};

// Sends `request`; after a completed transfer whose body fitted, keeps the
// copy, traces the answer when asked and reads it. True exactly when the
// transfer completed: whether the service agreed is the envelope's to say.
bool AskService(const ServiceRequest& request, ServiceAnswer& answer);

// `url` to the debugger output as `how` says.
void TraceUrl(const std::string& url, UrlTrace how);
