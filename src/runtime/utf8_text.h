#pragma once
// Characters of UTF-8 text: how long each is, and where a text of at most
// so many characters ends. A byte that does not begin a well-formed
// sequence counts as one character of its own, so any bytes can be cut.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace kestrune {

// The length in bytes of the character that starts at `at`: a whole UTF-8
// sequence, or 1 for a byte that does not begin one.
std::size_t CharacterLength(std::string_view text, std::size_t at);

// Writes each byte of an eight-bit text as the UTF-8 of the character
// codePoint gives it (below U+10000), into out, which has room for three
// bytes a byte; returns how many bytes it wrote.
std::size_t EightBitToUtf8(std::string_view text, char32_t (*codePoint)(unsigned char), char* out);

// Where text ends when it has more characters than `characters`.
std::string_view CutLongText(std::string_view text, std::size_t characters);

// The first `characters` characters of text (all of it when it has fewer).
inline std::string_view CutToCharacters(std::string_view text, std::size_t characters) {
    // No character is shorter than a byte: a short text is whole.
    return text.size() <= characters ? text : CutLongText(text, characters);
}

// True when no byte of text lies beyond ASCII; made for names, which are
// short, eight bytes at a time and inline.
inline bool IsAsciiText(std::string_view text) {
    constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;
    const char* p = text.data();
    const std::size_t n = text.size();
    std::uint64_t any = 0;
    std::uint64_t word = 0;
    if (n >= 8) {
        for (std::size_t i = 0; i + 8 <= n; i += 8) {
            std::memcpy(&word, p + i, 8);
            any |= word;
        }
        std::memcpy(&word, p + n - 8, 8); // the last eight, some twice
        any |= word;
    } else if (n >= 4) {
        std::uint32_t half = 0;
        std::memcpy(&half, p, 4);
        any |= half;
        std::memcpy(&half, p + n - 4, 4);
        any |= half;
    } else {
        for (std::size_t i = 0; i < n; ++i) {
            any |= static_cast<unsigned char>(p[i]);
        }
    }
    return (any & kHighBits) == 0;
}

} // namespace kestrune
