#include "sheet/sorting.h"

#include "core/app_state.h"
#include "support/fake_platform.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

using namespace kestrune;

namespace {

// The exchange sort as it stands, O(n²): the order the fast sort must give.
void referenceSort(ModelTable& t, std::int32_t key, bool descending) {
    const std::int32_t n = t.fNum;
    for (std::int32_t i = 1; i <= n - 1; ++i) {
        for (std::int32_t j = n; j >= i + 1; --j) {
            bool exchange = false;
            if (key == 1) {
                exchange = t.Number.get(j) < t.Number.get(j - 1);
            } else {
                const auto p = static_cast<Param>(key - 2);
                exchange = descending ? t.value(p, j) > t.value(p, j - 1)
                                      : t.value(p, j - 1) > t.value(p, j);
            }
            if (exchange) {
                t.swapRows(j, j - 1);
            }
        }
    }
}

// Every column of rows 1 .. fNum, doubles by their bits (so -0.0 differs from
// +0.0 and a NaN equals itself).
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

class Sorting : public ::testing::Test {
protected:
    // Rows named "m1", "m2", ... in load order with the given values of one
    // parameter; the other parameters hold the row index.
    void load(Param p, const std::vector<double>& values) {
        ModelTable& t = app.table;
        t.fNum = static_cast<std::int32_t>(values.size());
        t.ensureRows(t.fNum + 1);
        for (std::int32_t r = 1; r <= t.fNum; ++r) {
            t.Number[r] = r;
            t.Manufacturer.set(r, "maker" + std::to_string(r));
            t.ModelName.set(r, "m" + std::to_string(r));
            for (Param q : kAllParams) {
                t.setValue(q, r, r);
            }
            t.setValue(p, r, values[static_cast<std::size_t>(r - 1)]);
        }
    }
    std::vector<std::string> names() const {
        std::vector<std::string> out;
        for (std::int32_t r = 1; r <= app.table.fNum; ++r) {
            out.emplace_back(app.table.ModelName.get(r));
        }
        return out;
    }
    bool numbersFollowIndex() const {
        for (std::int32_t r = 1; r <= app.table.fNum; ++r) {
            if (app.table.Number.get(r) != r) {
                return false;
            }
        }
        return true;
    }

    test::FakePlatform platform;
    AppState app{platform};
};

using Names = std::vector<std::string>;

TEST_F(Sorting, EqualKeysKeepTheirOrderInBothDirections) {
    load(Param::Vap, {5, 3, 5, 1});
    AscendSort(app.table, 4);
    EXPECT_EQ(names(), (Names{"m4", "m2", "m1", "m3"}));
    EXPECT_EQ(app.table.Manufacturer.get(1), "maker4");
    EXPECT_EQ(app.table.value(Param::Dia, 1), 4.0);

    load(Param::Vap, {5, 3, 5, 1});
    DescendSort(app.table, 4);
    EXPECT_EQ(names(), (Names{"m1", "m3", "m2", "m4"}));
}

TEST_F(Sorting, UnsortRestoresTheLoadOrderWhateverTheDirection) {
    load(Param::Xmax, {2, 9, 4, 7, 1});
    app.sort.sendItmID = 2;
    SortMenuCommand(app, 7);
    EXPECT_EQ(names(), (Names{"m2", "m4", "m3", "m1", "m5"}));
    SortMenuCommand(app, 1);
    EXPECT_EQ(names(), (Names{"m1", "m2", "m3", "m4", "m5"}));
    EXPECT_TRUE(numbersFollowIndex());

    // Descending chosen while "Unsort" is the key still sorts by Number upward.
    SortMenuCommand(app, 7);
    SortMenuCommand(app, 1);
    SortMenuCommand(app, kSortDescendingItem);
    EXPECT_EQ(app.sort.sortItmID, 1);
    EXPECT_EQ(names(), (Names{"m1", "m2", "m3", "m4", "m5"}));
}

TEST_F(Sorting, NaNRowsStayPutAndSignedZerosCountAsEqual) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    load(Param::Fp, {3, nan, 2, 1, -0.0, 0.0, nan, -1});
    AscendSort(app.table, 3);
    EXPECT_EQ(names(), (Names{"m1", "m2", "m5", "m6", "m4", "m3", "m7", "m8"}));
    load(Param::Fp, {0.0, -0.0, 1});
    DescendSort(app.table, 3);
    EXPECT_EQ(names(), (Names{"m3", "m1", "m2"}));
}

TEST_F(Sorting, MatchesTheExchangeSortOnRandomTables) {
    std::mt19937 rng(7);
    const double pool[] = {std::numeric_limits<double>::quiet_NaN(),
                           -0.0,
                           0.0,
                           1.0,
                           1.0,
                           2.5,
                           -3.0,
                           std::numeric_limits<double>::infinity(),
                           -std::numeric_limits<double>::infinity(),
                           1e300};
    for (int trial = 0; trial < 250; ++trial) {
        const auto n = static_cast<std::int32_t>(rng() % 24);
        ModelTable original(nullptr);
        original.fNum = n;
        original.ensureRows(n + 1);
        for (std::int32_t r = 1; r <= n; ++r) {
            // Numbers repeat after row moves; let them here.
            original.Number[r] =
                static_cast<std::int32_t>(rng() % static_cast<unsigned>(n + 1)) - 2;
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
                referenceSort(expected, key, descending);
                if (descending) {
                    DescendSort(actual, key);
                } else {
                    AscendSort(actual, key);
                }
                ASSERT_EQ(dump(actual), dump(expected))
                    << "trial " << trial << " key " << key << " desc " << descending;
            }
        }
    }
}

