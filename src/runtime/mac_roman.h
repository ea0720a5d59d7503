#pragma once
// Mac OS Roman is the encoding of every text the program stores, writes to
// files and puts on the clipboard. These convert at the boundary to the
// UTF-8 of the desktop.

#include <cstddef>
#include <string>
#include <string_view>

namespace kestrune {

// Every Mac OS Roman byte has a Unicode character, so this never fails.
std::string macRomanToUtf8(std::string_view macRoman);

// Characters Mac OS Roman lacks become '?'. Bytes that are not valid UTF-8
// also become '?', one per byte.
std::string utf8ToMacRoman(std::string_view utf8);
// The same into out, which has room for utf8.size() bytes (the text never
// grows); returns how many bytes it wrote.
std::size_t utf8ToMacRoman(std::string_view utf8, char* out);

// The length of the well-formed UTF-8 character at bytes[i], with its code
// point in cp; 0 when the bytes there are not one (cut short included).
std::size_t decodeUtf8(std::string_view bytes, std::size_t i, char32_t& cp);
// The length of the UTF-8 character that lead begins; 0 when no
// well-formed character begins with it (a continuation byte included).
std::size_t utf8LengthOf(unsigned char lead);

// True when the bytes form well-formed UTF-8 (plain ASCII included).
bool isValidUtf8(std::string_view bytes);

// The Unicode code point of one Mac OS Roman byte.
char32_t macRomanToCodePoint(unsigned char byte);

} // namespace kestrune
