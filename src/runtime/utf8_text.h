#pragma once
// Characters of UTF-8 text: how long each is, and where a text of at most
// so many characters ends. A byte that does not begin a well-formed
// sequence counts as one character of its own, so any bytes can be cut.

#include <cstddef>
#include <string_view>

namespace kestrune {

// The length in bytes of the character that starts at `at`: a whole UTF-8
// sequence, or 1 for a byte that does not begin one.
std::size_t CharacterLength(std::string_view text, std::size_t at);

// The first `characters` characters of text (all of it when it has fewer).
std::string_view CutToCharacters(std::string_view text, std::size_t characters);

} // namespace kestrune
