#include "sheet/string_change.h"

#include <algorithm>

namespace kestrune {
namespace {

char foldAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool sameIgnoringCase(char a, char b) {
    return foldAscii(a) == foldAscii(b);
}

} // namespace

std::string CFStringFindAndChange(std::string text, std::string_view find,
                                  std::string_view replacement) {
    if (find.empty()) {
        return text;
    }
    const auto at =
        std::search(text.begin(), text.end(), find.begin(), find.end(), sameIgnoringCase);
    if (at != text.end()) {
        text.replace(at, at + static_cast<std::ptrdiff_t>(find.size()), replacement);
    }
    return text;
}

} // namespace kestrune
