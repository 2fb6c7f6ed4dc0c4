#include "store/answer_copy.h"

#include <cstdio>

void WriteAnswerCopy(const char* name, const char* body, int length) {
    FILE* file = std::fopen(name, "wb");
    if (file == nullptr)
        return;
    if (length > 0)
        std::fwrite(body, 1, static_cast<size_t>(length), file);
    std::fclose(file);
}
