#pragma once
// Rows in the order of a name column, as the user's language orders names:
// case and accents ignored first, then accents, then case breaking ties;
// runs of digits by their value ("PR-9" before "PR-10"). Rows whose names
// compare equal keep their order, in either direction.

#include "model/name_column.h"
#include "runtime/name_collation.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace kestrune {

// Negative, 0 or positive as a comes before, ties with or comes after b.
int CompareNames(std::string_view a, std::string_view b);
int CompareNames(std::string_view a, std::string_view b, const NameCollation& collation);

// order[k] is the row of rows 1 .. n that goes to row k + 1.
std::vector<std::int32_t> OrderByName(const NameColumn& names, std::int32_t n, bool descending);
std::vector<std::int32_t> OrderByName(const NameColumn& names, std::int32_t n, bool descending,
                                      const NameCollation& collation);

} // namespace kestrune
