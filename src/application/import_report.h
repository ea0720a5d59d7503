#pragma once
// What the user is told after an import about the lines of the file that
// were not one model and so were left out.

#include "documents/imported_rows.h"

#include <string>
#include <string_view>

namespace kestrune {

class AppState;

struct SkippedLinesNote {
    std::string message;
    std::string details;
};

// The note for the lines of the file at path an import skipped; nothing
// was imported when noneImported (the sheet stays as it was then).
SkippedLinesNote DescribeSkippedLines(std::string_view path, const SkippedLines& skipped,
                                      bool noneImported);

// Shows that note when lines were skipped; nothing otherwise.
void TellAboutSkippedLines(AppState& app, std::string_view path, const SkippedLines& skipped,
                           bool noneImported);

} // namespace kestrune
