#pragma once
// Windows-1252, the text of files that spreadsheets on Windows save for
// Western Europe: ISO 8859-1 but for the bytes 0x80 to 0x9F, which hold
// typographic quotes and dashes, the euro sign and a few letters. These
// convert it to the UTF-8 the program keeps its texts in.

#include <cstddef>
#include <string>
#include <string_view>

namespace kestrune {

// The Unicode character of one byte. The five bytes Windows-1252 leaves
// unassigned keep the C1 control of the same number, so nothing is lost.
char32_t windows1252ToCodePoint(unsigned char byte);

// Converts into out, which has room for three bytes a byte; returns how
// many bytes it wrote.
std::size_t windows1252ToUtf8(std::string_view text, char* out);
std::string windows1252ToUtf8(std::string_view text);

} // namespace kestrune
