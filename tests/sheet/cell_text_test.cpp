#include "sheet/cell_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

using namespace kestrune;

namespace {

struct ValueCase {
    Param param;
    double value;
    const char* text;
    std::int32_t x;
};

void PrintTo(const ValueCase& c, std::ostream* os) {
    *os << "param " << static_cast<int>(c.param) << " value " << c.value;
}

class ValueTextTest : public testing::TestWithParam<ValueCase> {};

TEST_P(ValueTextTest, RoundsFillsAndAligns) {
    const ValueCase& c = GetParam();
    const PlacedText placed = ValueText(c.param, c.value);
    EXPECT_EQ(placed.text.str(), c.text);
    EXPECT_EQ(placed.x, c.x);
}

INSTANTIATE_TEST_SUITE_P(
    Columns, ValueTextTest,
    testing::Values(
        // Dia rounds to one decimal, ties to even, and fills in ".0".
        ValueCase{Param::Dia, 12.34, " 12.3", 297}, ValueCase{Param::Dia, 5.0, " 5.0", 305},
        ValueCase{Param::Dia, 123.45, " 123.4", 289}, ValueCase{Param::Dia, -1.0, "-1.0", 305},
        ValueCase{Param::Fp, 35.347, " 35.3", 355}, ValueCase{Param::Fp, 1234.56, " 1234.6", 339},
        // Vap keeps no trailing zeros and aligns on the length of the whole text.
        ValueCase{Param::Vap, 1.5, " 1.5", 408}, ValueCase{Param::Vap, 150.0, " 150", 405},
        ValueCase{Param::Vap, 12.345, " 12.34", 399}, ValueCase{Param::Vap, 12.0, " 12", 409},
        ValueCase{Param::Vap, 123.45, " 123.45", 395},
        // Qmp fills to three decimals, but leaves a negative whole number alone.
        ValueCase{Param::Qmp, 0.5, " 0.500", 462}, ValueCase{Param::Qmp, 2.0, " 2.000", 462},
        ValueCase{Param::Qmp, -1.0, "-1", 462}, ValueCase{Param::Qmp, 12.3456, " 12.346", 454},
        ValueCase{Param::Sd, 12.0, " 12.0", 522}, ValueCase{Param::Sd, 12345.67, " 12345.7", 506},
        ValueCase{Param::Xmax, 3.0, " 3.00", 574}, ValueCase{Param::Xmax, 12.5, " 12.50", 566},
        // Vd: one decimal above 999.99, else two.
        ValueCase{Param::Vd, 1234.567, " 1234.6", 618},
        ValueCase{Param::Vd, 999.99, " 999.99", 618}, ValueCase{Param::Vd, 12.3, " 12.30", 626},
        ValueCase{Param::Mms, 87.64, " 87.6", 690},
        // Zero is formatted like any other value.
        ValueCase{Param::Dia, 0.0, " 0.0", 305}, ValueCase{Param::Fp, 0.0, " 0.0", 363},
        ValueCase{Param::Vap, 0.0, " 0", 413}, ValueCase{Param::Qmp, 0.0, " 0.000", 462},
        ValueCase{Param::Sd, 0.0, " 0.0", 530}, ValueCase{Param::Xmax, 0.0, " 0.00", 574},
        ValueCase{Param::Vd, 0.0, " 0.00", 634}, ValueCase{Param::Mms, 0.0, " 0.0", 698}));

TEST(ValueText, LongerIntegerPartsKeepMovingLeftOnePitchPerDigit) {
    // From the longest width each column aligns, every further integer digit
    // moves the text 8 pixels to the left.
    struct Start {
        Param param;
        int digits;
    };
    for (const Start s : {Start{Param::Dia, 2}, Start{Param::Fp, 3}, Start{Param::Qmp, 1},
                          Start{Param::Sd, 4}, Start{Param::Vd, 3}, Start{Param::Mms, 3}}) {
        for (int d = s.digits; d < 8; ++d) {
            const double v = std::pow(10.0, d) + 0.25;
            EXPECT_EQ(ValueText(s.param, v * 10.0).x, ValueText(s.param, v).x - 8)
                << "param " << static_cast<int>(s.param) << " digits " << d + 1;
        }
    }
    for (int d = 5; d < 8; ++d) { // Vap by its text length
        const double v = std::pow(10.0, d);
        EXPECT_EQ(ValueText(Param::Vap, v * 10.0).x, ValueText(Param::Vap, v).x - 8);
    }
    EXPECT_EQ(ValueText(Param::Xmax, 12345.0).x, 566); // Xmax has one offset for every long width
}

TEST(ValueText, ExtremeValuesStillGiveAText) {
    for (const Param p : kAllParams) {
        for (const double v : {1e300, -1e300, std::nan(""), HUGE_VAL, 1e-300}) {
            EXPECT_FALSE(ValueText(p, v).text.empty());
        }
    }
}

TEST(RowNumberText, RightAlignsUpTo999ThenStartsAtMinusThree) {
    const struct {
        std::int32_t row;
        const char* text;
        std::int32_t x;
    } cases[] = {{7, " 7", 14},       {42, " 42", 7},        {512, " 512", 0},
                 {1000, " 1000", -3}, {99999, " 99999", -3}, {0, " 0", 14}};
    for (const auto& c : cases) {
        const PlacedText placed = RowNumberText(c.row);
        EXPECT_EQ(placed.text.str(), c.text);
        EXPECT_EQ(placed.x, c.x) << c.row;
    }
}

TEST(PlusCommaZero, FillsDecimalsByModeAndNeverShortens) {
    EXPECT_EQ(PlusCommaZero(" 7", 1).str(), " 7.0");
    EXPECT_EQ(PlusCommaZero(" 7.25", 1).str(), " 7.25");
    EXPECT_EQ(PlusCommaZero(" 3", 2).str(), " 3.00");
    EXPECT_EQ(PlusCommaZero(" 3.1", 2).str(), " 3.10");
    EXPECT_EQ(PlusCommaZero(" 3.125", 2).str(), " 3.125");
    EXPECT_EQ(PlusCommaZero(" 7", 3).str(), " 7.000");
    EXPECT_EQ(PlusCommaZero(" 0.5", 3).str(), " 0.500");
    EXPECT_EQ(PlusCommaZero("-0.25", 3).str(), "-0.250");
    EXPECT_EQ(PlusCommaZero(" 1.2345", 3).str(), " 1.2345");
    EXPECT_EQ(PlusCommaZero(" 7", 4).str(), " 7");
    EXPECT_EQ(PlusCommaZero(" 7", 0).str(), " 7");
}

TEST(PlusCommaZero, ModeThreeLeavesTextsWithAMinusAndNoPointAlone) {
    EXPECT_EQ(PlusCommaZero("-1", 3).str(), "-1");
    EXPECT_EQ(PlusCommaZero("1e-09", 3).str(), "1e-09");
    EXPECT_EQ(PlusCommaZero("-1", 1).str(), "-1.0"); // the other modes do fill it
    EXPECT_EQ(PlusCommaZero("-1", 2).str(), "-1.00");
}

TEST(PlusCommaZero, FullLengthTextStaysWithinBounds) {
    const Str255 full(std::string(255, '9'));
    EXPECT_EQ(PlusCommaZero(full, 1), full); // ".0" does not fit
    EXPECT_EQ(PlusCommaZero(Str255(std::string(254, '9')), 4).length(), 254);
}

TEST(DigitOpt, RoundsToTheEditPrecisionOfTheSelectedColumn) {
    EXPECT_EQ(DigitOpt("12.345", 6).str(), " 12.345"); // Qmp
    EXPECT_EQ(DigitOpt("12.345", 7).str(), " 12.3");   // Sd
    EXPECT_EQ(DigitOpt(" 12.347", 3).str(), " 12.35"); // Dia: two decimals, not one
    EXPECT_EQ(DigitOpt(" 35.347", 4).str(), " 35.35");
    EXPECT_EQ(DigitOpt(" 1234.567", 9).str(), " 1234.57");
    EXPECT_EQ(DigitOpt(" 87.66", 10).str(), " 87.7");
    EXPECT_EQ(DigitOpt(" 2.000", 6).str(), " 2"); // no decimal filling
    EXPECT_EQ(DigitOpt("abc", 5).str(), " 0");
}

TEST(DigitOpt, NameAndRowColumnsGiveTheirTextBack) {
    for (const std::int32_t cellH : {0, 1, 2}) {
        EXPECT_EQ(DigitOpt("not 1.23456 a number", cellH).str(), "not 1.23456 a number");
    }
}

TEST(SelectionColumnExtent, RowModeSpansTheCellAreaAndColumnsTile) {
    EXPECT_EQ(SelectionColumnExtent(0).x0, 0);
    EXPECT_EQ(SelectionColumnExtent(0).x1, 728);
    EXPECT_EQ(SelectionColumnExtent(1).x0, 28);
    EXPECT_EQ(SelectionColumnExtent(3).x0, 280);
    EXPECT_EQ(SelectionColumnExtent(10).x1, 728);
    for (std::int32_t h = 1; h < 10; ++h) {
        EXPECT_EQ(SelectionColumnExtent(h).x1, SelectionColumnExtent(h + 1).x0) << h;
    }
}

} // namespace
