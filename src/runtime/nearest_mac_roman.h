#pragma once
// Text for a peer that reads only Mac OS Roman: what fits is kept byte for
// byte, and a character Mac OS Roman lacks becomes its base letter where it
// has one (Ł → L, ō → o, Č → C), or '?' where it has none.

#include <string>
#include <string_view>

namespace kestrune {

// The Mac OS Roman bytes of UTF-8 text; changed is set when a character
// had to be replaced.
std::string NearestMacRoman(std::string_view utf8, bool& changed);

} // namespace kestrune
