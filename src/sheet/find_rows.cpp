#include "sheet/find_rows.h"

#include "runtime/name_needle.h"

namespace kestrune {

bool NameHolds(std::string_view name, std::string_view needle) {
    return NameNeedle(NameCollation::ForUser(), needle).foundIn(name);
}

FoundName FindNextName(const ModelTable& t, std::string_view needle, std::int32_t after) {
    return FindNextName(t, needle, after, NameCollation::ForUser());
}

FoundName FindNextName(const ModelTable& t, std::string_view needle, std::int32_t after,
                       const NameCollation& collation) {
    const std::int32_t n = t.fNum;
    if (needle.empty() || n < 1) {
        return {};
    }
    NameNeedle compiled(collation, needle);
    const std::int32_t start = (after >= 1 && after <= n) ? after : n;
    for (std::int32_t step = 1; step <= n; ++step) {
        const std::int32_t row = (start - 1 + step) % n + 1;
        if (compiled.foundIn(t.Manufacturer.get(row))) {
            return {row, 1};
        }
        if (compiled.foundIn(t.ModelName.get(row))) {
            return {row, 2};
        }
    }
    return {};
}

} // namespace kestrune
