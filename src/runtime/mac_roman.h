#pragma once
// Mac OS Roman is the encoding of every text the program stores, writes to
// files and puts on the clipboard. These convert at the boundary to the
// UTF-8 of the desktop.

#include <string>
#include <string_view>

namespace kestrune {

// Every Mac OS Roman byte has a Unicode character, so this never fails.
std::string macRomanToUtf8(std::string_view macRoman);

// Characters Mac OS Roman lacks become '?'. Bytes that are not valid UTF-8
// also become '?', one per byte.
std::string utf8ToMacRoman(std::string_view utf8);

// True when the bytes form well-formed UTF-8 (plain ASCII included).
bool isValidUtf8(std::string_view bytes);

// The Unicode code point of one Mac OS Roman byte.
char32_t macRomanToCodePoint(unsigned char byte);

} // namespace kestrune
