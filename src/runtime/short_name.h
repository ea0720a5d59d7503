#pragma once
// Names shown in messages: a name of any length is cut to a readable one.

#include <cstddef>
#include <string>
#include <string_view>

namespace kestrune {

// How many characters of a name a message shows.
inline constexpr std::size_t kMessageNameCharacters = 80;

// The name itself when it has at most limit characters; else its beginning
// and its end around an ellipsis ("…"), limit characters in all. Characters
// are UTF-8 sequences, never split; a byte that is not part of one counts
// as one character and is kept as it is.
std::string NameForMessage(std::string_view name, std::size_t limit = kMessageNameCharacters);

} // namespace kestrune
