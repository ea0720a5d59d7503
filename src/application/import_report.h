#pragma once
// What the user is told after an import about the lines of the file that
// were not one model and so were left out.

#include "documents/imported_rows.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kestrune {

class AppState;

// "4, 9, 17" for the numbers shown, then ", and N more" for those of total
// that are not; at most limit numbers of shown are taken.
template <typename Number>
std::string ListOfNumbers(const std::vector<Number>& shown, std::int64_t total,
                          std::size_t limit = kListedSkippedLines) {
    std::string list;
    const std::size_t count = std::min(shown.size(), limit);
    for (std::size_t k = 0; k < count; ++k) {
        list += (k == 0 ? "" : ", ") + std::to_string(shown[k]);
    }
    if (const std::int64_t unnamed = total - static_cast<std::int64_t>(count); unnamed > 0) {
        list += ", and " + std::to_string(unnamed) + " more";
    }
    return list;
}

struct SkippedLinesNote {
    std::string message;
    std::string details;
};

// The note for the lines of the file at path an import skipped: what was
// wrong with the first few, then the numbers of the lines; nothing was
// imported when noneImported (the sheet stays as it was then).
SkippedLinesNote DescribeSkippedLines(std::string_view path, const SkippedLines& skipped,
                                      bool noneImported);

// Shows that note when lines were skipped; nothing otherwise.
void TellAboutSkippedLines(AppState& app, std::string_view path, const SkippedLines& skipped,
                           bool noneImported);

} // namespace kestrune
