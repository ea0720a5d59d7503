// A name column against the plainest possible one: a vector of strings.

#include "model/name_column.h"
#include "support/memory_limit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <string>
#include <vector>

using namespace kestrune;

namespace {

void expectSame(const NameColumn& column, const std::vector<std::string>& reference) {
    ASSERT_GE(column.rows(), reference.size());
    for (std::size_t r = 0; r < reference.size(); ++r) {
        ASSERT_EQ(column.get(static_cast<std::int32_t>(r)), reference[r]) << "row " << r;
    }
}

std::string randomName(std::mt19937_64& rng) {
    const std::size_t length = rng() % 4 == 0 ? 0 : rng() % 300; // some beyond 255 bytes
    std::string name(length, ' ');
    for (char& c : name) {
        c = static_cast<char>('A' + rng() % 26);
    }
    return name;
}

TEST(NameColumn, RandomChangesMatchAVectorOfStrings) {
    std::mt19937_64 rng(7);
    NameColumn column;
    std::vector<std::string> reference(2001);
    column.ensure(2000);
    // Enough overwrites that the unused bytes are written out of the buffer
    // many times over.
    for (int step = 0; step < 60000; ++step) {
        const auto a = static_cast<std::int32_t>(rng() % 2000 + 1);
        const auto b = static_cast<std::int32_t>(rng() % 2000 + 1);
        switch (rng() % 6) {
        case 0:
        case 1: {
            const std::string name = randomName(rng);
            column.set(a, name);
            reference[static_cast<std::size_t>(a)] = name.substr(0, 255);
            break;
        }
        case 2: // a name taken from the column itself, even from the same row
            column.set(a, column.get(b));
            reference[static_cast<std::size_t>(a)] = reference[static_cast<std::size_t>(b)];
            break;
        case 3:
            column.swap(a, b);
            std::swap(reference[static_cast<std::size_t>(a)],
                      reference[static_cast<std::size_t>(b)]);
            break;
        case 4: // two rows share their bytes until one changes
            column.move(a, b);
            reference[static_cast<std::size_t>(b)] = reference[static_cast<std::size_t>(a)];
            break;
        case 5: { // a row's own name, shortened
            std::string& name = reference[static_cast<std::size_t>(a)];
            const std::size_t cut = std::min<std::size_t>(rng() % 3, name.size());
            column.set(a, column.get(a).substr(cut));
            name = name.substr(cut);
            break;
        }
        }
    }
    expectSame(column, reference);
}

TEST(NameColumn, PermuteAndSpliceMoveNamesWithoutLosingAny) {
    std::mt19937_64 rng(11);
    NameColumn column;
    std::vector<std::string> reference(501);
    for (std::int32_t r = 1; r <= 500; ++r) {
        reference[static_cast<std::size_t>(r)] = randomName(rng).substr(0, 255);
        column.set(r, reference[static_cast<std::size_t>(r)]);
    }
    std::vector<std::int32_t> order(400); // rows 401 to 500 stay where they are
    std::iota(order.begin(), order.end(), 1);
    std::shuffle(order.begin(), order.end(), rng);
    column.permute(order);
    std::vector<std::string> permuted = reference;
    for (std::size_t k = 0; k < order.size(); ++k) {
        permuted[k + 1] = reference[static_cast<std::size_t>(order[k])];
    }
    expectSame(column, permuted);

    std::vector<std::string> partNames{""};
    for (std::int32_t r = 1; r <= 300; ++r) {
        partNames.push_back(r % 5 == 0 ? std::string() : "part-" + std::to_string(r));
        column.set(350 + r, partNames.back()); // over rows 351 to 500 and beyond them
    }
    permuted.resize(651);
    std::copy(partNames.begin() + 1, partNames.end(), permuted.begin() + 351);
    expectSame(column, permuted);
    EXPECT_EQ(column.get(651), "");
    EXPECT_EQ(column.get(-1), "");
    EXPECT_EQ(column.get(1 << 30), "");
}

// Parts fill rows of their own side by side, over a column that held names
// before; joined, the column holds their names and takes changes as ever.
TEST(NameColumn, PartsFillTheirOwnRowsSideBySide) {
    NameColumn column;
    column.set(2, "held before");
    column.set(9, "after the parts' rows");
    std::vector<NameColumn::Part> parts = column.beginParts(6, {10, 4, 8});
    std::vector<std::string> expected = {"", "", "", "", "",
                                         "", "", "", "", "after the parts' rows"};
    const struct {
        std::size_t part;
        std::int32_t row;
        std::string name;
        bool fits;
    } steps[] = {
        {0, 1, "Acme", true},
        {0, 2, "", true},
        {1, 3, "PR-1", true},
        {1, 4, "x", false},
        {2, 5, "Eastfield", false},
        {2, 5, "Dunmore", true},
        {2, 6, std::string(300, 'a').substr(0, 1), true},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.row);
        EXPECT_EQ(parts[step.part].set(step.row, step.name), step.fits);
        if (step.fits) {
            expected[static_cast<std::size_t>(step.row)] = step.name;
        }
    }
    column.endParts(parts);
    expectSame(column, expected);
    column.set(4, "set after");
    expected[4] = "set after";
    expectSame(column, expected);
}

