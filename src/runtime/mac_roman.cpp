#include "runtime/mac_roman.h"

#include "runtime/utf8_text.h"

#include <array>
#include <cstdint>

namespace kestrune {
namespace {

// Code points of the bytes 0x80 to 0xFF.
constexpr std::array<char16_t, 128> kHighHalf = {
    0x00C4, 0x00C5, 0x00C7, 0x00C9, 0x00D1, 0x00D6, 0x00DC, 0x00E1, // 80
    0x00E0, 0x00E2, 0x00E4, 0x00E3, 0x00E5, 0x00E7, 0x00E9, 0x00E8, // 88
    0x00EA, 0x00EB, 0x00ED, 0x00EC, 0x00EE, 0x00EF, 0x00F1, 0x00F3, // 90
    0x00F2, 0x00F4, 0x00F6, 0x00F5, 0x00FA, 0x00F9, 0x00FB, 0x00FC, // 98
    0x2020, 0x00B0, 0x00A2, 0x00A3, 0x00A7, 0x2022, 0x00B6, 0x00DF, // A0
    0x00AE, 0x00A9, 0x2122, 0x00B4, 0x00A8, 0x2260, 0x00C6, 0x00D8, // A8
    0x221E, 0x00B1, 0x2264, 0x2265, 0x00A5, 0x00B5, 0x2202, 0x2211, // B0
    0x220F, 0x03C0, 0x222B, 0x00AA, 0x00BA, 0x03A9, 0x00E6, 0x00F8, // B8
    0x00BF, 0x00A1, 0x00AC, 0x221A, 0x0192, 0x2248, 0x2206, 0x00AB, // C0
    0x00BB, 0x2026, 0x00A0, 0x00C0, 0x00C3, 0x00D5, 0x0152, 0x0153, // C8
    0x2013, 0x2014, 0x201C, 0x201D, 0x2018, 0x2019, 0x00F7, 0x25CA, // D0
    0x00FF, 0x0178, 0x2044, 0x20AC, 0x2039, 0x203A, 0xFB01, 0xFB02, // D8
    0x2021, 0x00B7, 0x201A, 0x201E, 0x2030, 0x00C2, 0x00CA, 0x00C1, // E0
    0x00CB, 0x00C8, 0x00CD, 0x00CE, 0x00CF, 0x00CC, 0x00D3, 0x00D4, // E8
    0xF8FF, 0x00D2, 0x00DA, 0x00DB, 0x00D9, 0x0131, 0x02C6, 0x02DC, // F0
    0x00AF, 0x02D8, 0x02D9, 0x02DA, 0x00B8, 0x02DD, 0x02DB, 0x02C7, // F8
};

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

// The Mac OS Roman byte of each code point below 0x800 and from 0x2000 to
// 0x25FF (where all but three of the high half's characters lie); 0 where
// Mac OS Roman has none.
constexpr char32_t kMiddleFirst = 0x2000;
constexpr std::size_t kTableSize = 0x800 + 0x600;
constexpr std::array<unsigned char, kTableSize> kEncoding = [] {
    std::array<unsigned char, kTableSize> table{};
    for (std::size_t k = 0; k < kHighHalf.size(); ++k) {
        const char32_t cp = kHighHalf[k];
        const std::size_t at = cp < 0x800 ? cp : cp - kMiddleFirst + 0x800;
        if (cp < 0x800 || (cp >= kMiddleFirst && at < kTableSize)) {
            table[at] = static_cast<unsigned char>(0x80 + k);
        }
    }
    return table;
}();

} // namespace

bool macRomanByteOf(char32_t cp, char& out) {
    if (cp < 0x80) {
        out = static_cast<char>(cp);
        return true;
    }
    unsigned char byte = 0;
    if (cp < 0x800) {
        byte = kEncoding[cp];
    } else if (cp >= kMiddleFirst && cp - kMiddleFirst < kTableSize - 0x800) {
        byte = kEncoding[cp - kMiddleFirst + 0x800];
    } else {
        // The Apple logo and the two ligatures.
        for (const std::size_t k : {0x70u, 0x5Eu, 0x5Fu}) {
            if (kHighHalf[k] == cp) {
                byte = static_cast<unsigned char>(0x80 + k);
            }
        }
    }
    out = static_cast<char>(byte);
    return byte != 0;
}

namespace {

char encodeMacRoman(char32_t cp) {
    char byte = '?';
    return macRomanByteOf(cp, byte) ? byte : '?';
}

} // namespace

bool fitsMacRoman(std::string_view utf8) {
    std::size_t i = 0;
    while (i < utf8.size()) {
        char32_t cp = 0;
        char byte = 0;
        const std::size_t len = decodeUtf8(utf8, i, cp);
        if (len == 0 || !macRomanByteOf(cp, byte)) {
            return false;
        }
        i += len;
    }
    return true;
}

std::size_t utf8LengthOf(unsigned char lead) {
    return lead < 0x80                    ? 1
           : lead >= 0xC2 && lead <= 0xDF ? 2
           : lead >= 0xE0 && lead <= 0xEF ? 3
           : lead >= 0xF0 && lead <= 0xF4 ? 4
                                          : 0;
}

std::size_t decodeUtf8(std::string_view bytes, std::size_t i, char32_t& cp) {
    const auto b0 = static_cast<unsigned char>(bytes[i]);
    const std::size_t len = utf8LengthOf(b0);
    constexpr char32_t kLeadBits[5] = {0, 0x7F, 0x1F, 0x0F, 0x07};
    constexpr char32_t kLeast[5] = {0, 0, 0x80, 0x800, 0x10000};
    cp = b0 & kLeadBits[len];
    if (len <= 1) {
        return len;
    }
    const char32_t min = kLeast[len];
    if (i + len > bytes.size()) {
        return 0;
    }
    for (std::size_t k = 1; k < len; ++k) {
        const auto b = static_cast<unsigned char>(bytes[i + k]);
        if ((b & 0xC0) != 0x80) {
            return 0;
        }
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        return 0;
    }
    return len;
}

char32_t macRomanToCodePoint(unsigned char byte) {
    return byte < 0x80 ? char32_t{byte} : char32_t{kHighHalf[byte - 0x80u]};
}

std::string macRomanToUtf8(std::string_view macRoman) {
    std::string out;
    out.reserve(macRoman.size() + macRoman.size() / 2);
    for (char c : macRoman) {
        appendUtf8(out, macRomanToCodePoint(static_cast<unsigned char>(c)));
    }
    return out;
}

std::size_t macRomanToUtf8(std::string_view macRoman, char* out) {
    return EightBitToUtf8(macRoman, macRomanToCodePoint, out);
}

std::size_t utf8ToMacRoman(std::string_view utf8, char* out) {
    char* const first = out;
    std::size_t i = 0;
    while (i < utf8.size()) {
        if (static_cast<unsigned char>(utf8[i]) < 0x80) {
            *out++ = utf8[i++];
            continue;
        }
        char32_t cp = 0;
        const std::size_t len = decodeUtf8(utf8, i, cp);
        if (len == 0) {
            *out++ = '?';
            ++i;
            continue;
        }
        *out++ = encodeMacRoman(cp);
        i += len;
    }
    return static_cast<std::size_t>(out - first);
}

std::string utf8ToMacRoman(std::string_view utf8) {
    std::string out(utf8.size(), '\0');
    out.resize(utf8ToMacRoman(utf8, out.data()));
    return out;
}

bool isValidUtf8(std::string_view bytes) {
    std::size_t i = 0;
    while (i < bytes.size()) {
        char32_t cp = 0;
        const std::size_t len = decodeUtf8(bytes, i, cp);
        if (len == 0) {
            return false;
        }
        i += len;
    }
    return true;
}

} // namespace kestrune
