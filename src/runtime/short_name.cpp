#include "runtime/short_name.h"

#include "runtime/utf8_text.h"

namespace kestrune {
namespace {

// Where the character that ends at end (exclusive) begins.
std::size_t characterStartBefore(std::string_view text, std::size_t end) {
    // A sequence is at most 4 bytes: try the longest that ends exactly here.
    for (std::size_t length = 4; length > 1; --length) {
        if (end >= length && CharacterLength(text, end - length) == length) {
            return end - length;
        }
    }
    return end - 1;
}

} // namespace

std::string NameForMessage(std::string_view name, std::size_t limit) {
    static constexpr std::string_view kEllipsis = "\u2026";
    // The first limit + 1 characters tell whether the name needs cutting.
    std::size_t headEnd = 0;
    std::size_t count = 0;
    const std::size_t headCount = (limit - 1) - (limit - 1) / 2;
    std::size_t headCut = 0;
    while (headEnd < name.size() && count <= limit) {
        if (count == headCount) {
            headCut = headEnd;
        }
        headEnd += CharacterLength(name, headEnd);
        ++count;
    }
    if (count <= limit || limit == 0) {
        return limit == 0 ? std::string() : std::string(name);
    }
    std::size_t tailStart = name.size();
    for (std::size_t k = 0; k < (limit - 1) / 2 && tailStart > headCut; ++k) {
        tailStart = characterStartBefore(name, tailStart);
    }
    std::string shown(name.substr(0, headCut));
    shown += kEllipsis;
    shown += name.substr(tailStart);
    return shown;
}

} // namespace kestrune
