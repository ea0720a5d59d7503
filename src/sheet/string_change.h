#pragma once
// Replacing a piece of a text, as used to drop the document extension from a
// file name.

#include <string>
#include <string_view>

namespace kestrune {

// text with the first occurrence of `find` (ASCII letters compared without
// case) replaced by `replacement`; unchanged when `find` is empty or absent.
std::string CFStringFindAndChange(std::string text, std::string_view find,
                                  std::string_view replacement);

} // namespace kestrune
