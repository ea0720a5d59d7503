// A save after sorts, moves and edits writes exactly what a table made
// afresh in the same row order writes: whatever order the names' bytes lie
// in, the document holds the rows as the sheet shows them.

#include "documents/data_sheet_format.h"
#include "sheet/sorting.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

using namespace kestrune;

namespace {

constexpr std::int32_t kFpKey = 3;
constexpr std::int32_t kModelNameKey = 11;

struct Row {
    std::int32_t number;
    std::string manufacturer;
    std::string modelName;
    double fp;
};

std::string saved(ModelTable& table) {
    std::ostringstream out;
    EXPECT_TRUE(WriteDataSheet(table, out).ok);
    return out.str();
}

// The rows put into a fresh table one by one, in the order given.
std::string savedFresh(const std::vector<Row>& rows) {
    ModelTable fresh(nullptr);
    fresh.fNum = static_cast<std::int32_t>(rows.size());
    fresh.ensureRows(fresh.fNum + 1);
    for (std::int32_t r = 1; r <= fresh.fNum; ++r) {
        const Row& row = rows[static_cast<std::size_t>(r - 1)];
        fresh.Number[r] = row.number;
        fresh.Manufacturer.set(r, row.manufacturer);
        fresh.ModelName.set(r, row.modelName);
        fresh.setValue(Param::Fp, r, row.fp);
    }
    return saved(fresh);
}

// Enough rows that the names are laid out by both cores, with names that
// need quotes and empty ones among them.
std::vector<Row> catalogue(std::int32_t count) {
    std::mt19937 rng(3);
    std::vector<Row> rows;
    for (std::int32_t r = 1; r <= count; ++r) {
        const std::string maker = r % 11 == 0  ? ""
                                  : r % 7 == 0 ? "Acme, Inc"
                                               : "Maker " + std::to_string(rng() % 50);
        rows.push_back({r, maker, "PR-" + std::to_string(rng() % 100000) + std::string(r % 9, 'x'),
                        static_cast<double>(rng() % 5000) / 100});
    }
    return rows;
}

void stableSortByFp(std::vector<Row>& rows, bool descending) {
    std::stable_sort(rows.begin(), rows.end(), [&](const Row& a, const Row& b) {
        return descending ? a.fp > b.fp : a.fp < b.fp;
    });
}

void setName(ModelTable& t, std::vector<Row>& rows, std::int32_t r, const std::string& name) {
    t.ModelName.set(r, name);
    rows[static_cast<std::size_t>(r - 1)].modelName = name;
}

TEST(SaveAfterSort, WritesTheRowsInTheOrderTheSheetHolds) {
    struct Case {
        const char* what;
        // Changes the table and the plain rows alike.
        std::function<void(ModelTable&, std::vector<Row>&)> change;
    };
    const std::vector<Case> cases = {
        {"sorted by Fp",
         [](ModelTable& t, std::vector<Row>& rows) {
             AscendSort(t, kFpKey);
             stableSortByFp(rows, false);
         }},
        {"sorted down, then up",
         [](ModelTable& t, std::vector<Row>& rows) {
             DescendSort(t, kFpKey);
             AscendSort(t, kFpKey);
             stableSortByFp(rows, false);
         }},
        {"sorted and unsorted",
         [](ModelTable& t, std::vector<Row>&) {
             DescendSort(t, kModelNameKey);
             AscendSort(t, 1);
         }},
        {"names edited after a sort",
         [](ModelTable& t, std::vector<Row>& rows) {
             DescendSort(t, kFpKey);
             stableSortByFp(rows, true);
             setName(t, rows, 1, "First, edited");
             setName(t, rows, 2, std::string(t.ModelName.get(t.fNum))); // another row's name
             setName(t, rows, t.fNum, "");
         }},
        {"edited, sorted, rows exchanged",
         [](ModelTable& t, std::vector<Row>& rows) {
             setName(t, rows, 5, "Renamed before the sort");
             AscendSort(t, kFpKey);
             stableSortByFp(rows, false);
             t.swapRows(1, t.fNum);
             std::swap(rows.front(), rows.back());
         }},
    };
    for (const std::int32_t count : {40, 70'000}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.what) + ", " + std::to_string(count) + " rows");
            std::vector<Row> rows = catalogue(count);
            ModelTable table(nullptr);
            std::istringstream in(savedFresh(rows));
            table = ReadDataSheet(std::move(table), in).table;
            c.change(table, rows);
            EXPECT_EQ(saved(table), savedFresh(rows));
        }
    }
}

} // namespace
