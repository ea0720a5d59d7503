#pragma once
// Find: the next row whose Manufacturer or Model Name holds a text, case
// and accents ignored as the sort by name ignores them.

#include "model/model_table.h"
#include "runtime/name_collation.h"

#include <cstdint>
#include <string_view>

namespace kestrune {

struct FoundName {
    std::int32_t row = 0;    // 0: nothing found
    std::int32_t column = 0; // the sheet column: 1 Manufacturer or 2 Model Name
};

// True when name holds needle (both UTF-8), case and accents ignored.
bool NameHolds(std::string_view name, std::string_view needle);

// The first row after `after` whose Manufacturer or else Model Name holds
// needle, going on from row 1 past the last and ending with `after` itself.
// An empty needle finds nothing.
FoundName FindNextName(const ModelTable& table, std::string_view needle, std::int32_t after);
// The same under a collation of one's choice.
FoundName FindNextName(const ModelTable& table, std::string_view needle, std::int32_t after,
                       const NameCollation& collation);

} // namespace kestrune
