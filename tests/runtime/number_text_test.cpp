#include "runtime/number_text.h"
#include "runtime/text_files.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <regex>
#include <string>

using namespace kestrune;

namespace {

// Digits after the point in fixed style, for text exponents -8 to 30
// (the text exponent is floor(log2 |x|) - 1).
constexpr std::array<int, 39> kFixedDigits = {12, 12, 11, 11, 11, 10, 10, 10, 10, 10, 10, 10, 9,
                                              9,  9,  8,  8,  8,  7,  7,  7,  6,  6,  6,  6,  5,
                                              5,  5,  4,  4,  4,  3,  3,  3,  2,  2,  2,  2,  1};

// Built with the C library instead of the code under test.
std::string printfText(const char* format, int digits, double x) {
    char buf[512];
    std::snprintf(buf, sizeof buf, format, digits, x);
    return buf;
}

std::string expectedFixed(double x, int digits) {
    std::string t = printfText("%.*f", digits, x);
    while (t.back() == '0') {
        t.pop_back();
    }
    if (t.back() == '.') {
        t.pop_back();
    }
    return t.front() == '-' ? t : " " + t;
}

std::string expectedScientific(double x) {
    const std::string t = printfText("%.*e", 8, x);
    const auto e = t.find('e');
    std::string mantissa = t.substr(0, e);
    while (mantissa.back() == '0') {
        mantissa.pop_back();
    }
    if (mantissa.back() == '.') {
        mantissa.pop_back();
    }
    return mantissa + t.substr(e);
}

// The text PSstr must give for a finite x.
std::string expectedPSstr(double x) {
    if (x == 0.0 || std::fpclassify(x) == FP_SUBNORMAL) {
        return expectedFixed(x, 10);
    }
    int exp2 = 0;
    std::frexp(x, &exp2); // |x| = m * 2^exp2 with m in [0.5, 1)
    const int e = exp2 - 2;
    if (e < -8 || e >= 31) {
        return expectedScientific(x);
    }
    return expectedFixed(x, kFixedDigits[static_cast<std::size_t>(e + 8)]);
}

double randomDouble(std::mt19937_64& rng) {
    switch (rng() % 5) {
    case 0: { // anywhere in the fixed range
        const int e = static_cast<int>(rng() % 39) - 8;
        const double m = 1.0 + static_cast<double>(rng() >> 12) / 4503599627370496.0;
        return std::ldexp(rng() % 2 ? -m : m, e + 1);
    }
    case 1: // few decimals, as typed by a person
        return static_cast<double>(static_cast<std::int64_t>(rng() % 2000001) - 1000000) /
               std::pow(10.0, static_cast<double>(rng() % 5));
    case 2: // integers up to and past 2^32
        return static_cast<double>(rng() % 20000000000ULL);
    default: { // any bit pattern, NaN and infinity left out
        double x = 0.0;
        do {
            const std::uint64_t bits = rng();
            std::memcpy(&x, &bits, sizeof x);
        } while (!std::isfinite(x));
        return x;
    }
    }
}

} // namespace

TEST(PSstr, WritesFixedAndScientificTexts) {
    const std::pair<double, const char*> examples[] = {
        {0.0, " 0"},
        {35.5, " 35.5"},
        {-2.5, "-2.5"},
        {100.0, " 100"},
        {25.4, " 25.4"},
        {0.0123, " 0.0123"},
        {1.0 / 3.0, " 0.3333333333"},
        {2.0 / 3.0, " 0.6666666667"},
        {0.1 + 0.2, " 0.3"},
        {1000.0 / 7.0, " 142.857142857"},
        {1234.5678, " 1234.5678"},
        {4294967295.5, " 4294967295.5"},
        {0.0078125, " 0.0078125"},
        {-0.0078125, "-0.0078125"},
        {0.001, "1e-03"},
        {-0.001, "-1e-03"},
        {0.0078124, "7.8124e-03"},
        {4294967296.0, "4.2949673e+09"},
        {1e300, "1e+300"},
        {5e-324, " 0"}, // subnormal numbers count as exponent 0
    };
    for (const auto& [x, text] : examples) {
        EXPECT_EQ(PSstr(x), text) << x;
    }
}

