// A column of numbers keeps short decimals in four bytes and any other
// number whole beside them: whatever it holds, every row must read back
// the very bits it was given, through edits, copies, exchanges and the
// rewrites of what it keeps aside.

#include "model/value_column.h"
#include "runtime/number_text.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

using namespace kestrune;

namespace {

std::uint64_t bits(double x) {
    return std::bit_cast<std::uint64_t>(x);
}

TEST(ValueColumn, EveryNumberReadsBackBitForBit) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        double value;
        bool short4; // kept in the row's four bytes
    };
    const Case cases[] = {
        {0.0, true},          {-0.0, true},
        {12.5, true},         {-12.5, true},
        {0.1, true},          {0.3, true},
        {2250.0, true},       {0.018, true},
        {134217727.0, true},  // the most digits a row holds
        {134217728.0, false}, // one more
        {13421.7727, true},   // the same digits with places
        {1e-14, true},        // the most places
        {1e-15, false},       // one more
        {0.1 + 0.2, false},   // not the double of any short decimal
        {1.0 / 3.0, false},   {29.741234567890123, false},
        {1e300, false},       {-1e-300, false},
        {4.9e-324, false},    {nan, false},
        {-inf, false},
    };
    ValueColumn column(5, nullptr);
    for (std::size_t k = 0; k < std::size(cases); ++k) {
        const Case& c = cases[k];
        SCOPED_TRACE(c.value);
        EXPECT_EQ(ValueColumn::packValue(c.value) != ValueColumn::kNoCode, c.short4);
        const auto row = static_cast<std::int32_t>(k + 1);
        column.set(row, c.value);
        EXPECT_EQ(bits(column.get(row)), bits(c.value));
    }
    // Rows never written, and rows below zero, read as zero.
    EXPECT_EQ(bits(column.get(1000)), bits(0.0));
    EXPECT_EQ(bits(column.get(-1)), bits(0.0));
}

// Decimals as texts give them, read straight into codes where they fit:
// each must be the double reading its text gives.
TEST(ValueColumn, DecimalsReadFromTextAreTheirTextsValues) {
    std::mt19937_64 rng(7);
    ValueColumn column(5, nullptr);
    column.ensure(4000);
    column.beginWriters();
    ValueColumn::Writer writer(column);
    std::vector<std::string> texts;
    for (std::size_t row = 1; row <= 4000; ++row) {
        const int digits = 1 + static_cast<int>(rng() % 17);
        std::string text = rng() % 3 == 0 ? "-" : "";
        for (int d = 0; d < digits; ++d) {
            text += static_cast<char>('0' + rng() % 10);
        }
        if (rng() % 4 != 0) {
            text.insert(text.size() - rng() % (digits + 1), ".");
        }
        text += ",";
        std::size_t pos = 0;
        PlainDecimal decimal;
        if (readPlainDecimalField(text, pos, decimal)) {
            writer.put(row, decimal);
        } else { // too many digits for an exact reading: as the readers do
            writer.put(row, PSval(text));
        }
        texts.push_back(text);
    }
    column.endWriters(writer.keptWhole());
    for (std::size_t row = 1; row <= texts.size(); ++row) {
        const std::string& text = texts[row - 1];
        ASSERT_EQ(bits(column.get(static_cast<std::int32_t>(row))), bits(PSval(text))) << text;
    }
}

// Random edits against a plain array of doubles, with most numbers kept
// aside, so that what is kept aside is rewritten many times over.
TEST(ValueColumn, EditsCopiesAndExchangesKeepEveryRowsNumber) {
    constexpr std::int32_t kRows = 40000;
    std::mt19937_64 rng(11);
    std::uniform_real_distribution<double> any(-1000.0, 1000.0);
    ValueColumn column(5, nullptr);
    std::vector<double> expected(kRows + 1, 0.0);
    const auto pick = [&] { return static_cast<std::int32_t>(1 + rng() % kRows); };
    for (int step = 0; step < 600000; ++step) {
        const std::int32_t a = pick();
        const std::int32_t b = pick();
        switch (rng() % 8) {
        case 0:
            column.copy(a, b);
            expected[static_cast<std::size_t>(b)] = expected[static_cast<std::size_t>(a)];
            break;
        case 1:
            column.swap(a, b);
            std::swap(expected[static_cast<std::size_t>(a)], expected[static_cast<std::size_t>(b)]);
            break;
        case 2: {
            const double v = std::round(any(rng) * 100.0) / 100.0; // a short decimal
            column.set(a, v);
            expected[static_cast<std::size_t>(a)] = v;
            break;
        }
        default: {
            const double v = any(rng);
            column.set(a, v);
            expected[static_cast<std::size_t>(a)] = v;
        }
        }
    }
    for (std::int32_t r = 0; r <= kRows; ++r) {
        ASSERT_EQ(bits(column.get(r)), bits(expected[static_cast<std::size_t>(r)])) << r;
    }
}

// The column of numbers kept whole costs memory only once one comes: writers
// that kept none give its room back, a column that grows while they write
// keeps room for them in every row, and one number kept whole keeps it.
TEST(ValueColumn, RoomForNumbersKeptWholeOnlyWhereOneCame) {
    ValueColumn column(5, nullptr);
    column.ensure(10);
    column.beginWriters();
    ValueColumn::Writer first(column);
    first.put(3, 2.5);
    column.endWriters(first.keptWhole());
    EXPECT_FALSE(column.holdsWhole());
    EXPECT_TRUE(column.whole().empty());

    column.beginWriters();
    ValueColumn::Writer second(column);
    column.ensure(100000); // a reader making room for more lines
    second.put(99999, 1.0 / 3.0);
    ValueColumn::Writer third(column);
    third.put(7, 0.75);
    column.endWriters(second.keptWhole() || third.keptWhole());
    EXPECT_TRUE(column.holdsWhole());
    EXPECT_EQ(bits(column.get(99999)), bits(1.0 / 3.0));
    EXPECT_EQ(column.get(7), 0.75);
    EXPECT_EQ(column.get(3), 2.5);
    // Rows made later have room too, whatever number makes them.
    column.set(150000, 2.5);
    EXPECT_EQ(column.whole().size(), column.codes().storageSize());
    column.set(200000, 0.1 + 0.2);
    column.copy(99999, 5);
    EXPECT_EQ(bits(column.get(200000)), bits(0.1 + 0.2));
    EXPECT_EQ(bits(column.get(5)), bits(1.0 / 3.0));
}

} // namespace
