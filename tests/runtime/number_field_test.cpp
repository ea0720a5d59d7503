#include "runtime/number_field.h"
#include "runtime/number_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <random>
#include <string>

using namespace kestrune;

namespace {

struct FieldCase {
    const char* text;
    DecimalMarks marks;
    std::optional<double> value;
};

TEST(NumberField, ReadsWholeFieldsAndRefusesEverythingElse) {
    const auto P = DecimalMarks::Point;
    const auto C = DecimalMarks::Comma;
    const auto E = DecimalMarks::PointOrComma;
    const std::optional<double> none;
    const FieldCase cases[] = {
        {"", P, 0.0},           {"   ", P, 0.0},      {" 20.5", P, 20.5},  {"20.5 ", P, 20.5},
        {"\t-3.5", P, -3.5},    {"+7", P, 7.0},       {".5", P, 0.5},      {"5.", P, 5.0},
        {"4.5e-03", P, 4.5e-3}, {"1E3", P, 1000.0},   {"1e-400", P, 0.0},  {"12,5", C, 12.5},
        {"12,5", E, 12.5},      {"12.5", E, 12.5},    {"-0,25", C, -0.25}, {"12.5", C, none},
        {"12,5", P, none},      {"1,234.5", E, none}, {"1.2.3", P, none},  {"12.5 mm", P, none},
        {"abc", P, none},       {"-", P, none},       {",", E, none},      {".", P, none},
        {"1e400", P, none},     {"-1e400", E, none},  {"1e", P, none},     {"1e+", P, none},
        {"&H10", P, none},      {"0x10", P, none},    {"12cm", P, none},   {"1 2", P, none},
        {"nan", P, none},       {"inf", P, none},     {"--1", P, none},    {"+-1", P, none},
    };
    for (const FieldCase& c : cases) {
        const std::optional<double> got = ReadNumberField(c.text, c.marks);
        ASSERT_EQ(got.has_value(), c.value.has_value()) << '"' << c.text << '"';
        if (got) {
            EXPECT_EQ(*got, *c.value) << '"' << c.text << '"';
        }
    }
}

// Every number text the program writes reads back to the same value, also
// with its point turned into a decimal comma.
TEST(NumberField, ReadsBackEveryWrittenNumber) {
    std::mt19937_64 random(23);
    std::uniform_real_distribution<double> mantissa(-1.0, 1.0);
    std::uniform_int_distribution<int> exponent(-12, 40);
    for (int i = 0; i < 20000; ++i) {
        const double x = std::ldexp(mantissa(random), exponent(random));
        std::string text = PSstr(x);
        const std::optional<double> point = ReadNumberField(text, DecimalMarks::Point);
        ASSERT_TRUE(point.has_value()) << text;
        EXPECT_EQ(*point, PSval(text)) << text;
        for (char& c : text) {
            c = c == '.' ? ',' : c;
        }
        const std::optional<double> comma = ReadNumberField(text, DecimalMarks::Comma);
        ASSERT_TRUE(comma.has_value()) << text;
        EXPECT_EQ(*comma, *point) << text;
    }
}

} // namespace