TEST(PSstr, DigitsAfterThePointFollowTheBinaryExponent) {
    for (int e = -8; e <= 30; ++e) {
        // 2^(e+3)/3 lies in [2^(e+1), 2^(e+2)) and its decimals never end in 0.
        const double x = std::ldexp(1.0 / 3.0, e + 3);
        const std::string text = PSstr(x);
        const auto point = text.find('.');
        ASSERT_NE(point, std::string::npos) << text;
        EXPECT_EQ(static_cast<int>(text.size() - point - 1),
                  kFixedDigits[static_cast<std::size_t>(e + 8)])
            << "exponent " << e << ": " << text;
    }
}

TEST(PSstr, StyleChangesExactlyAtTheBoundaries) {
    const double low = 0.0078125;
    const double high = 4294967296.0;
    EXPECT_EQ(PSstr(low).front(), ' ');
    EXPECT_EQ(PSstr(std::nextafter(low, 0.0)),
              "7.8125e-03"); // nine digits round up to the boundary
    EXPECT_EQ(PSstr(high).find(' '), std::string::npos);
    EXPECT_EQ(PSstr(std::nextafter(high, 0.0)), " 4294967296"); // one decimal, rounded up
    EXPECT_EQ(PSstr(-std::nextafter(high, 0.0)), "-4294967296");
}

TEST(PSstr, MatchesTheCLibraryOnRandomDoubles) {
    std::mt19937_64 rng(20240611);
    for (int i = 0; i < 100000; ++i) {
        const double x = randomDouble(rng);
        const std::string text = PSstr(x);
        ASSERT_EQ(text, expectedPSstr(x)) << std::hexfloat << x;
        if (text.find('e') != std::string::npos) {
            // Scientific texts read back to the value of what is written.
            ASSERT_EQ(PSval(text), std::strtod(text.c_str(), nullptr)) << text;
            ASSERT_LE(std::fabs(PSval(text) - x), 5e-9 * std::fabs(x)) << text;
        }
    }
}

TEST(PSstr, AppendsToWhatIsThere) {
    std::string out = "x=";
    appendPSstr(out, 25.4);
    appendRoundedPSstr(out, 633.375, 100);
    EXPECT_EQ(out, "x= 25.4 633.38");
}

