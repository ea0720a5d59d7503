// Ordering names, finding them, and checking the parameters of a row.

#include "sheet/find_rows.h"
#include "sheet/name_order.h"
#include "sheet/parameter_checks.h"

#include "runtime/name_keys.h"
#include "runtime/name_needle.h"

#include <gtest/gtest.h>
#include <unicode/ucol.h>

#include <algorithm>
#include <memory>
#include <numeric>
#include <random>
#include <string>
#include <vector>

using namespace kestrune;

namespace {

const NameCollation& collationFor(const std::string& locale) {
    static const NameCollation root("");
    static const NameCollation polish("pl");
    static const NameCollation czech("cs");
    return locale == "pl" ? polish : (locale == "cs" ? czech : root);
}

// The rows of names in their order by name.
std::vector<std::int32_t> sortedRows(const std::vector<std::string>& names, bool descending,
                                     const NameCollation& collation) {
    NameColumn column;
    column.ensure(static_cast<std::int32_t>(names.size()));
    for (std::size_t k = 0; k < names.size(); ++k) {
        column.set(static_cast<std::int32_t>(k + 1), names[k]);
    }
    return OrderByName(column, static_cast<std::int32_t>(names.size()), descending, collation);
}

std::vector<std::string> sortedNames(const std::vector<std::string>& names, bool descending,
                                     const NameCollation& collation) {
    std::vector<std::string> out;
    for (const std::int32_t row : sortedRows(names, descending, collation)) {
        out.push_back(names[static_cast<std::size_t>(row - 1)]);
    }
    return out;
}

TEST(NameOrder, OrdersAsTheLocaleReadsNames) {
    struct Case {
        const char* locale;
        const char* what;
        std::vector<std::string> expected; // in order; the input is its reverse
    };
    const Case cases[] = {
        {"", "digits by value", {"PR-2", "PR-9", "PR-10", "PR-100", "PR-100a", "PR-101"}},
        {"", "letters first, then case", {"acme", "Acme", "ACME 2", "Bolt"}},
        {"", "accents beside their base letter", {"Eton", "\u00E9ton", "Etona", "Fane", "Zeta"}},
        {"", "a combining accent as the letter it marks", {"Etom", "E\u0301ton", "Etona"}},
        {"", "a shorter name first", {"SB", "SB Acoustics", "SBX"}},
        {"", "blanks, punctuation, digits, letters", {"", " A", "-A", "1A", "A"}},
        {"", "\u0142 an l with an accent", {"Loda", "Lodz", "\u0141\u00F3d\u017A", "Lodzia"}},
        {"pl", "\u0141 a letter after L", {"Lz", "\u0142an", "\u0141odz", "Ma"}},
        {"cs", "\u010C after C, ch after h", {"Cz", "\u010Cas", "Hz", "Chata", "Ia"}},
        {"",
         "Latin, Greek, then kana, then kanji",
         {"Zeta", "\u0391\u03BB\u03C6\u03B1", "\u03A9\u03BC\u03B5\u03B3\u03B1",
          "\u30A2\u30EB\u30D5\u30A1", "\u30D1\u30C3\u30B7\u30D6", "\u6771\u4EAC"}},
    };
    for (const Case& c : cases) {
        for (std::size_t k = 1; k < c.expected.size(); ++k) {
            EXPECT_LT(CompareNames(c.expected[k - 1], c.expected[k], collationFor(c.locale)), 0);
        }
        const std::vector<std::string> input(c.expected.rbegin(), c.expected.rend());
        EXPECT_EQ(sortedNames(input, false, collationFor(c.locale)), c.expected) << c.what;
        EXPECT_EQ(sortedNames(input, true, collationFor(c.locale)),
                  std::vector<std::string>(input.begin(), input.end()))
            << c.what;
    }
}

// Names that compare equal (the same, or numbers that differ in leading
// zeros alone) keep the order of their rows either way.
TEST(NameOrder, EqualNamesKeepTheirRowsInBothDirections) {
    const std::vector<std::string> names = {"x", "R7", "R007", "x", "R07", "a"};
    EXPECT_EQ(sortedRows(names, false, collationFor("")),
              (std::vector<std::int32_t>{6, 2, 3, 5, 1, 4}));
    EXPECT_EQ(sortedRows(names, true, collationFor("")),
              (std::vector<std::int32_t>{1, 4, 2, 3, 5, 6}));
}

// Names with long shared beginnings go through every step of the sort:
// the first bytes, a run large enough for the cores to share, runs sorted
// by the next bytes, whole keys, and ties that only ICU tells apart; some
// were damaged UTF-8. The order must be the stable sort by CompareNames.
TEST(NameOrder, LargeTableEqualsStableSortByComparison) {
    std::mt19937 random(7);
    // Two thirds of the rows share their first bytes.
    const std::string acme[] = {"Acme Speaker Works ", "acme speaker works ", "ACME SPEAKER WORKS ",
                                "Acm\u00E9 Speaker Works "};
    const std::string others[] = {"Z", "", "\u0141\u00F3d\u017A ", "\u30A2\u30EB ", "\xC3(\xFF "};
    std::vector<std::string> names;
    for (int k = 0; k < 60000; ++k) {
        std::string name = random() % 3 != 0 ? acme[random() % std::size(acme)]
                                             : others[random() % std::size(others)];
        name += (random() % 2 == 0 ? "PR-" : "pr-") + std::to_string(random() % 3000);
        if (random() % 3 == 0) {
            name += static_cast<char>('a' + random() % 3);
        }
        NameColumn kept; // damaged UTF-8 as a column keeps it
        kept.set(1, name);
        names.emplace_back(kept.get(1));
    }
    const NameCollation& root = collationFor("");
    // CompareNames, its keys made once.
    NameKeys keys(root);
    std::vector<std::string> keyOf(names.size());
    for (std::size_t k = 0; k < names.size(); ++k) {
        keys.whole(names[k], keyOf[k]);
    }
    for (const bool descending : {false, true}) {
        std::vector<std::size_t> expected(names.size());
        std::iota(expected.begin(), expected.end(), 0);
        std::stable_sort(expected.begin(), expected.end(), [&](std::size_t a, std::size_t b) {
            int c = CompareNameKeys(keyOf[a], keyOf[b]);
            if (c == 0 && names[a] != names[b]) {
                c = root.compareTies(names[a], names[b]);
            }
            return descending ? c > 0 : c < 0;
        });
        std::vector<std::string> expectedNames;
        for (const std::size_t k : expected) {
            expectedNames.push_back(names[k]);
        }
        EXPECT_EQ(sortedNames(names, descending, root), expectedNames) << descending;
    }
}

// The table weighs ASCII as ICU does: keys and finds are the same with it
// and without, and the keys order names as ICU orders them by their
// letters with numbers by value; made in chunks, a key is the same.
TEST(NameCollation, TableWeighsNamesAsIcuDoes) {
    const std::vector<std::string> alphabet = {
        "a",      "A",      "b",      "z",      "Z",      "l",      "L",      "c",
        "h",      " ",      "-",      ".",      "0",      "1",      "5",      "9",
        "\u00E9", "\u0301", "\u0142", "\u00DF", "\u03B1", "\u30A2", "\u3042", "\u00B7"};
    std::mt19937 random(11);
    const auto randomName = [&] {
        std::string name;
        for (std::size_t n = random() % 8; n > 0; --n) {
            name += alphabet[random() % alphabet.size()];
        }
        return name;
    };
    for (const char* locale : {"", "pl", "el"}) {
        const NameCollation byTable(locale);
        const NameCollation byIcu(locale, false);
        ASSERT_TRUE(byTable.asciiByTable()) << locale;
        NameKeys fast(byTable);
        NameKeys slow(byIcu);
        UErrorCode status = U_ZERO_ERROR;
        const std::unique_ptr<UCollator, void (*)(UCollator*)> icu(ucol_open(locale, &status),
                                                                   ucol_close);
        ucol_setAttribute(icu.get(), UCOL_NUMERIC_COLLATION, UCOL_ON, &status);
        ucol_setStrength(icu.get(), UCOL_PRIMARY);
        ASSERT_TRUE(U_SUCCESS(status));
        std::string a;
        std::string b;
        std::string check;
        for (int k = 0; k < 3000; ++k) {
            const std::string x = randomName();
            const std::string y = randomName();
            fast.whole(x, a);
            slow.whole(x, check);
            ASSERT_EQ(a, check) << locale << " " << x;
            // Eight bytes at a time, each from where the one before ended.
            check.clear();
            NameKeys::Chunk chunk{0, false, {}};
            for (std::size_t at = 0; !chunk.last; at += 8) {
                chunk = fast.chunk(x, at, chunk.next);
                for (int shift = 56; shift >= 0 && (chunk.bytes >> shift & 0xFF) != 0; shift -= 8) {
                    check.push_back(static_cast<char>(chunk.bytes >> shift));
                }
            }
            ASSERT_EQ(a, check) << locale << " " << x;
            fast.whole(y, b);
            const int keys = a.compare(b);
            const int expected = ucol_strcollUTF8(icu.get(), x.data(), static_cast<int>(x.size()),
                                                  y.data(), static_cast<int>(y.size()), &status);
            ASSERT_EQ((keys > 0) - (keys < 0), expected) << locale << " " << x << " | " << y;
            const std::string needle = k % 2 == 0 ? y.substr(0, 3) : x.substr(x.size() / 2, 3);
            ASSERT_EQ(NameNeedle(byTable, needle).foundIn(x), NameNeedle(byIcu, needle).foundIn(x))
                << locale << " " << x << " | " << needle;
        }
    }
}

ModelTable tableOf(const std::vector<std::array<const char*, 2>>& names) {
    ModelTable t(nullptr);
    t.fNum = static_cast<std::int32_t>(names.size());
    t.ensureRows(t.fNum + 1);
    for (std::int32_t r = 1; r <= t.fNum; ++r) {
        t.Manufacturer.set(r, names[static_cast<std::size_t>(r - 1)][0]);
        t.ModelName.set(r, names[static_cast<std::size_t>(r - 1)][1]);
    }
    return t;
}

TEST(FindName, NextMatchWrapsAndIgnoresCaseAndAccents) {
    const ModelTable t = tableOf({{"Acme", "PR-10"},
                                  {"M\u00FCller", "pr-123 \u00E9"},
                                  {"\u0141\u00F3d\u017A", "X"},
                                  {"Dune", "\u30A2\u30EB\u30D5\u30A1"},
                                  {"\xC3(\xFF", "E\u0301"}});
    struct Case {
        const char* locale;
        const char* needle;
        std::int32_t after;
        std::int32_t row;
        std::int32_t column;
    };
    const Case cases[] = {
        {"", "pr-1", 0, 1, 2},
        {"", "pr-1", 1, 2, 2},
        {"", "pr-1", 2, 1, 2}, // wraps past the last row
        {"", "ACME", 1, 1, 1}, // the row itself comes last
        {"", "muller", 0, 2, 1},
        {"", "M\u00DCLLER", 0, 2, 1},
        {"", "12", 0, 2, 2}, // digits one by one
        {"", "lodz", 0, 3, 1},
        {"pl", "lodz", 0, 0, 0},       // Polish ł is a letter of its own
        {"", "\u00C9", 4, 5, 2},       // É finds a combining accent, after damaged bytes
        {"", "\u3042\u308B", 0, 4, 2}, // hiragana finds katakana
        {"", "\u0301", 0, 0, 0},       // a mark alone weighs nothing
        {"", "", 0, 0, 0},
        {"", "zz", 2, 0, 0},
    };
    for (const Case& c : cases) {
        const FoundName found = FindNextName(t, c.needle, c.after, collationFor(c.locale));
        EXPECT_EQ(found.row, c.row) << c.needle << " after " << c.after;
        EXPECT_EQ(found.column, c.column) << c.needle << " after " << c.after;
    }
}

TEST(ParameterChecks, MarksOnlyValuesTooFarFromWhatTheRowImplies) {
    // Fp 20 Hz, Mms 100 g, Sd 500 cm²: Vap = 3557630 × 0.05² / (400 × 0.1) = 222.35 L.
    // Sd 500 cm², Xmax 10 mm: Vd = 500 cm³.
    struct Case {
        const char* what;
        double fp, vap, sd, xmax, vd, mms;
        bool vapMarked, vdMarked;
    };
    const Case cases[] = {
        {"consistent", 20, 222.35, 500, 10, 500, 100, false, false},
        {"Vap 9.9 % off", 20, 244.36, 500, 10, 500, 100, false, false},
        {"Vap 10.1 % off", 20, 244.81, 500, 10, 500, 100, true, false},
        {"Vd 4.9 % off", 20, 222.35, 500, 10, 475.5, 100, false, false},
        {"Vd 5.1 % off", 20, 222.35, 500, 10, 525.5, 100, false, true},
        {"Vap left empty", 20, 0, 500, 10, 500, 100, true, false},
        {"Mms unknown: no Vap check", 20, 5, 500, 10, 500, 0, false, false},
        {"Xmax unknown: no Vd check", 20, 222.35, 500, 0, 1, 100, false, false},
        {"Sd negative: no check", 20, 5, -500, 10, 1, 100, false, false},
    };
    ModelTable t(nullptr);
    t.fNum = static_cast<std::int32_t>(std::size(cases));
    t.ensureRows(t.fNum + 1);
    std::int32_t row = 0;
    std::vector<std::int32_t> marked;
    for (const Case& c : cases) {
        ++row;
        t.setValue(Param::Fp, row, c.fp);
        t.setValue(Param::Vap, row, c.vap);
        t.setValue(Param::Sd, row, c.sd);
        t.setValue(Param::Xmax, row, c.xmax);
        t.setValue(Param::Vd, row, c.vd);
        t.setValue(Param::Mms, row, c.mms);
        EXPECT_EQ(CheckVap(t, row).marked, c.vapMarked) << c.what;
        EXPECT_EQ(CheckVd(t, row).marked, c.vdMarked) << c.what;
        if (c.vapMarked || c.vdMarked) {
            marked.push_back(row);
        }
    }
    EXPECT_EQ(CountMarkedRows(t), static_cast<std::int32_t>(marked.size()));
    // Walking the marks visits exactly the marked rows, then wraps.
    std::vector<std::int32_t> walked;
    for (std::int32_t at = NextMarkedRow(t, 0); walked.size() <= marked.size();
         at = NextMarkedRow(t, at)) {
        walked.push_back(at);
    }
    marked.push_back(marked.front());
    EXPECT_EQ(walked, marked);
    EXPECT_EQ(ComputedValueText(t, 1, Param::Vap), "Computed from Fp, Mms and Sd: 222.35 L");
    EXPECT_EQ(ComputedValueText(t, 1, Param::Vd), "Computed from Sd and Xmax: 500.00 cm\u00B3");
    EXPECT_EQ(ComputedValueText(t, 7, Param::Vap), "");
    EXPECT_EQ(ComputedValueText(t, 1, Param::Fp), "");
}

} // namespace
