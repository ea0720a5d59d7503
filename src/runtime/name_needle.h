#pragma once
// A text to find in names as the collation weighs them: case and accents
// aside ("muller" finds "Müller", "lodz" finds "Łódź" where the locale
// counts ł as an l), digits one by one ("12" is in "PR-123"). A needle looks
// through an ASCII name by the collation's table alone.

#include "runtime/name_keys.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrune {

class NameNeedle {
public:
    NameNeedle(const NameCollation& collation, std::string_view needle);
    // Whether name holds the needle; never for a needle that weighs
    // nothing (empty, or marks alone).
    bool foundIn(std::string_view name);

private:
    // The answer by the table, when the needle and the name allow it.
    std::optional<bool> foundByTable(std::string_view name) const;

    NameKeys keys_;
    // By byte, what the table folds it to; 0 for what it cannot weigh.
    std::array<char, 256> folds_{};
    // The needle's weights as the table folds the ASCII characters of the
    // same weight, 0 for a weight none of them has; empty where the table
    // does not serve.
    std::string folded_;
    bool beyondAscii_ = false;
    std::vector<std::uint32_t> weights_;
    std::vector<std::uint32_t> nameWeights_;
};

} // namespace kestrune