TEST(RoundedPSstr, IsThePSstrOfTheRoundedValue) {
    std::mt19937_64 rng(7);
    const int scales[] = {10, 100, 1000};
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    for (int i = 0; i < 60000; ++i) {
        const int k = scales[i % 3];
        double x = 0.0;
        switch (rng() % 7) {
        case 5: { // counts of steps next to a power of two, where the style changes
            const double power = std::ldexp(1.0, static_cast<int>(rng() % 40) - 10);
            const double steps = std::floor(power * k) + static_cast<double>(rng() % 5) - 2.0;
            x = (rng() % 2 == 0 ? steps : -steps) / k;
            break;
        }
        case 0: // ties: k*x lands exactly on a half
            x = static_cast<double>(static_cast<std::int64_t>(rng() % 200001) - 100000) +
                static_cast<double>(2 * (rng() % 8) + 1) / (k == 10    ? 4.0
                                                            : k == 100 ? 8.0
                                                                       : 16.0);
            break;
        case 1:
            x = unit(rng) * 1000.0;
            break;
        case 2: // large, up to and past the scientific style
            x = unit(rng) * std::pow(10.0, static_cast<double>(rng() % 16));
            break;
        case 3: // tiny, rounding to zero or a few steps
            x = unit(rng) * std::pow(10.0, -static_cast<double>(rng() % 12));
            break;
        case 4: // decimals close to a rounding edge
            x = (static_cast<double>(rng() % 2000000) - 1000000.0) / (2.0 * k) + unit(rng) * 1e-12;
            break;
        default:
            x = randomDouble(rng);
            break;
        }
        // Past the steps a double can count, x is whole and stays.
        const double rounded = std::isinf(k * x) && std::isfinite(x) ? x : std::rint(k * x) / k;
        ASSERT_EQ(RoundedPSstr(x, k), PSstr(rounded)) << std::hexfloat << x << " scale " << k;
        const double viaHelper = RoundToScale(x, k);
        ASSERT_TRUE(viaHelper == rounded || (std::isnan(viaHelper) && std::isnan(rounded)));
    }
    // Every whole part below 10^4 and past it, each with a few decimals.
    for (const int k : scales) {
        for (int whole = 0; whole <= 10001; ++whole) {
            for (const int step : {0, 1, k / 2, k - 1}) {
                const double x = (static_cast<double>(whole) * k + step) / k;
                ASSERT_EQ(RoundedPSstr(x, k), PSstr(std::rint(k * x) / k)) << x << " scale " << k;
                ASSERT_EQ(RoundedPSstr(-x, k), PSstr(std::rint(-k * x) / k)) << -x;
            }
        }
    }
    EXPECT_EQ(RoundedPSstr(633.375, 100), " 633.38"); // a tie goes to the even count
    EXPECT_EQ(RoundedPSstr(0.25, 10), " 0.2");
    EXPECT_EQ(RoundedPSstr(-0.35, 10), PSstr(std::rint(-3.5) / 10));
    EXPECT_EQ(RoundedPSstr(-0.001, 100), PSstr(-0.0));
    EXPECT_EQ(RoundedPSstr(0.0004, 1000), " 0");
    EXPECT_EQ(RoundedPSstr(0.007, 1000), "7e-03");
    EXPECT_EQ(RoundedPSstr(98.26, 10), " 98.3");
    // Numbers near the largest double keep their text, never "inf".
    for (const int k : scales) {
        for (const double x : {1e307, -1e307, std::numeric_limits<double>::max()}) {
            EXPECT_EQ(RoundedPSstr(x, k), PSstr(x)) << x << " scale " << k;
            EXPECT_EQ(RoundToScale(x, k), x);
        }
    }
}

// A decimal written from its digits gives the bytes its value gives,
// through every count of places, both signs, zero, and counts of steps
// next to the powers of two where the style changes.
TEST(RoundedPSstr, ADecimalWritesAsItsValue) {
    std::mt19937_64 rng(19);
    for (int i = 0; i < 200000; ++i) {
        const int scale = std::array{10, 100, 1000, 7}[rng() % 4];
        PlainDecimal d;
        d.places = static_cast<int>(rng() % 6) - 1;
        d.negative = rng() % 2 == 0;
        switch (rng() % 3) {
        case 0:
            d.mantissa = rng() % 1000;
            break;
        case 1: { // next to a power of two of steps
            const std::uint64_t power = std::uint64_t{1} << (rng() % 45);
            d.mantissa = power + rng() % 5 - std::min<std::uint64_t>(power, 2);
            break;
        }
        default:
            d.mantissa = rng() % (std::uint64_t{1} << 27);
        }
        std::array<char, kMaxNumberText> fromDigits{};
        std::array<char, kMaxNumberText> fromValue{};
        const char* a = writeRoundedPSstr(fromDigits.data(), d, scale);
        const char* b = writeRoundedPSstr(fromValue.data(), d.value(), scale);
        ASSERT_EQ(
            std::string_view(fromDigits.data(), static_cast<std::size_t>(a - fromDigits.data())),
            std::string_view(fromValue.data(), static_cast<std::size_t>(b - fromValue.data())))
            << d.mantissa << " places " << d.places << " negative " << d.negative << " scale "
            << scale;
    }
}

