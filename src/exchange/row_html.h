#pragma once
// A row as a table for other programs: what a spreadsheet pastes into ten
// columns, offered on the clipboard beside the model text.

#include "model/model_table.h"

#include <cstdint>
#include <string>

namespace kestrune {

// One HTML table row of ten cells in UTF-8: the Manufacturer and the Model
// Name escaped, then the eight numbers to the last digit, each the shortest
// text that reads back as the very same number.
std::string RowHtml(const ModelTable& table, std::int32_t row);

} // namespace kestrune
