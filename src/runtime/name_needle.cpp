#include "runtime/name_needle.h"

#include <algorithm>

namespace kestrune {

NameNeedle::NameNeedle(const NameCollation& collation, std::string_view needle)
    : collation_(collation), keys_(collation) {
    keys_.primaries(needle, weights_);
    if (!collation.asciiByTable()) {
        return;
    }
    for (const char c : needle) {
        const auto byte = static_cast<unsigned char>(c);
        const char fold = byte < 0x80 ? collation.ascii(byte).fold : '\0';
        if (fold == '\0') {
            folded_.clear();
            return;
        }
        folded_.push_back(fold);
    }
}

std::optional<bool> NameNeedle::foundByTable(std::string_view name) const {
    const auto fold = [this](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x80 ? collation_.ascii(byte).fold : '\0';
    };
    const std::size_t m = folded_.size();
    bool found = false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const char f = fold(name[i]);
        if (f == '\0') {
            return std::nullopt; // a character the table cannot weigh
        }
        if (!found && f == folded_[0] && m <= name.size() - i) {
            std::size_t j = 1;
            while (j < m && fold(name[i + j]) == folded_[j]) {
                ++j;
            }
            found = j == m;
        }
    }
    return found;
}

bool NameNeedle::foundIn(std::string_view name) {
    if (weights_.empty()) {
        return false;
    }
    if (!folded_.empty()) {
        if (const std::optional<bool> found = foundByTable(name)) {
            return *found;
        }
    }
    keys_.primaries(name, nameWeights_);
    return std::search(nameWeights_.begin(), nameWeights_.end(), weights_.begin(),
                       weights_.end()) != nameWeights_.end();
}

} // namespace kestrune
