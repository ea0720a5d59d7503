#pragma once
// A text to find in names as the collation weighs them: case and accents
// aside ("muller" finds "Müller", "lodz" finds "Łódź" where the locale
// counts ł as an l), digits one by one ("12" is in "PR-123"). An ASCII
// needle looks through an ASCII name by the collation's table alone.

#include "runtime/name_keys.h"

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

    const NameCollation& collation_;
    NameKeys keys_;
    // The needle's characters as the table folds them, where it serves for
    // all of them; empty otherwise.
    std::string folded_;
    std::vector<std::uint32_t> weights_;
    std::vector<std::uint32_t> nameWeights_;
};

} // namespace kestrune
