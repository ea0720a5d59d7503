#pragma once
// Rows pasted from other programs: each record of the clipboard's text is
// one model, either a spreadsheet's row (cells parted by tabs, cut as a
// table's records are) or a model text (fields two spaces apart).

#include "model/paste_buffer.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace kestrune {

// The most a row paste reads; a longer text is refused whole.
constexpr std::size_t kMaxPastedRowsBytes = std::size_t{4} << 20;
constexpr std::size_t kMaxPastedRows = 100000;

// The models of a clipboard text, in their order, or why there are none.
struct PastedRows {
    std::vector<PasteBuffer> models; // none: the paste is refused
    std::string refusal;             // why, in a short line for the user
};

// Lines end with CR, LF or CR LF; blank lines and a header row before the
// first model ("Manufacturer" in its first cell) are skipped. A line
// holding a tab is a spreadsheet's row: ten cells (Manufacturer, Model
// Name, the eight numbers, whose decimal mark the text's numbers show); a
// cell may be quoted in double quotes and then hold tabs and line breaks;
// blank cells after the tenth are ignored, and so is a row number before
// the first. A line without a tab, or one that is no spreadsheet's row
// (the model text of a name holding a tab), is read as a model text.
// Refused, with the first line that is no model named, when any line does
// not read as a model, when no line does, or when the text is longer than
// the limits above.
PastedRows ReadPastedRows(std::string_view text);

} // namespace kestrune
