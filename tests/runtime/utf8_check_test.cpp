#include "runtime/mac_roman.h"
#include "runtime/utf8_check.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>

#include <string>
#include <vector>

using namespace kestrune;

namespace {

// The verdict on text handed over in blocks of the given sizes (the last
// block takes the rest).
bool checkedInBlocks(const std::string& text, const std::vector<std::size_t>& sizes,
                     bool& beyondAscii) {
    Utf8Check check;
    std::size_t at = 0;
    for (const std::size_t size : sizes) {
        const std::size_t take = std::min(size, text.size() - at);
        check.add(std::string_view(text).substr(at, take));
        at += take;
    }
    check.add(std::string_view(text).substr(at));
    const bool valid = check.finish();
    beyondAscii = check.beyondAscii();
    return valid;
}

// Every text cut into two blocks at every byte, and into blocks of one
// byte: the verdict is the one on the text whole.
TEST(Utf8Check, ACharacterCutByABlockEndCarriesOver) {
    struct Case {
        const char* what;
        std::string text;
        bool valid;
    };
    const std::vector<Case> cases = {
        {"ASCII", "Acme,PR-1\r\n", true},
        {"two, three and four bytes", "M\xC3\xBCller \xE2\x82\xAC \xF0\x9F\x8E\xB5!", true},
        {"only a character", "\xE2\x84\xA2", true},
        {"a byte that is not UTF-8, late", "Caf\xC3\xA9 Caf\xC3\xA9 Caf\x8E", false},
        {"cut short at the end", "Caf\xC3\xA9 \xE2\x82", false},
        {"a lead byte before ASCII",
         "a\xC3"
         "b\xC3\xA9",
         false},
        {"overlong", "ab\xC0\x80", false},
        {"a surrogate", "ab\xED\xA0\x80", false},
        {"beyond U+10FFFF", "ab\xF4\x90\x80\x80", false},
        {"a continuation byte too many", "\xC3\xA9\xA9", false},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(isValidUtf8(c.text), c.valid) << c.what;
        const bool beyond = std::any_of(c.text.begin(), c.text.end(), [](char b) { return b < 0; });
        for (std::size_t cut = 0; cut <= c.text.size(); ++cut) {
            bool beyondAscii = false;
            EXPECT_EQ(checkedInBlocks(c.text, {cut}, beyondAscii), c.valid) << c.what << " " << cut;
            EXPECT_EQ(beyondAscii, beyond) << c.what << " " << cut;
        }
        bool beyondAscii = false;
        EXPECT_EQ(checkedInBlocks(c.text, std::vector<std::size_t>(c.text.size(), 1), beyondAscii),
                  c.valid)
            << c.what;
    }
}

// Converting by table gives, for every code point, the Mac OS Roman byte
// whose character it is, and '?' where there is none.
TEST(Utf8Check, EveryCodePointConvertsToItsMacRomanByte) {
    std::vector<char> byteOf(0x110000, '?');
    for (int b = 0; b < 256; ++b) {
        byteOf[macRomanToCodePoint(static_cast<unsigned char>(b))] = static_cast<char>(b);
    }
    for (char32_t cp = 0; cp < 0x110000; ++cp) {
        if (cp >= 0xD800 && cp <= 0xDFFF) {
            continue;
        }
        std::string utf8;
        if (cp < 0x80) {
            utf8 = std::string(1, static_cast<char>(cp));
        } else if (cp < 0x800) {
            utf8 = {static_cast<char>(0xC0 | (cp >> 6)), static_cast<char>(0x80 | (cp & 0x3F))};
        } else if (cp < 0x10000) {
            utf8 = {static_cast<char>(0xE0 | (cp >> 12)),
                    static_cast<char>(0x80 | ((cp >> 6) & 0x3F)),
                    static_cast<char>(0x80 | (cp & 0x3F))};
        } else {
            utf8 = {static_cast<char>(0xF0 | (cp >> 18)),
                    static_cast<char>(0x80 | ((cp >> 12) & 0x3F)),
                    static_cast<char>(0x80 | ((cp >> 6) & 0x3F)),
                    static_cast<char>(0x80 | (cp & 0x3F))};
        }
        const std::string converted = utf8ToMacRoman(utf8);
        ASSERT_EQ(converted, std::string(1, byteOf[cp])) << std::hex << static_cast<std::uint32_t>(cp);
    }
}

} // namespace
