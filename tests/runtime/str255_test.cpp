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
}
