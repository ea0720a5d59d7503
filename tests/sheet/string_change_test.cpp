#include "sheet/string_change.h"

#include <gtest/gtest.h>

using namespace kestrune;

TEST(CFStringFindAndChange, ReplacesTheFirstMatchIgnoringCase) {
    EXPECT_EQ(CFStringFindAndChange("Speakers.KEDATA", ".kedata", ""), "Speakers");
    EXPECT_EQ(CFStringFindAndChange("a.kedata.kedata", ".kedata", ""), "a.kedata");
    EXPECT_EQ(CFStringFindAndChange("abc", "B", "xyz"), "axyzc");
}

TEST(CFStringFindAndChange, WithoutAMatchReturnsAnEqualCopy) {
    EXPECT_EQ(CFStringFindAndChange("Speakers.kedatasta", ".kedat_", ""), "Speakers.kedatasta");
    EXPECT_EQ(CFStringFindAndChange("", ".kedata", ""), "");
    EXPECT_EQ(CFStringFindAndChange("name", "", "x"), "name");
    // Only ASCII letters fold: other bytes must match exactly.
    EXPECT_EQ(CFStringFindAndChange("\x8E.kedata", "\xE9", ""), "\x8E.kedata");
}
