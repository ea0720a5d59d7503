#include "sheet/find_rows.h"

#include "runtime/letter_order.h"

#include <algorithm>

namespace kestrune {

bool NameHolds(std::string_view name, std::string_view needle) {
    if (needle.empty() || needle.size() > name.size()) {
        return false;
    }
    const auto& w = LetterWeights();
    const auto same = [&w](char a, char b) {
        return w[static_cast<std::uint8_t>(a)].folded == w[static_cast<std::uint8_t>(b)].folded;
    };
    return std::search(name.begin(), name.end(), needle.begin(), needle.end(), same) != name.end();
}

FoundName FindNextName(const ModelTable& t, std::string_view needle, std::int32_t after) {
    const std::int32_t n = t.fNum;
    if (needle.empty() || n < 1) {
        return {};
    }
    const std::int32_t start = (after >= 1 && after <= n) ? after : n;
    for (std::int32_t step = 1; step <= n; ++step) {
        const std::int32_t row = (start - 1 + step) % n + 1;
        if (NameHolds(t.Manufacturer.get(row), needle)) {
            return {row, 1};
        }
        if (NameHolds(t.ModelName.get(row), needle)) {
            return {row, 2};
        }
    }
    return {};
}

} // namespace kestrune
