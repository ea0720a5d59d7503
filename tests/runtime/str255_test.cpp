#include "runtime/str255.h"

#include <gtest/gtest.h>

using namespace kestrune;

TEST(Str255, CapsEveryResultAt255Bytes) {
    Str255 a(std::string(200, 'a'));
    const Str255 b(std::string(200, 'b'));
    PSstrcat(a, b);
    EXPECT_EQ(PSlen(a), 255);
    EXPECT_EQ(a.view().substr(195, 10), "aaaaabbbbb");
    EXPECT_EQ(PSlen(Str255(std::string(300, 'x'))), 255);
    PSstrcat(a, a); // appending to itself stays within bounds
    EXPECT_EQ(PSlen(a), 255);

    Str255 c("ab");
    PSstrcat(c, c);
    EXPECT_EQ(c.str(), "abab");
    EXPECT_EQ(PSstring(255, 'z').str(), std::string(255, 'z'));
}

TEST(Str255, KeepsEveryByteIncludingZeroAndHighBytes) {
    const std::string bytes("a\0b\xD3\xFF", 5);
    Str255 s(bytes);
    EXPECT_EQ(s.str(), bytes);
    Str255 copy;
    PSstrcpy(copy, s);
    EXPECT_TRUE(PSequal(copy, s));
    EXPECT_EQ(s.at(4), 0xD3);
    EXPECT_EQ(s.at(0), 0);
    EXPECT_EQ(s.at(6), 0);

    Str255 none{std::string_view()}; // a view with no storage at all
    none.append(std::string_view());
    EXPECT_TRUE(none.empty());
}

TEST(Str255, LeftAndMidClampTheirArguments) {
    const Str255 s("ABCDE");
    EXPECT_EQ(PSleft(s, 2).str(), "AB");
    EXPECT_EQ(PSleft(s, -1).str(), "");
    EXPECT_EQ(PSleft(s, 99).str(), "ABCDE");

    EXPECT_EQ(PSmid(s, 4, 10).str(), "DE");
    EXPECT_EQ(PSmid(s, 0, 2).str(), "AB");
    EXPECT_EQ(PSmid(s, -7, 3).str(), "ABC");
    EXPECT_EQ(PSmid(s, 0, 99).str(), "ABCDE");
    EXPECT_EQ(PSmid(s, 6, 1).str(), "");
    EXPECT_EQ(PSmid(s, 5, 1).str(), "E");
    EXPECT_EQ(PSmid(s, 2, 0).str(), "");
    EXPECT_EQ(PSmid(s, 2, -3).str(), "");
    EXPECT_EQ(PSmid(Str255(), 1, 1).str(), "");
}

TEST(Str255, StringOfCopiesRejectsCountsOutsideTheLength) {
    EXPECT_EQ(PSstring(3, 'x').str(), "xxx");
    EXPECT_EQ(PSstring(0, 'x').str(), "");
    EXPECT_EQ(PSstring(-1, 'x').str(), "");
    EXPECT_EQ(PSstring(256, 'x').str(), "");
}

TEST(Str255, InstrFindsTheFirstOccurrenceFromStart) {
    const Str255 s("12.5");
    EXPECT_EQ(PSinstr(1, s, "."), 3);
    EXPECT_EQ(PSinstr(4, s, "."), 0);
    EXPECT_EQ(PSinstr(3, s, "."), 3);
    EXPECT_EQ(PSinstr(-2, s, "."), 3);
    EXPECT_EQ(PSinstr(4, s, "5"), 4);
    EXPECT_EQ(PSinstr(5, s, "5"), 0);
    EXPECT_EQ(PSinstr(1, s, ""), 0);
    EXPECT_EQ(PSinstr(1, s, "12.55"), 0);
    EXPECT_EQ(PSinstr(2, Str255("abab"), "ab"), 3);
}

TEST(Str255, EqualityCountsCaseAccentsAndLength) {
    EXPECT_TRUE(PSequal("Acme", "Acme"));
    EXPECT_FALSE(PSequal("Acme", "acme"));
    EXPECT_FALSE(PSequal("\x8E", "e")); // e acute
    EXPECT_FALSE(PSequal("a", "a "));
    EXPECT_TRUE(PSequal("", Str255()));
}
