#include "sheet/name_order.h"

#include "runtime/name_keys.h"
#include "sheet/name_radix.h"

#include <algorithm>
#include <string>

namespace kestrune {
int CompareNames(std::string_view a, std::string_view b) {
    return CompareNames(a, b, NameCollation::ForUser());
}

int CompareNames(std::string_view a, std::string_view b, const NameCollation& collation) {
    NameKeys keys(collation);
    std::string keyA;
    std::string keyB;
    keys.whole(a, keyA);
    keys.whole(b, keyB);
    const int c = CompareNameKeys(keyA, keyB);
    return c != 0 || a == b ? c : collation.compareTies(a, b);
}

std::vector<std::int32_t> OrderByName(const NameColumn& names, std::int32_t n, bool descending) {
    return OrderByName(names, n, descending, NameCollation::ForUser());
}

std::vector<std::int32_t> OrderByName(const NameColumn& names, std::int32_t n, bool descending,
                                      const NameCollation& collation) {
    const auto count = static_cast<std::size_t>(std::max(n, 0));
    return SortRowsByName(names, count, descending, collation);
}

} // namespace kestrune
