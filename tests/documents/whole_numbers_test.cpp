// Numbers that are not short decimals (many digits, large, negative zero)
// are kept whole beside the table's rows. A large file is read in two
// halves at once, and an import moves the later half's rows down behind
// the earlier's: every number must still land in its own row.

#include "documents/csv_export.h"
#include "documents/csv_import.h"
#include "documents/data_sheet_format.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <random>
#include <string>
#include <vector>

using namespace kestrune;
using kestrune::test::TempDir;

namespace {

std::string numberText(std::mt19937_64& rng, bool shortOnly) {
    switch (shortOnly ? 5 : rng() % 6) {
    case 0:
        return "0." + std::to_string(100000000000000000ULL + rng() % 800000000000000000ULL);
    case 1:
        return std::to_string(rng() % 1000000000000ULL);
    case 2:
        return "-0";
    default:
        return std::to_string(rng() % 10000) + "." + std::to_string(rng() % 100);
    }
}

double valueOf(const std::string& text) {
    double value = 0.0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return text == "-0" ? -0.0 : value;
}

struct Expected {
    std::string bytes;
    std::vector<std::vector<double>> rows;
};

// rows records with blank lines among them when blanks, so that the halves
// of an import do not end on a row boundary; numbers that are not short
// decimals come from row wholeFrom on.
Expected catalogue(int rows, bool blanks, int wholeFrom = 0) {
    std::mt19937_64 rng(5);
    Expected e;
    for (int r = 0; r < rows; ++r) {
        if (blanks && r % 97 == 0) {
            e.bytes += "\n";
        }
        e.bytes += "Maker,PR-" + std::to_string(r);
        std::vector<double> values;
        for (int k = 0; k < kParamCount; ++k) {
            const std::string text = numberText(rng, r < wholeFrom);
            e.bytes += "," + text;
            values.push_back(valueOf(text));
        }
        e.bytes += "\n";
        e.rows.push_back(values);
    }
    return e;
}

void expectRows(const ModelTable& table, const Expected& e) {
    ASSERT_EQ(table.fNum, static_cast<std::int32_t>(e.rows.size()));
    for (std::size_t r = 0; r < e.rows.size(); ++r) {
        for (Param p : kAllParams) {
            const double want = e.rows[r][static_cast<std::size_t>(p)];
            const double got = table.value(p, static_cast<std::int32_t>(r + 1));
            ASSERT_EQ(std::bit_cast<std::uint64_t>(got), std::bit_cast<std::uint64_t>(want))
                << "row " << r + 1 << " column " << static_cast<int>(p);
        }
    }
}

TEST(WholeNumbers, LandInTheirRowsThroughBothHalvesOfARead) {
    TempDir dir;
    const Expected document = catalogue(60000, false);
    ASSERT_GT(document.bytes.size(), std::size_t{4} << 20); // read in halves
    const std::string docPath = dir.file("whole.kedata");
    std::ofstream(docPath, std::ios::binary) << document.bytes;
    const TableRead read = ReadDataSheet(ModelTable(nullptr), docPath);
    ASSERT_TRUE(read.ok);
    expectRows(read.table, document);

    // With blank lines the later half's rows move down; without, they stay,
    // and only the later half has numbers kept whole.
    for (const bool blanks : {true, false}) {
        SCOPED_TRACE(blanks);
        const Expected table = catalogue(60000, blanks, blanks ? 0 : 45000);
        const std::string csvPath = dir.file("whole.csv");
        std::ofstream(csvPath, std::ios::binary | std::ios::trunc)
            << std::string(kCSVHeader) << "\r\n"
            << table.bytes;
        const TableImport imported = ReadCSVTable(ModelTable(nullptr), csvPath);
        ASSERT_TRUE(imported.ok);
        EXPECT_EQ(imported.skipped.count, 0);
        expectRows(imported.table, table);
    }
}

} // namespace
