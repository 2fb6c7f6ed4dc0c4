#include "store/service_request.h"

#include <windows.h>

#include <new>

#include "base/text.h"
#include "net/http.h"
#include "store/answer_copy.h"

void TraceUrl(const std::string& url, UrlTrace how) {
    switch (how) {
        case UrlTrace::kNone:
            break;
        case UrlTrace::kNarrow:
            OutputDebugStringA(url.c_str());
            break;
        case UrlTrace::kNarrowLine:
            OutputDebugStringA((url + "\r\n").c_str());
            break;
        case UrlTrace::kWideLine: {
            const std::wstring line = AnsiToWide(url + "\r\n");
            if (!line.empty())
                OutputDebugStringW(line.c_str());
            break;
        }
    }
}

bool AskService(const ServiceRequest& request, ServiceAnswer& answer) {
    answer = ServiceAnswer();
    TraceUrl(request.url, request.urlTrace);
    char* buffer = request.buffer;
    if (!buffer) {
        try {
            answer.owned.assign(static_cast<size_t>(request.capacity), 0);
        } catch (const std::bad_alloc&) {
            return false;
        }
        buffer = answer.owned.data();
    }
    int length = request.capacity;
    if (!HttpGetToBuffer(request.url, buffer, &length, request.timeoutSeconds))
        return false;
    answer.body = buffer;
    answer.length = length;
    if (request.answerCopy)
        WriteAnswerCopy(request.answerCopy, buffer, length);
    if (request.traceAnswer)
        OutputDebugStringA((std::string(buffer, length) + "\r\n").c_str());
    answer.document = JsonParse(buffer);
    answer.envelope = ReadEnvelope(answer.document.get());
    return true;
}
