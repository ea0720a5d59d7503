#include "runtime/name_needle.h"

#include <algorithm>

namespace kestrune {

NameNeedle::NameNeedle(const NameCollation& collation, std::string_view needle) : keys_(collation) {
    keys_.primaries(needle, weights_);
    if (!collation.asciiByTable()) {
        return;
    }
    for (unsigned char c = 0; c < 0x80; ++c) {
        folds_[c] = collation.ascii(c).fold;
    }
    // The needle's weights as the ASCII characters that weigh them, however
    // it is written ("lodz" for "Łódź" where ł weighs as l).
    for (const std::uint32_t weight : weights_) {
        char fold = '\0';
        for (unsigned char c = 0; c < 0x80 && fold == '\0'; ++c) {
            const NameCollation::AsciiWeight& w = collation.ascii(c);
            if (w.fold != '\0' && w.primaries[0] == weight) {
                fold = w.fold;
            }
        }
        if (fold == '\0') {
            beyondAscii_ = true;
        }
        folded_.push_back(fold);
    }
}

std::optional<bool> NameNeedle::foundByTable(std::string_view name) const {
    const auto fold = [this](char c) { return folds_[static_cast<unsigned char>(c)]; };
    for (const char c : name) {
        if (fold(c) == '\0') {
            return std::nullopt; // a character the table cannot weigh
        }
    }
    if (beyondAscii_) {
        return false; // no ASCII name weighs what the needle weighs
    }
    const std::size_t m = folded_.size();
    for (std::size_t i = 0; i + m <= name.size(); ++i) {
        if (fold(name[i]) == folded_[0]) {
            std::size_t j = 1;
            while (j < m && fold(name[i + j]) == folded_[j]) {
                ++j;
            }
            if (j == m) {
                return true;
            }
        }
    }
    return false;
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
