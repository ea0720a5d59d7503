#include "application/sort_command.h"
#include "sheet/sorting.h"

#include "model/app_state.h"
#include "support/fake_platform.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <bit>
#include <cmath>
#include <functional>
#include <limits>
#include <numeric>
#include <random>
#include <string>
#include <utility>
#include <vector>

using namespace kestrune;

namespace {

using Names = std::vector<std::string>;

// The exchange sort as it stands, O(n²): the order the fast sort must give.
void exchangeSort(ModelTable& t, std::int32_t key, bool descending) {
    for (std::int32_t i = 1; i <= t.fNum - 1; ++i) {
        for (std::int32_t j = t.fNum; j >= i + 1; --j) {
            const auto p = static_cast<Param>(key - 2);
            const bool exchange = key == 1     ? t.Number.get(j) < t.Number.get(j - 1)
                                  : descending ? t.value(p, j) > t.value(p, j - 1)
                                               : t.value(p, j - 1) > t.value(p, j);
            if (exchange) {
                t.swapRows(j, j - 1);
            }
        }
    }
}

// Every column, doubles by their bits (-0.0 differs from +0.0, NaN equals itself).
std::vector<std::string> dump(const ModelTable& t) {
    std::vector<std::string> rows;
    for (std::int32_t r = 1; r <= t.fNum; ++r) {
        std::string line = std::to_string(t.Number.get(r)) + "|" +
                           std::string(t.Manufacturer.get(r)) + "|" +
                           std::string(t.ModelName.get(r));
        for (Param p : kAllParams) {
            line += "|" + std::to_string(std::bit_cast<std::uint64_t>(t.value(p, r)));
        }
        rows.push_back(line);
    }
    return rows;
}

TEST(SortOrder, MatchesTheExchangeSortWithTiesNaNsAndSignedZeros) {
    const double inf = std::numeric_limits<double>::infinity();
    const double pool[] = {
        std::numeric_limits<double>::quiet_NaN(), -0.0, 0.0, 1.0, 1.0, 2.5, -3.0, inf, -inf};
    std::mt19937 rng(7);
    for (int trial = 0; trial < 150; ++trial) {
        const auto n = static_cast<std::int32_t>(rng() % 24);
        ModelTable original(nullptr);
        original.fNum = n;
        original.ensureRows(n + 1);
        // Numbers are the load order shuffled (a sort's), that order with one
        // of them repeated, zero or past the end (after row moves or additions),
        // or anything at all.
        std::vector<std::int32_t> numbers(static_cast<std::size_t>(n));
        std::iota(numbers.begin(), numbers.end(), 1);
        std::shuffle(numbers.begin(), numbers.end(), rng);
        if (n > 1 && trial % 4 == 1) {
            numbers[rng() % numbers.size()] = numbers[rng() % numbers.size()];
        } else if (n > 0 && trial % 4 == 2) {
            numbers[rng() % numbers.size()] = trial % 8 == 2 ? 0 : n + 1;
        } else if (trial % 4 == 3) {
            for (std::int32_t& number : numbers) {
                number = static_cast<std::int32_t>(rng() % static_cast<unsigned>(n + 1)) - 2;
            }
        }
        for (std::int32_t r = 1; r <= n; ++r) {
            original.Number[r] = numbers[static_cast<std::size_t>(r - 1)];
            original.ModelName.set(r, "m" + std::to_string(r));
            original.Manufacturer.set(r, std::string(rng() % 3, 'x'));
            for (Param p : kAllParams) {
                original.setValue(p, r, pool[rng() % std::size(pool)]);
            }
        }
        for (std::int32_t key = 1; key <= 9; ++key) {
            for (const bool descending : {false, true}) {
                ModelTable expected = original;
                ModelTable actual = original;
                exchangeSort(expected, key, descending);
                descending ? DescendSort(actual, key) : AscendSort(actual, key);
                ASSERT_EQ(dump(actual), dump(expected)) << "trial " << trial << " key " << key;
            }
        }
    }
}

// Tables large enough that the runs between NaN rows take the fast path of
// the sort, with keys that differ only in their low bits, share their high
// ones, repeat, and include both zeros and both infinities.
TEST(SortOrder, MatchesTheExchangeSortOnLargeTables) {
    const double inf = std::numeric_limits<double>::infinity();
    std::mt19937_64 rng(11);
    for (const std::int32_t n : {700, 1500}) {
        ModelTable original(nullptr);
        original.fNum = n;
        original.ensureRows(n + 1);
        for (std::int32_t r = 1; r <= n; ++r) {
            original.Number[r] = static_cast<std::int32_t>(rng() % 4000) - 2000;
            original.ModelName.set(r, "m" + std::to_string(r));
            original.Manufacturer.set(r, std::string(rng() % 40, 'x'));
            for (Param p : kAllParams) {
                const auto pick = rng() % 100;
                double v = std::ldexp(static_cast<double>(rng() % 5000) - 2500.0, -4);
                if (pick < 2) {
                    v = std::numeric_limits<double>::quiet_NaN();
                } else if (pick < 6) {
                    v = pick % 2 == 0 ? -0.0 : 0.0;
                } else if (pick < 8) {
                    v = pick % 2 == 0 ? -inf : inf;
                } else if (pick < 20) {
                    v = std::nextafter(1.0, rng() % 2 == 0 ? 2.0 : 0.0);
                }
                original.setValue(p, r, p == Param::Mms && pick < 2 ? 5.0 : v);
            }
        }
        for (const std::int32_t key : {1, 2, 9}) {
            for (const bool descending : {false, true}) {
                ModelTable expected = original;
                ModelTable actual = original;
                exchangeSort(expected, key, descending);
                descending ? DescendSort(actual, key) : AscendSort(actual, key);
                ASSERT_EQ(dump(actual), dump(expected)) << "rows " << n << " key " << key;
            }
        }
    }
}

// Tables of 150,000 rows, beyond any cache, with keys spread widely,
// crowding one value, differing only in their lowest bits, and all but
// equal, so that every digit of a key is skipped or sorted on at least once.
// The order must be the stable one, ascending and descending.
TEST(SortOrder, LargeTablesSortStablyWhateverTheirKeysShare) {
    constexpr std::int32_t n = 150000;
    constexpr std::int32_t kFpKey = 3;
    std::mt19937_64 rng(21);
    std::uniform_real_distribution<double> wide(-1e6, 1e6);
    const std::vector<std::pair<const char*, std::function<double()>>> shapes = {
        {"spread", [&] { return wide(rng); }},
        {"crowded", [&] { return rng() % 10 != 0 ? 5.0 : wide(rng); }},
        {"lowest bits",
         [&] { return std::bit_cast<double>(std::bit_cast<std::uint64_t>(1.0) + rng() % 4096); }},
        {"all but equal", [&] { return rng() % 50000 == 0 ? 2.0 : (rng() % 2 ? 0.0 : -0.0); }},
    };
    for (const auto& [what, draw] : shapes) {
        ModelTable original(nullptr);
        original.fNum = n;
        original.ensureRows(n + 1);
        std::vector<double> values(static_cast<std::size_t>(n) + 1);
        for (std::int32_t r = 1; r <= n; ++r) {
            values[static_cast<std::size_t>(r)] = draw();
            original.Number[r] = r;
            original.setValue(Param::Fp, r, values[static_cast<std::size_t>(r)]);
        }
        for (const bool descending : {false, true}) {
            std::vector<std::int32_t> expected(static_cast<std::size_t>(n));
            std::iota(expected.begin(), expected.end(), 1);
            std::stable_sort(expected.begin(), expected.end(), [&](std::int32_t a, std::int32_t b) {
                const double x = values[static_cast<std::size_t>(a)];
                const double y = values[static_cast<std::size_t>(b)];
                return descending ? x > y : x < y;
            });
            ModelTable actual = original;
            descending ? DescendSort(actual, kFpKey) : AscendSort(actual, kFpKey);
            for (std::int32_t r = 1; r <= n; ++r) {
                ASSERT_EQ(actual.Number.get(r), expected[static_cast<std::size_t>(r - 1)])
                    << what << (descending ? " descending" : " ascending") << ", row " << r;
            }
        }
    }
}

class Sorting : public ::testing::Test {
protected:
    // Rows "m1" ... in load order, p holding the given values, the rest the index.
    void load(Param p, const std::vector<double>& values) {
        ModelTable& t = app.table;
        t.fNum = static_cast<std::int32_t>(values.size());
        t.ensureRows(t.fNum + 1);
        for (std::int32_t r = 1; r <= t.fNum; ++r) {
            t.Number[r] = r;
            t.ModelName.set(r, "m" + std::to_string(r));
            for (Param q : kAllParams) {
                t.setValue(q, r, q == p ? values[static_cast<std::size_t>(r - 1)] : r);
            }
        }
    }
    Names names() const {
        Names out;
        for (std::int32_t r = 1; r <= app.table.fNum; ++r) {
            out.emplace_back(app.table.ModelName.get(r));
        }
        return out;
    }
    std::vector<std::int32_t> numbers() const {
        std::vector<std::int32_t> out;
        for (std::int32_t r = 1; r <= app.table.fNum; ++r) {
            out.push_back(app.table.Number.get(r));
        }
        return out;
    }
    // The Sort menu's items that carry the check mark for the sort state.
    std::vector<int> checkedItems() const {
        MenuModel menus;
        menus.setSortMarks(app.sort);
        std::vector<int> items;
        const Menu* sort = menus.findMenu(MenuNum::kSort);
        for (int i = 1; i <= static_cast<int>(sort->items.size()); ++i) {
            if (menus.findItem(MenuNum::kSort, i)->checked) {
                items.push_back(i);
            }
        }
        return items;
    }

