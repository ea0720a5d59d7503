#include "runtime/table_numbers.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

using namespace kestrune;

namespace {

constexpr auto P = DecimalMarks::Point;
constexpr auto C = DecimalMarks::Comma;

// The mark a table's numbers tell, and its numbers read with it.
TEST(TableNumbers, TheNumbersTellTheMarkAndGroupedOnesRead) {
    struct Votes {
        std::vector<std::string> fields;
        DecimalMarks fallback;
        DecimalMarks mark;
    };
    const Votes votes[] = {
        {{"20", "21.5", "1089"}, C, P},
        {{"20", "21,5", "1089"}, P, C},
        {{"\"1,089.0\"", "1,089.0", "310"}, C, P},
        {{"1.089,0", "2.052,5"}, P, C},
        {{"1 089,0"}, P, C},
        {{"1.089.000", "2"}, P, C},
        {{"1,089", "2,052"}, P, C},              // may be either: only counts alone
        {{"1,089", "2,052", "21.5"}, C, P},      // one sure number outweighs them
        {{"0,125", "1234,5", "5.75"}, P, C},     // the more sure numbers win
        {{"20", "abc", "12.5 mm", "1e3"}, C, C}, // nothing told
        {{"21,5", "5.75"}, C, C},                // a tie
    };
    for (const Votes& v : votes) {
        DecimalMarkVotes count;
        for (const std::string& field : v.fields) {
            count.add(field);
        }
        EXPECT_EQ(count.decided(v.fallback), v.mark) << v.fields.front();
    }

    struct Number {
        const char* text;
        DecimalMarks mark;
        std::optional<double> value;
    };
    const std::optional<double> none;
    const Number numbers[] = {
        {"1,089.0", P, 1089.0},    {"1.089,0", C, 1089.0},
        {"1 089,5", C, 1089.5},    {"-1,234,567.25", P, -1234567.25},
        {"1\u00A0089", C, 1089.0}, {"1'089.5", P, 1089.5},
        {"1,089", P, 1089.0},      {"1,089", C, 1.089},
        {"21,5", P, 21.5},         {"01,089", P, 1.089},
        {" 12.5 ", C, 12.5},       {"1,089.5 mm", P, none},
        {"1.089,0", P, none},      {"1,08,9", P, none},
        {"1 089 5", P, none},
    };
    for (const Number& n : numbers) {
        EXPECT_EQ(ReadTableNumber(n.text, n.mark), n.value) << '"' << n.text << '"';
    }
}

} // namespace