// Laid out in row order, each row's name starts where the one before ends,
// on one core and on several, after a permute and after changes; without the
// memory for it the column stays as it was.
TEST(NameColumn, LaysItsNamesOutInRowOrder) {
    for (const std::int32_t rows : {300, 100'000}) {
        SCOPED_TRACE(rows);
        std::mt19937_64 rng(static_cast<unsigned>(rows));
        NameColumn column;
        std::vector<std::string> reference(static_cast<std::size_t>(rows) + 1);
        for (std::int32_t r = 1; r <= rows; ++r) {
            reference[static_cast<std::size_t>(r)] = randomName(rng).substr(0, 255);
            column.set(r, reference[static_cast<std::size_t>(r)]);
        }
        std::vector<std::int32_t> order(static_cast<std::size_t>(rows));
        std::iota(order.begin(), order.end(), 1);
        std::shuffle(order.begin(), order.end(), rng);
        column.permute(order);
        column.move(3, 4); // two rows on the same bytes
        column.set(rows / 2, "changed after the permute");
        std::vector<std::string> expected(reference.size());
        for (std::size_t k = 0; k < order.size(); ++k) {
            expected[k + 1] = reference[static_cast<std::size_t>(order[k])];
        }
        expected[4] = expected[3];
        expected[static_cast<std::size_t>(rows / 2)] = "changed after the permute";

        column.layOutInRowOrder();
        expectSame(column, expected);
        const char* next = nullptr;
        for (std::int32_t r = 1; r <= rows; ++r) {
            const std::string_view name = column.get(r);
            if (name.empty()) {
                continue;
            }
            if (next != nullptr) {
                ASSERT_EQ(name.data(), next) << "row " << r;
            }
            next = name.data() + name.size();
        }
    }
}

TEST(NameColumn, ARelayoutShortOfMemoryChangesNothing) {
    SKIP_WHERE_MEMORY_CANNOT_BE_LIMITED();
    const int outcome = test::RunInChildWithSpareMemory(std::size_t{1} << 40, [] {
        std::mt19937_64 rng(5);
        NameColumn column;
        std::vector<std::string> reference(200'001);
        for (std::int32_t r = 1; r <= 200'000; ++r) {
            reference[static_cast<std::size_t>(r)] = "Name " + std::to_string(rng());
            column.set(r, reference[static_cast<std::size_t>(r)]);
        }
        test::LimitSpareMemory(std::size_t{1} << 20); // far less than the names' bytes
        bool refused = false;
        try {
            column.layOutInRowOrder();
        } catch (const std::bad_alloc&) {
            refused = true;
        }
        test::LiftMemoryLimit();
        if (!refused) {
            return 2;
        }
        for (std::size_t r = 1; r < reference.size(); ++r) {
            if (column.get(static_cast<std::int32_t>(r)) != reference[r]) {
                return 3;
            }
        }
        return 0;
    });
    EXPECT_EQ(outcome, 0);
}

} // namespace
