#pragma once
// Numbers as spreadsheets write them into text: with the decimal mark of
// their locale, which the numbers of a table tell, and with their digits
// grouped in threes when the cell's format says so ("1,089.0", "1.089,0",
// "1 089,0").

#include "runtime/number_field.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace kestrune {

// Counts what the number fields of a table say about its decimal mark. A
// mark that is not followed by three digits, or that follows more than
// three or a lone zero, is a decimal mark for sure ("21,5", "0.125",
// "1234.567"); so is the last of two kinds of mark ("1,089.0"), and the
// other one of a mark that stands twice ("1.089.000"). One followed by
// three digits alone may be either ("1,089"): it only counts while no
// number is sure.
class DecimalMarkVotes {
public:
    void add(std::string_view field);
    // Point or Comma: the mark the numbers show, fallback when they do not.
    DecimalMarks decided(DecimalMarks fallback) const;
    // Enough numbers have been sure for more to change nothing.
    bool settled() const;

private:
    // Index 0 the point, 1 the comma.
    std::array<std::int64_t, 2> sure_{};
    std::array<std::int64_t, 2> likely_{};
};

// A number field of a table whose decimal mark is mark (Point or Comma):
// what ReadNumberField reads with that mark; else the same with its digits
// grouped in threes by the other mark, a space, an apostrophe or a no-break
// space; else a decimal with the other mark that cannot be a group of
// three digits ("21,5" in a table of points). Nothing for anything else.
std::optional<double> ReadTableNumber(std::string_view field, DecimalMarks mark);

} // namespace kestrune
