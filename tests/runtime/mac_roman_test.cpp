#include "runtime/mac_roman.h"

#include <gtest/gtest.h>

#include <iconv.h>
#include <string>

using namespace kestrune;

namespace {

// The C library's conversion of one Mac OS Roman byte, or "" when it has none.
std::string iconvUtf8(unsigned char byte) {
    const iconv_t cd = iconv_open("UTF-8", "MACINTOSH");
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        return {};
    }
    char in[1] = {static_cast<char>(byte)};
    char out[8];
    char* ip = in;
    char* op = out;
    std::size_t inLeft = 1;
    std::size_t outLeft = sizeof out;
    const std::size_t r = iconv(cd, &ip, &inLeft, &op, &outLeft);
    iconv_close(cd);
    return r == static_cast<std::size_t>(-1) ? std::string()
                                             : std::string(out, static_cast<std::size_t>(op - out));
}

} // namespace

TEST(MacRoman, EveryByteSurvivesTheTripThroughUtf8) {
    std::string all;
    for (int b = 0; b < 256; ++b) {
        all.push_back(static_cast<char>(b));
    }
    const std::string utf8 = macRomanToUtf8(all);
    EXPECT_TRUE(isValidUtf8(utf8));
    EXPECT_EQ(utf8ToMacRoman(utf8), all);
    for (int b = 0; b < 256; ++b) {
        const std::string one(1, static_cast<char>(b));
        EXPECT_EQ(utf8ToMacRoman(macRomanToUtf8(one)), one) << b;
    }
}

TEST(MacRoman, AgreesWithTheCLibraryTable) {
    if (iconvUtf8('A').empty()) {
        GTEST_SKIP() << "the C library has no MACINTOSH conversion";
    }
    for (int b = 0; b < 256; ++b) {
        const auto byte = static_cast<unsigned char>(b);
        const std::string mine = macRomanToUtf8(std::string(1, static_cast<char>(b)));
        switch (byte) {
        case 0xC6: // INCREMENT in the current table; older tables have GREEK CAPITAL DELTA
            EXPECT_EQ(macRomanToCodePoint(byte), U'\u2206');
            break;
        case 0xDB: // the euro sign since the table was revised; older ones have the currency sign
            EXPECT_EQ(macRomanToCodePoint(byte), U'\u20AC');
            break;
        case 0xF0: // the maker's logo, a private-use character
            EXPECT_EQ(macRomanToCodePoint(byte), U'\uF8FF');
            break;
        default:
            EXPECT_EQ(mine, iconvUtf8(byte)) << "byte " << b;
        }
    }
}

TEST(MacRoman, UnmappableTextBecomesQuestionMarks) {
    EXPECT_EQ(utf8ToMacRoman("caf\xC3\xA9"), "caf\x8E");
    EXPECT_EQ(utf8ToMacRoman("\xE2\x82\xAC 5"), "\xDB 5");
    EXPECT_EQ(utf8ToMacRoman("\xE6\x97\xA5\xE6\x9C\xAC"), "??"); // one per character
    EXPECT_EQ(utf8ToMacRoman("\xF0\x9F\x8E\xB5!"), "?!");        // outside the basic plane
    EXPECT_EQ(utf8ToMacRoman("a\xE2\x82"), "a??");               // cut sequence: one per byte
    EXPECT_EQ(utf8ToMacRoman("\xC0\x80"), "??");                 // overlong
    EXPECT_EQ(utf8ToMacRoman("\xED\xA0\x80"), "???");            // surrogate
    EXPECT_EQ(utf8ToMacRoman("\xF4\x90\x80\x80"), "????");       // beyond U+10FFFF
    EXPECT_FALSE(isValidUtf8("\xC0\x80"));
    EXPECT_FALSE(isValidUtf8("\x8E"));
    EXPECT_TRUE(isValidUtf8(""));
    EXPECT_TRUE(isValidUtf8("\xF0\x9F\x8E\xB5"));
}
