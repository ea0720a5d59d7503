#include "runtime/short_name.h"

#include <gtest/gtest.h>

namespace kestrune {
namespace {

TEST(NameForMessage, LongNamesKeepTheirEndsAndNeverSplitACharacter) {
    const std::string e = "\u00E9";        // 2 bytes
    const std::string yen = "\u5186";      // 3 bytes
    const std::string note = "\U0001D11E"; // 4 bytes
    struct Case {
        const char* what;
        std::string name;
        std::size_t limit;
        std::string shown;
    };
    const Case cases[] = {
        {"short", "mine.kedata", 80, "mine.kedata"},
        {"exactly the limit", std::string(10, 'a'), 10, std::string(10, 'a')},
        {"one over", std::string(11, 'a'), 10, "aaaaa\u2026aaaa"},
        {"head and tail", "0123456789abcdefghij", 9, "0123\u2026ghij"},
        {"two-byte characters", "caf" + e + e + e + e + e + e + "end", 9,
         "caf" + e + "\u2026" + e + "end"},
        {"three-byte characters", yen + yen + yen + yen + yen + yen, 5,
         yen + yen + "\u2026" + yen + yen},
        {"four-byte characters", note + note + note + note, 3, note + "\u2026" + note},
        {"a byte that is not UTF-8 counts as one", "caf\xE9\xE9\xE9\xE9\xE9x", 5, "ca\u2026\xE9x"},
        {"a torn sequence at the end", "abcdefgh\xE5\x86", 5, "ab\u2026\xE5\x86"},
        {"empty", "", 80, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(NameForMessage(c.name, c.limit), c.shown);
    }
}

TEST(NameForMessage, AHugeNameGivesEightyCharacters) {
    std::string name(10'000'000, 'p');
    name += ".kedata";
    const std::string shown = NameForMessage(name);
    EXPECT_EQ(shown, std::string(40, 'p') + "\u2026" + std::string(32, 'p') + ".kedata");
}

} // namespace
} // namespace kestrune
