#include "runtime/windows_1252.h"

#include "runtime/utf8_text.h"

#include <array>

namespace kestrune {
namespace {

// Code points of the bytes 0x80 to 0x9F.
constexpr std::array<char16_t, 32> kDifferingBytes = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, // 88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, // 98
};

} // namespace

char32_t windows1252ToCodePoint(unsigned char byte) {
    return byte >= 0x80 && byte < 0xA0 ? char32_t{kDifferingBytes[byte - 0x80u]} : char32_t{byte};
}

std::size_t windows1252ToUtf8(std::string_view text, char* out) {
    return EightBitToUtf8(text, windows1252ToCodePoint, out);
}

std::string windows1252ToUtf8(std::string_view text) {
    std::string out(3 * text.size(), '\0');
    out.resize(windows1252ToUtf8(text, out.data()));
    return out;
}

} // namespace kestrune
