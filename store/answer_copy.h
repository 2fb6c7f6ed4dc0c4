#pragma once
// Copies of the last answers ("b.txt", "c.txt") in the current directory, or
// in localConfig.answerDir when it is set (the program's own folder is the
// current one, config/data_folder.h), for whoever diagnoses a problem;
// nothing reads them back.

// Writes `length` bytes of `body` to `name`, replacing it by a rename (see
// file_replace.h). A file that cannot be written is skipped silently.
void WriteAnswerCopy(const char* name, const char* body, int length);
