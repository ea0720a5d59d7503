// Files a spreadsheet wrote, in every dialect it offers, read cell by cell
// as the spreadsheet held them.

#include "documents/csv_import.h"

#include "runtime/mac_roman.h"
#include "runtime/windows_1252.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
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

// A cell of the expected rows: a name, a number, or null for an empty cell.
struct Cell {
    std::string text;
    std::optional<double> number;
};
using Rows = std::vector<std::vector<Cell>>;

// The "rows" of radiators.expected.json: arrays of strings, numbers and nulls.
Rows expectedRows() {
    const std::string json = bytesOf(kFolder / "radiators.expected.json");
    std::size_t at = json.find('[', json.find("\"rows\"")) + 1;
    Rows rows;
    for (; json[at] != ']'; ++at) {
        if (json[at] != '[') {
            continue;
        }
        rows.emplace_back();
        for (++at; json[at] != ']'; ++at) {
            Cell cell;
            if (json[at] == '"') {
                for (++at; json[at] != '"'; ++at) {
                    cell.text += json[at] == '\\' ? json[++at] : json[at];
                }
            } else if (json[at] == 'n') {
                at += 3; // null
            } else if (json[at] == '-' || std::isdigit(static_cast<unsigned char>(json[at]))) {
                std::size_t length = 0;
                cell.number = std::stod(json.substr(at), &length);
                at += length - 1;
            } else {
                continue; // commas and blanks
            }
            rows.back().push_back(cell);
        }
    }
    return rows;
}

// A name as a file in an eight-bit text can hold it: '?' for each character
// the text lacks, as the spreadsheet writes it.
std::string asEightBitHoldsIt(std::string_view name, char32_t (*toCodePoint)(unsigned char)) {
    std::string held;
    for (std::size_t i = 0; i < name.size();) {
        char32_t cp = 0;
        const std::size_t length = decodeUtf8(name, i, cp);
        bool fits = false;
        for (unsigned b = 0; b < 256; ++b) {
            fits = fits || toCodePoint(static_cast<unsigned char>(b)) == cp;
        }
        held += fits ? name.substr(i, length) : "?";
        i += length;
    }
    return held;
}

std::string sameName(std::string_view name) {
    return std::string(name);
}

TEST(SpreadsheetDialects, EveryFileReadsAsTheSpreadsheetHeldIt) {
    const Rows expected = expectedRows();
    ASSERT_EQ(expected.size(), 30u);
    const auto windows = [](std::string_view n) {
        return asEightBitHoldsIt(n, windows1252ToCodePoint);
    };
    const auto macRoman = [](std::string_view n) {
        return asEightBitHoldsIt(n, macRomanToCodePoint);
    };
    const std::string utf8 = bytesOf(kFolder / "comma.csv");
    struct Case {
        std::string file;
        std::string bytes;
        std::function<std::string(std::string_view)> names;
    };
    std::vector<Case> cases;
    for (const char* file :
         {"comma.csv", "semicolon-point.csv", "semicolon-comma.csv", "tab-point.txt",
          "tab-comma.txt", "grouped-comma.csv", "grouped-semicolon-comma.csv"}) {
        cases.push_back({file, bytesOf(kFolder / file), sameName});
    }
    cases.push_back({"windows-1252.csv", bytesOf(kFolder / "windows-1252.csv"), windows});
    // The comma file as an older Mac would have saved it.
    cases.push_back({"comma.csv in Mac OS Roman", utf8ToMacRoman(utf8), macRoman});
    // Its lines ended by CR alone, with a row number before each.
    std::string numbered = "#," + utf8.substr(0, utf8.find('\n')) + '\r';
    for (std::size_t at = utf8.find('\n') + 1, row = 1; at < utf8.size(); ++row) {
        const std::size_t end = utf8.find('\n', at);
        numbered += std::to_string(row) + "," + utf8.substr(at, end - at) + "\r";
        at = end + 1;
    }
    cases.push_back({"numbered rows, CR", numbered, sameName});

    const fs::path path =
        fs::temp_directory_path() / ("kestrune-dialect-" + std::to_string(::getpid()) + ".csv");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        std::ofstream(path, std::ios::binary) << c.bytes;
        const TableImport read = ReadCSVTable(ModelTable(nullptr), path.string());
        ASSERT_TRUE(read.ok);
        // The header of the numbered rows has eleven fields, and is no model.
        EXPECT_EQ(read.skipped.count, c.file.starts_with("numbered") ? 1 : 0);
        ASSERT_EQ(read.table.fNum, 30);
        for (std::int32_t r = 1; r <= 30; ++r) {
            const std::vector<Cell>& cells = expected[static_cast<std::size_t>(r - 1)];
            EXPECT_EQ(read.table.Manufacturer.get(r), c.names(cells[0].text)) << r;
            EXPECT_EQ(read.table.ModelName.get(r), c.names(cells[1].text)) << r;
            for (Param p : kAllParams) {
                EXPECT_EQ(read.table.value(p, r),
                          cells[2 + static_cast<std::size_t>(p)].number.value_or(0.0))
                    << "row " << r << " column " << static_cast<int>(p);
            }
        }
    }
    fs::remove(path);
}

} // namespace