    test::FakePlatform platform;
    AppState app{platform};
};

TEST_F(Sorting, EqualKeysKeepTheirOrderAndUnsortRestoresLoadOrder) {
    load(Param::Vap, {5, 3, 5, 1});
    SortMenuCommand(app, {Command::SortKey, 4});
    EXPECT_EQ(names(), (Names{"m4", "m2", "m1", "m3"}));
    EXPECT_EQ(app.table.value(Param::Dia, 1), 4.0); // the whole row travels
    SortMenuCommand(app, {Command::SortDescending});
    EXPECT_EQ(names(), (Names{"m1", "m3", "m2", "m4"}));
    EXPECT_EQ(checkedItems(), (std::vector<int>{4, 12}));

    SortMenuCommand(app,
                    {Command::SortKey, 1}); // still descending: Unsort sorts Number upward anyway
    EXPECT_EQ(names(), (Names{"m1", "m2", "m3", "m4"}));
    EXPECT_EQ(numbers(), (std::vector<std::int32_t>{1, 2, 3, 4}));
    EXPECT_EQ(checkedItems(), (std::vector<int>{1, 12}));
}

TEST_F(Sorting, ACommandSelectsRowOneAndHandsItsTextToTheEditField) {
    load(Param::Vap, {1, 2, 3.456});
    app.sel.cellV = 3;
    app.sel.cellH = 5;                                        // Vap
    EXPECT_TRUE(SortMenuCommand(app, {Command::SortKey, 4})); // already in order
    EXPECT_EQ(app.sel.cellV, 1);
    EXPECT_EQ(app.sel.cellH, 5);
    EXPECT_EQ(app.edit.s_PASS.view(), " 1");
    EXPECT_EQ(app.edit.CalcOnFlag, 1);
    EXPECT_TRUE(platform.windowModified);
    SortMenuCommand(app, {Command::SortDescending});
    EXPECT_EQ(app.edit.s_PASS.view(), " 3.46");

    app.edit.CalcOnFlag = 0;
    EXPECT_FALSE(SortMenuCommand(app, commandFor(MenuNum::kSort, 10))); // the separator
    EXPECT_EQ(app.edit.CalcOnFlag, 0);
}

TEST_F(Sorting, MovesRearrangeTheLoadOrderItself) {
    load(Param::Dia, {10, 20, 30, 40});
    app.sel.cellV = 3;
    EXPECT_TRUE(MoveToUpper(app));
    EXPECT_EQ(app.sel.cellV, 2);
    EXPECT_EQ(app.doc.DirtyFlag, 1);
    SortMenuCommand(app, {Command::SortKey, 1});
    EXPECT_EQ(names(), (Names{"m1", "m3", "m2", "m4"}));
    EXPECT_EQ(app.table.value(Param::Dia, 2), 30.0);
    app.sel.cellV = 1;
    EXPECT_TRUE(MoveToLower(app));
    EXPECT_EQ(names(), (Names{"m3", "m1", "m2", "m4"}));
    EXPECT_EQ(numbers(), (std::vector<std::int32_t>{1, 2, 3, 4}));

    // In a sorted order only the moved row is renumbered.
    load(Param::Dia, {30, 10, 20});
    AscendSort(app.table, 2); // m2 m3 m1
    app.sel.cellV = 3;
    MoveToUpper(app);
    EXPECT_EQ(names(), (Names{"m2", "m1", "m3"}));
    EXPECT_EQ(numbers(), (std::vector<std::int32_t>{2, 2, 1}));

    app.sel.cellV = 1;
    EXPECT_FALSE(MoveToUpper(app));
    app.sel.cellV = 3;
    EXPECT_FALSE(MoveToLower(app));
    EXPECT_EQ(names(), (Names{"m2", "m1", "m3"}));
}

} // namespace