TEST(PSval, ReadsNumbersTheForgivingWay) {
    const std::pair<const char*, double> examples[] = {
        {"25.4", 25.4},  {" 25.4", 25.4}, {"25.4cm", 25.4},  {"12 ", 12.0},
        {"1e3", 1000.0}, {".5", 0.5},     {"-.5", -0.5},     {"1,5", 1.0},
        {"abc", 0.0},    {"x12", 0.0},    {"", 0.0},         {"&H1F", 31.0},
        {"&h1f", 31.0},  {"0x10", 16.0},  {"0X1f", 31.0},    {"A&B", 171.0},
        {"&O17", 15.0},  {"&X101", 5.0},  {"&FF", 255.0},    {"&", 0.0},
        {"08", 8.0},     {"$12", 0.0},    {"+7", 7.0},       {"-&H10", -16.0},
        {"1e", 1.0},     {"1e+", 1.0},    {"2.5E-1x", 0.25}, {" \t-3.5e2 ", -350.0},
        {".", 0.0},      {"-", 0.0},      {"1.5.3", 1.5},    {"\r\n42", 42.0},
        {"&X102", 2.0},  {"&O78", 7.0},
    };
    for (const auto& [text, value] : examples) {
        EXPECT_EQ(PSval(text), value) << '"' << text << '"';
    }
    EXPECT_EQ(PSval("1e400"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(PSval("-1e400"), -std::numeric_limits<double>::infinity());
    EXPECT_EQ(PSval("1e-400"), 0.0);
    EXPECT_EQ(PSval("0." + std::string(400, '0') + "1"), 0.0);
    EXPECT_EQ(PSval("1" + std::string(400, '0')), std::numeric_limits<double>::infinity());
    EXPECT_EQ(PSval("4.94065646e-324"), 5e-324);
    EXPECT_EQ(PSval(std::string(10000, '7') + "e-9990"),
              std::strtod((std::string(10000, '7') + "e-9990").c_str(), nullptr));
}

TEST(PSval, IntegerItemsTruncateTowardZero) {
    EXPECT_EQ(PSvalInt64("3.9"), 3);
    EXPECT_EQ(PSvalInt64("-3.9"), -3);
    EXPECT_EQ(PSvalInt64("&HFF"), 255);
    EXPECT_EQ(PSvalInt64("none"), 0);
}

namespace {

// PSval by its rules, written with regular expressions and the C library.
double referencePSval(const std::string& s) {
    const auto i = s.find_first_of("&.0123456789");
    if (i == std::string::npos) {
        return 0.0;
    }
    const char next = i + 1 < s.size() ? s[i + 1] : '\0';
    int base = 10;
    std::size_t dropped = 0;
    if (s[i] == '&') {
        const std::string marks = "HhOoXx";
        const auto m = marks.find(next);
        base = m == std::string::npos ? 16 : m < 2 ? 16 : m < 4 ? 8 : 2;
        dropped = m == std::string::npos ? 1 : 2;
    } else if (s[i] == '0' && (next == 'x' || next == 'X')) {
        base = 16;
        dropped = 2;
    }
    std::smatch match;
    if (base == 10) {
        static const std::regex decimal(
            R"(^[ \t\n\v\f\r]*([+-]?([0-9]+\.?[0-9]*|\.[0-9]+)([eE][+-]?[0-9]+)?))");
        if (!std::regex_search(s, match, decimal)) {
            return 0.0;
        }
        return std::strtod(match[1].str().c_str(), nullptr);
    }
    const std::string kept = s.substr(0, i) + s.substr(i + dropped);
    static const std::regex integer(R"(^[ \t\n\v\f\r]*([+-]?)([0-9A-Za-z]*))");
    std::regex_search(kept, match, integer);
    std::uint64_t value = 0;
    for (char c : match[2].str()) {
        const int d = c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10;
        if (d >= base) {
            break;
        }
        value = value * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(d);
    }
    if (match[1] == "-") {
        value = 0 - value; // modulo 2^64
    }
    return static_cast<double>(static_cast<std::int64_t>(value));
}

} // namespace

TEST(PSval, AgreesWithItsRulesOnRandomTexts) {
    std::mt19937_64 rng(99);
    const std::string alphabet = " \t+-.eE0123456789&hHoOxXAFabz,$";
    for (int i = 0; i < 20000; ++i) {
        std::string s;
        const auto len = rng() % 13; // short enough that no base overflows 64 bits
        for (std::size_t k = 0; k < len; ++k) {
            s.push_back(alphabet[rng() % alphabet.size()]);
        }
        const double expected = referencePSval(s);
        const double got = PSval(s);
        ASSERT_TRUE(got == expected && std::signbit(got) == std::signbit(expected))
            << '"' << s << "\" gave " << got << ", expected " << expected;
    }
}

// Plain decimals (what documents hold) with up to 25 digits and the point
// anywhere, so that both the short texts and the long ones that need the
// full reader are covered.
TEST(PSval, ReadsPlainDecimalsAsTheCLibraryDoes) {
    std::mt19937_64 rng(7);
    for (int i = 0; i < 200000; ++i) {
        std::string s(rng() % 3, ' ');
        const auto sign = rng() % 3;
        if (sign != 0) {
            s.push_back(sign == 1 ? '-' : '+');
        }
        const auto digits = 1 + rng() % 25;
        const auto point = rng() % (digits + 2);
        for (std::size_t k = 0; k < digits; ++k) {
            if (k == point) {
                s.push_back('.');
            }
            s.push_back(static_cast<char>('0' + (k == 0 && rng() % 2 ? 0 : rng() % 10)));
        }
        if (point == digits) {
            s.push_back('.');
        }
        const double expected = std::strtod(s.c_str(), nullptr);
        const double got = PSval(s);
        ASSERT_TRUE(got == expected && std::signbit(got) == std::signbit(expected))
            << '"' << s << "\" gave " << got << ", expected " << expected;
    }
    EXPECT_TRUE(std::signbit(PSval(" -0.00")));
    EXPECT_EQ(PSval(" 9007199254740993"), 9007199254740992.0);
    EXPECT_EQ(PSval("0.1234567890123456789012"), 0.1234567890123456789012);
}

// Items of a line made of digits, points, signs and the bytes next to the
// digits in the code table, with lines that end at the item, at a comma or
// further on, so that the eight bytes read at once see every kind of end.
TEST(PSval, ReadsThePlainItemOfALineOrLeavesIt) {
    std::mt19937_64 rng(15);
    const std::string alphabet = "0123456789..+-/:@p \t,e\xB5";
    static const std::regex plain(R"(^[+-]?([0-9]*\.?[0-9]*)$)");
    int taken = 0;
    for (int i = 0; i < 300000; ++i) {
        std::string item;
        for (auto len = rng() % 11; item.size() < len;) {
            item.push_back(alphabet[rng() % alphabet.size()]);
        }
        std::string line = item;
        const auto rest = rng() % 4;
        if (rest > 0) {
            line += ',';
            line.append(rng() % 12, static_cast<char>('0' + rng() % 10));
        }
        const std::size_t itemEnd = std::min(line.find(','), line.size());
        const std::string text = line.substr(0, itemEnd);
        std::smatch match;
        const bool isPlain = std::regex_match(text, match, plain) &&
                             match[1].str().find_first_of("0123456789") != std::string::npos;
        std::size_t pos = 0;
        double got = -1.0;
        const bool read = readPlainDecimalField(line, pos, got);
        ASSERT_EQ(read, isPlain) << '"' << line << '"';
        if (read) {
            ++taken;
            std::size_t i = 0;
            const double expected = PSval(std::string(TakeItem(line, i)));
            ASSERT_EQ(pos, itemEnd) << '"' << line << '"';
            ASSERT_TRUE(got == expected && std::signbit(got) == std::signbit(expected))
                << '"' << line << "\" gave " << got << ", expected " << expected;
        } else {
            ASSERT_EQ(pos, 0U);
            ASSERT_EQ(got, -1.0);
        }
    }
    EXPECT_GT(taken, 10000);
}

TEST(PSval, SurvivesAnyBytes) {
    std::mt19937_64 rng(3);
    for (int i = 0; i < 20000; ++i) {
        std::string s(rng() % 300, '\0');
        for (char& c : s) {
            c = static_cast<char>(rng());
        }
        const double v = PSval(s);
        (void)v;
    }
    EXPECT_EQ(PSval(std::string(100000, '9')), std::numeric_limits<double>::infinity());
}
