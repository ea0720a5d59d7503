// Files a spreadsheet wrote, in every dialect it offers, read cell by cell
// as the spreadsheet held them.

#include "documents/csv_import.h"

#include "runtime/mac_roman.h"
#include "runtime/windows_1252.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

using namespace kestrune;

namespace {

namespace fs = std::filesystem;

const fs::path kFolder = fs::path(KESTRUNE_TEST_DATA) / "spreadsheets";

std::string bytesOf(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A cell of the expected rows: a name, or a number (0 for null, an empty cell).
struct Cell {
    std::string text;
    double number = 0.0;
};
using Rows = std::vector<std::vector<Cell>>;

// The "rows" of radiators.expected.json, which holds one value a line.
Rows expectedRows() {
    std::istringstream json(bytesOf(kFolder / "radiators.expected.json"));
    Rows rows;
    bool inRows = false;
    for (std::string line; std::getline(json, line);) {
        line = line.substr(0, line.find_last_not_of(',') + 1);
        if (!inRows || line == "[") {
            inRows = inRows || line.starts_with("\"rows\"");
            rows.resize(rows.size() + (line == "[" ? 1 : 0));
        } else if (line.starts_with('"')) {
            Cell& cell = rows.back().emplace_back();
            for (std::size_t i = 1; i + 1 < line.size(); ++i) {
                cell.text += line[i] == '\\' ? line[++i] : line[i];
            }
        } else if (line == "null" || std::isdigit(static_cast<unsigned char>(line[0]))) {
            rows.back().push_back({{}, line == "null" ? 0.0 : std::stod(line)});
        }
    }
    return rows;
}

// A name as a file in an eight-bit text holds it ('?' for each character
// the text lacks, as the spreadsheet writes it); UTF-8 holds it whole.
using EightBit = char32_t (*)(unsigned char);
std::string heldName(std::string_view name, EightBit eightBit) {
    std::string held;
    for (std::size_t i = 0; i < name.size();) {
        char32_t cp = 0;
        const std::size_t length = decodeUtf8(name, i, cp);
        bool fits = eightBit == nullptr;
        for (unsigned b = 0; b < 256 && !fits; ++b) {
            fits = eightBit(static_cast<unsigned char>(b)) == cp;
        }
        held += fits ? name.substr(i, length) : "?";
        i += length;
    }
    return held;
}

TEST(SpreadsheetDialects, EveryFileReadsAsTheSpreadsheetHeldIt) {
    const Rows expected = expectedRows();
    ASSERT_EQ(expected.size(), 30u);
    struct Case {
        std::string file;
        std::string bytes;
        EightBit eightBit = nullptr;
    };
    std::vector<Case> cases;
    for (const char* file :
         {"comma.csv", "semicolon-point.csv", "semicolon-comma.csv", "tab-point.txt",
          "tab-comma.txt", "grouped-comma.csv", "grouped-semicolon-comma.csv"}) {
        cases.push_back({file, bytesOf(kFolder / file)});
    }
    cases.push_back(
        {"windows-1252.csv", bytesOf(kFolder / "windows-1252.csv"), windows1252ToCodePoint});
    // The comma file as an older Mac would have saved it.
    cases.push_back({"comma.csv in Mac OS Roman", utf8ToMacRoman(bytesOf(kFolder / "comma.csv")),
                     macRomanToCodePoint});

    const fs::path path =
        fs::temp_directory_path() / ("kestrune-dialect-" + std::to_string(::getpid()) + ".csv");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        std::ofstream(path, std::ios::binary) << c.bytes;
        const TableImport read = ReadCSVTable(ModelTable(nullptr), path.string());
        ASSERT_TRUE(read.ok);
        EXPECT_EQ(read.skipped.count, 0);
        ASSERT_EQ(read.table.fNum, 30);
        for (std::int32_t r = 1; r <= 30; ++r) {
            const std::vector<Cell>& cells = expected[static_cast<std::size_t>(r - 1)];
            ASSERT_EQ(cells.size(), 10u);
            EXPECT_EQ(read.table.Manufacturer.get(r), heldName(cells[0].text, c.eightBit)) << r;
            EXPECT_EQ(read.table.ModelName.get(r), heldName(cells[1].text, c.eightBit)) << r;
            for (Param p : kAllParams) {
                EXPECT_EQ(read.table.value(p, r), cells[2 + static_cast<std::size_t>(p)].number)
                    << "row " << r << " column " << static_cast<int>(p);
            }
        }
    }
    fs::remove(path);
}

} // namespace
