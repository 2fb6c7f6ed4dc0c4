#include "store/answer_copy.h"

#include <string>

#include "base/file_replace.h"

void WriteAnswerCopy(const char* name, const char* body, int length) {
    // The names are ASCII.
    const std::string narrow(name);
    ReplaceFileContents(std::wstring(narrow.begin(), narrow.end()), body,
                        length > 0 ? static_cast<size_t>(length) : 0);
}
