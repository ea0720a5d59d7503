#pragma once
// The texts of the controls above the sheet: the column label and the Send
// button, with their help tags.

#include "ports/sheet_views.h"

#include <cstdint>
#include <string>

namespace kestrune {

// The column label and its help tag for a selected column 0 to 10.
std::string ColumnLabel(std::int32_t cellH);
std::string ColumnHelp(std::int32_t cellH);

// The Send button's title and help tag for the transfer method and mode.
std::string SendButtonTitle(std::int32_t transMethod);
std::string SendButtonHelp(std::int32_t transMethod, bool rowMode);

} // namespace kestrune
