#pragma once
// What the readers and writers of documents and tables give back besides
// their rows or bytes: whether they could do their work at all, and every
// file error they met on the way, for the caller to tell the user about.
// They show nothing themselves.

#include "model/model_table.h"
#include "runtime/text_files.h"
#include "runtime/work_progress.h"

#include <vector>

namespace kestrune {

// A file error as the file-error alert names it: the file's number and the
// status code.
struct FileError {
    int fileNumber = 0;
    int code = 0;
    bool operator==(const FileError&) const = default;
};
// In the order they were met.
using FileErrors = std::vector<FileError>;

// File slots of a reader's or writer's own, whose errors are gathered in
// errors instead of being shown.
class CodecFiles {
public:
    CodecFiles();
    CodecFiles(const CodecFiles&) = delete;
    CodecFiles& operator=(const CodecFiles&) = delete;

    TextFiles slots;
    FileErrors errors;
};

// A table read from bytes: ok once the bytes could be opened. A read that
// failed part-way keeps the rows before the failure, and errors says what
// failed; not ok, the table holds nothing of the file.
struct TableRead {
    ModelTable table;
    bool ok = false;
    FileErrors errors;
};

// Bytes written: ok only when every byte reached its place.
struct WriteResult {
    bool ok = false;
    FileErrors errors;
};

} // namespace kestrune