TEST_F(Sorting, ASortCommandSelectsRowOneAndHandsItsTextToTheEditField) {
    load(Param::Vap, {1, 2, 3.456});
    app.sel.cellV = 3;
    app.sel.cellH = 5;                    // Vap
    EXPECT_TRUE(SortMenuCommand(app, 4)); // already in order: nothing moves
    EXPECT_EQ(names(), (Names{"m1", "m2", "m3"}));
    EXPECT_EQ(app.sel.cellV, 1);
    EXPECT_EQ(app.sel.cellH, 5);
    EXPECT_EQ(app.edit.s_PASS.view(), " 1");
    EXPECT_EQ(app.edit.CalcOnFlag, 1);
    EXPECT_EQ(app.doc.DirtyFlag, 1);
    EXPECT_TRUE(platform.windowModified);

    app.sort.sendItmID = 2;
    SortMenuCommand(app, 4);
    EXPECT_EQ(app.edit.s_PASS.view(), " 3.46");

    // The separator and items past the menu are no commands.
    app.edit.CalcOnFlag = 0;
    app.sel.cellV = 2;
    EXPECT_FALSE(SortMenuCommand(app, 10));
    EXPECT_FALSE(SortMenuCommand(app, 13));
    EXPECT_EQ(app.sel.cellV, 2);
    EXPECT_EQ(app.edit.CalcOnFlag, 0);
    EXPECT_EQ(app.sort.sortItmID, 4);
}

TEST_F(Sorting, CheckMarksFollowKeyAndDirection) {
    const auto checked = [](const SortState& s) {
        std::vector<int> items;
        const auto marks = SortMenuMarks(s);
        for (int i = 0; i < kSortMenuItems; ++i) {
            if (marks[static_cast<std::size_t>(i)]) {
                items.push_back(i + 1);
            }
        }
        return items;
    };
    EXPECT_EQ(checked(app.sort), (std::vector<int>{1, 11}));
    load(Param::Sd, {2, 1});
    SortMenuCommand(app, 6);
    SortMenuCommand(app, kSortDescendingItem);
    EXPECT_EQ(checked(app.sort), (std::vector<int>{6, 12}));
    SortMenuCommand(app, 1);
    EXPECT_EQ(checked(app.sort), (std::vector<int>{1, 12}));
}

TEST_F(Sorting, MovesRearrangeTheLoadOrderItself) {
    load(Param::Dia, {10, 20, 30, 40});
    app.sel.cellV = 3;
    EXPECT_TRUE(MoveToUpper(app));
    EXPECT_EQ(app.sel.cellV, 2);
    EXPECT_EQ(names(), (Names{"m1", "m3", "m2", "m4"}));
    EXPECT_EQ(app.table.Manufacturer.get(2), "maker3");
    EXPECT_EQ(app.table.value(Param::Dia, 2), 30.0);
    EXPECT_TRUE(numbersFollowIndex());
    EXPECT_EQ(app.doc.DirtyFlag, 1);
    SortMenuCommand(app, 1);
    EXPECT_EQ(names(), (Names{"m1", "m3", "m2", "m4"}));

    app.sel.cellV = 1;
    EXPECT_TRUE(MoveToLower(app));
    EXPECT_EQ(app.sel.cellV, 2);
    EXPECT_EQ(names(), (Names{"m3", "m1", "m2", "m4"}));
    EXPECT_TRUE(numbersFollowIndex());
}

TEST_F(Sorting, MovesInASortedOrderRenumberOnlyTheMovedRow) {
    load(Param::Dia, {30, 10, 20});
    AscendSort(app.table, 2); // m2 m3 m1, Numbers 2 3 1
    app.sel.cellV = 3;
    MoveToUpper(app);
    EXPECT_EQ(names(), (Names{"m2", "m1", "m3"}));
    EXPECT_EQ(app.table.Number.get(1), 2);
    EXPECT_EQ(app.table.Number.get(2), 2);
    EXPECT_EQ(app.table.Number.get(3), 1);
}

TEST_F(Sorting, MovesPastTheEndsAndTinyTablesChangeNothing) {
    load(Param::Dia, {1, 2});
    app.sel.cellV = 1;
    EXPECT_FALSE(MoveToUpper(app));
    app.sel.cellV = 2;
    EXPECT_FALSE(MoveToLower(app));
    EXPECT_EQ(names(), (Names{"m1", "m2"}));
    EXPECT_EQ(app.doc.DirtyFlag, 0);

    load(Param::Dia, {});
    app.sel.cellV = 0;
    EXPECT_TRUE(SortMenuCommand(app, 2));
    EXPECT_EQ(app.sel.cellV, 0);
    load(Param::Dia, {7});
    DescendSort(app.table, 2);
    EXPECT_EQ(names(), (Names{"m1"}));
}

} // namespace
