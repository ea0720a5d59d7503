#pragma once
// Rows pasted from other programs: each line of the clipboard's text is one
// model, either a spreadsheet's row (cells separated by tabs) or a model
// text (fields two spaces apart).

#include "model/paste_buffer.h"

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

namespace kestrune {

// The most a row paste reads; a longer text is refused whole.
constexpr std::size_t kMaxPastedRowsBytes = std::size_t{4} << 20;
constexpr std::size_t kMaxPastedRows = 100000;

// The models of a clipboard text, in their order. Lines end with CR, LF or
// CR LF; blank lines are skipped. A line holding a tab is a spreadsheet's
// row: ten cells (Manufacturer, Model Name, the eight numbers with a decimal
// point or comma); a cell may be quoted in double quotes (a doubled quote
// inside stands for one) and then hold tabs and line breaks; empty cells
// after the tenth are ignored, and so is a row number before the first. A
// line without a tab, or one that is no spreadsheet's row (the model text
// of a name holding a tab), is read as a model text. Nothing when any line does not read
// as a model, when no line does, or when the text is longer than the limits
// above.
std::optional<std::vector<PasteBuffer>> ReadPastedRows(std::string_view text);

} // namespace kestrune
