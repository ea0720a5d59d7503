#pragma once
// The linear sort of rows by name that OrderByName runs.

#include "model/name_column.h"
#include "runtime/name_collation.h"

#include <cstdint>
#include <vector>

namespace kestrune {

// order[k] is the row of rows 1 .. count that goes to row k + 1.
std::vector<std::int32_t> SortRowsByName(const NameColumn& names, std::size_t count,
                                         bool descending, const NameCollation& collation);

} // namespace kestrune
