// Ordering names, finding them, and checking the parameters of a row.

#include "sheet/find_rows.h"
#include "sheet/name_order.h"
#include "sheet/parameter_checks.h"

#include "runtime/mac_roman.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <string>
#include <vector>

using namespace kestrune;

namespace {

std::string roman(const char* utf8) {
    return utf8ToMacRoman(utf8);
}

std::vector<std::string> sortedNames(std::vector<std::string> names, bool descending) {
    NameColumn column;
    column.ensure(static_cast<std::int32_t>(names.size()));
    for (std::size_t k = 0; k < names.size(); ++k) {
        column.set(static_cast<std::int32_t>(k + 1), names[k]);
    }
    std::vector<std::string> out;
    for (std::int32_t row :
         OrderByName(column, static_cast<std::int32_t>(names.size()), descending)) {
        out.push_back(names[static_cast<std::size_t>(row - 1)]);
    }
    return out;
}

TEST(NameOrder, OrdersAsPeopleReadNames) {
    struct Case {
        const char* what;
        std::vector<const char*> expected; // in order; input is its reverse
    };
    const Case cases[] = {
        {"digits by value", {"PR-2", "PR-9", "PR-10", "PR-100", "PR-100a", "PR-101"}},
        {"case ignored, then file order", {"acme", "Acme", "ACME 2", "Bolt"}},
        {"accents beside their base letter", {"Eton", "\xC3\xA9ton", "Etona", "Fane", "Zeta"}},
        {"a shorter name first", {"SB", "SB Acoustics", "SBX"}},
        {"leading zeros tie by value", {"R7", "R007", "R8"}},
        {"blanks and punctuation before letters", {"", " A", "-A", "A"}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> expected;
        for (const char* name : c.expected) {
            expected.push_back(roman(name));
        }
        std::vector<std::string> input(expected.rbegin(), expected.rend());
        // Names that tie keep the order they had: reverse them back.
        if (std::string(c.what).starts_with("case")) {
            input = {roman("Bolt"), roman("ACME 2"), roman("acme"), roman("Acme")};
        }
        EXPECT_EQ(sortedNames(input, false), expected) << c.what;
    }
}

TEST(NameOrder, DescendingReversesOrderButKeepsTiesInFileOrder) {
    const std::vector<std::string> input = {"b1", "A", "B1", "a", "b10", "B2"};
    EXPECT_EQ(sortedNames(input, true),
              (std::vector<std::string>{"b10", "B2", "b1", "B1", "A", "a"}));
}

// A large set with long shared prefixes goes through the refinement of the
// fast path; it must equal a plain stable sort by the comparison.
TEST(NameOrder, LargeTableEqualsStableSortByComparison) {
    std::mt19937 random(7);
    const char* stems[] = {"Acme Speaker Works ", "acme speaker works ", "Acm\x8E ", "Z", ""};
    std::vector<std::string> names;
    for (int k = 0; k < 5000; ++k) {
        std::string name = stems[random() % 5];
        name += "PR-" + std::to_string(random() % 300);
        if (random() % 3 == 0) {
            name += static_cast<char>('a' + random() % 3);
        }
        names.push_back(name);
    }
    for (bool descending : {false, true}) {
        std::vector<std::string> expected = names;
        std::stable_sort(expected.begin(), expected.end(), [&](const auto& a, const auto& b) {
            const int c = CompareNames(a, b);
            return descending ? c > 0 : c < 0;
        });
        EXPECT_EQ(sortedNames(names, descending), expected) << descending;
    }
}

ModelTable tableOf(const std::vector<std::array<const char*, 2>>& names) {
    ModelTable t(nullptr);
    t.fNum = static_cast<std::int32_t>(names.size());
    t.ensureRows(t.fNum + 1);
    for (std::int32_t r = 1; r <= t.fNum; ++r) {
        t.Manufacturer.set(r, roman(names[static_cast<std::size_t>(r - 1)][0]));
        t.ModelName.set(r, roman(names[static_cast<std::size_t>(r - 1)][1]));
    }
    return t;
}

TEST(FindName, NextMatchWrapsIgnoresCaseAndKeepsAccents) {
    const ModelTable t = tableOf(
        {{"Acme", "PR-10"}, {"Bolt", "pr-12 \xC3\xA9"}, {"\xC3\x89ton", "X"}, {"Dune", "Apr"}});
    struct Case {
        const char* needle;
        std::int32_t after;
        std::int32_t row;
        std::int32_t column;
    };
    const Case cases[] = {
        {"pr-1", 0, 1, 2},        {"pr-1", 1, 2, 2}, {"pr-1", 2, 1, 2}, // wraps past the last row
        {"ACME", 1, 1, 1},                                              // the row itself comes last
        {"\xC3\xA9ton", 0, 3, 1},                                       // É found by é
        {"eton", 0, 0, 0},                                              // an accent is not ignored
        {"\xC3\x89", 3, 2, 2},                                          // é found by É
        {"apr", 0, 4, 2},         {"", 0, 0, 0},     {"zz", 2, 0, 0},
    };
    for (const Case& c : cases) {
        const FoundName found = FindNextName(t, roman(c.needle), c.after);
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
