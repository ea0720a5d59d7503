#pragma once
// Mac OS Roman is the encoding of documents whose names all fit it, of
// older documents and files, and of the text Tarnwell takes. These convert
// between it and the UTF-8 the program keeps its texts in.

#include <cstddef>
#include <string>
#include <string_view>

namespace kestrune {

// Every Mac OS Roman byte has a Unicode character, so this never fails.
std::string macRomanToUtf8(std::string_view macRoman);

// The same into out, which has room for three bytes a byte; returns how
// many bytes it wrote.
std::size_t macRomanToUtf8(std::string_view macRoman, char* out);

// The Mac OS Roman byte of a character, when it has one.
bool macRomanByteOf(char32_t cp, char& byte);
// True when every character of the UTF-8 text has a Mac OS Roman byte (a
// byte that is not UTF-8 has none).
bool fitsMacRoman(std::string_view utf8);

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
