#include "store/answer_copy.h"

#include <string>

#include "base/file_replace.h"
#include "config/local_config.h"

void WriteAnswerCopy(const char* name, const char* body, int length) {
    // The names are ASCII.
    const std::string narrow(name);
    std::wstring path(narrow.begin(), narrow.end());
    if (!localConfig.answerDir.empty())
        path = localConfig.answerDir + L"\\" + path;
    ReplaceFileContents(path, body, length > 0 ? static_cast<size_t>(length) : 0);
}
