#pragma once
// Numbers as people write them into a field: typed into a cell, cut from a
// spreadsheet's file or pasted from another program. Unlike PSval, which
// takes the number at the start of any text, a field either holds one
// finite number and nothing else, or it is not a number at all.

#include <optional>
#include <string_view>

namespace kestrune {

// The decimal marks a field may use.
enum class DecimalMarks {
    Point,        // 12.5: comma-separated files, the clipboard
    Comma,        // 12,5: files from locales that write a decimal comma
    PointOrComma, // either, at most one of them: what a user types
};

// The value of a field: blanks around it, an optional sign, digits with at
// most one decimal mark, an optional exponent ("4.5e-03"). An empty or
// all-blank field is 0. Anything else ("12.5 mm", "abc", "-", ",", "1.2.3")
// and any value beyond the doubles ("1e400") gives nothing.
std::optional<double> ReadNumberField(std::string_view field, DecimalMarks marks);

} // namespace kestrune
