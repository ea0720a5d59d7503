#include "documents/csv_export.h"
#include "documents/csv_import.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

using namespace kestrune;

namespace {

const std::string kBom = "\xEF\xBB\xBF";

struct Imported {
    ModelTable table{nullptr};
    SkippedLines skipped;
};

// Imports bytes through a file, as the program reads one.
Imported importFile(const std::string& bytes) {
    const auto path = std::filesystem::temp_directory_path() /
                      ("kestrune-utf8-" + std::to_string(::getpid()) + ".csv");
    std::ofstream(path, std::ios::binary) << bytes;
    TableImport read = ReadCSVTable(ModelTable(nullptr), path.string());
    std::filesystem::remove(path);
    EXPECT_TRUE(read.ok);
    EXPECT_TRUE(read.errors.empty());
    return {std::move(read.table), std::move(read.skipped)};
}

// rows models of manufacturer, one a line, with line ends lineEnd; the
// one at oddRow (from 1) is made by odd instead.
std::string models(int rows, const std::string& manufacturer, const char* lineEnd, int oddRow = 0,
                   const std::string& odd = "") {
    std::string bytes;
    for (int r = 1; r <= rows; ++r) {
        bytes += (r == oddRow ? odd : manufacturer) + ",PR-" + std::to_string(r) +
                 ",1.5,2,3,4,5,6,7," + std::to_string(r) + lineEnd;
    }
    return bytes;
}

// Names as stored, whatever the file's size: small files are read by one
// reader, large ones in two halves at once.
TEST(Utf8Import, NamesAreReadAsUtf8OnlyWhenTheWholeFileIsUtf8) {
    const std::string cafe = "Caf\xC3\xA9";
    // The same bytes read as Mac OS Roman.
    const std::string roman = "Caf\u221A\u00A9";
    const std::string header = std::string(kCSVHeader);
    struct Case {
        const char* what;
        std::string bytes;
        int rows;
        std::string first; // the first row's manufacturer as stored
        int oddRow;
        std::string oddName; // and that of the odd row
    };
    const int few = 40;
    const int many = 150000; // more than 4 MiB: several pieces, two halves
    const std::vector<Case> cases = {
        {"UTF-8, CR LF", header + "\r\n" + models(few, cafe, "\r\n"), few, cafe, 2, cafe},
        {"UTF-8, LF", header + "\n" + models(few, cafe, "\n"), few, cafe, 2, cafe},
        {"UTF-8, CR", header + "\r" + models(few, cafe, "\r"), few, cafe, 2, cafe},
        {"a Mac OS Roman byte late in a small file", models(few, cafe, "\n", few - 1, "Caf\x8E"),
         few, roman, few - 1, cafe},
        {"a Mac OS Roman byte late in a large file",
         models(many, cafe, "\r\n", many - 1, "Caf\x8E"), many, roman, many - 1, cafe},
        {"a Mac OS Roman byte late in the first half",
         models(many, cafe, "\r\n", many / 2 - 50, "Caf\x8E"), many, roman, many / 2 - 50, cafe},
        {"a character cut short at the very end", models(many, cafe, "\n") + "\xC3", many, roman, 2,
         roman},
        {"behind a byte-order mark, a byte that is not UTF-8 is read as Mac OS Roman",
         kBom + models(many, cafe, "\r\n", many - 1, "Caf\x8E"), many, cafe, many - 1, cafe},
        {"large, UTF-8 throughout", kBom + header + "\r\n" + models(many, cafe, "\r\n"), many, cafe,
         many - 1, cafe},
    };
    for (const Case& c : cases) {
        const Imported read = importFile(c.bytes);
        ASSERT_EQ(read.table.fNum, c.rows) << c.what;
        EXPECT_EQ(read.skipped.count, c.bytes.ends_with("\xC3") ? 1 : 0) << c.what;
        EXPECT_EQ(read.table.Manufacturer.get(1), c.first) << c.what;
        EXPECT_EQ(read.table.Manufacturer.get(c.oddRow), c.oddName) << c.what;
        EXPECT_EQ(read.table.ModelName.get(c.rows), "PR-" + std::to_string(c.rows)) << c.what;
        EXPECT_EQ(read.table.value(Param::Mms, c.rows), c.rows) << c.what;
        EXPECT_EQ(read.table.Manufacturer.get(c.rows + 1), "") << c.what;
    }
}

TEST(Utf8Import, AByteOrderMarkAloneOrWithAHeaderIsAnEmptyTable) {
    for (const std::string& bytes :
         {kBom, kBom + "\r\n", kBom + std::string(kCSVHeader) + "\r\n"}) {
        const Imported read = importFile(bytes);
        EXPECT_EQ(read.table.fNum, 0);
        EXPECT_EQ(read.skipped.count, 0);
    }
}

// A line too long to be a model is passed over a piece at a time, and its
// last piece may end inside a character: that character is checked whole
// with the next piece, whichever of its bytes the piece ends before.
TEST(Utf8Import, ACharacterAcrossTheEndOfAPieceIsCheckedWhole) {
    constexpr std::size_t kPieceEnd = std::size_t{512} << 10;
    const std::string unit = "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x8E\xB5"; // é € and a note
    const std::string cafe = "Caf\xC3\xA9";
    for (std::size_t shift = 0; shift < unit.size(); ++shift) {
        std::string bytes = models(1, cafe + std::string(shift, 'x'), "\n");
        int rows = 1;
        while (bytes.size() < kPieceEnd - 100000) {
            bytes += models(1, cafe, "\n");
            ++rows;
        }
        const int longLine = rows + 1;
        std::string line;
        while (line.size() < 200000) {
            line += unit;
        }
        bytes += line + "\n";
        const std::string after = models(200000, cafe, "\n");
        bytes += after;
        ASSERT_GT(bytes.size() / 2, kPieceEnd + 100000); // the first half's first piece ends in it
        const Imported read = importFile(bytes);
        EXPECT_EQ(read.table.fNum, rows + 200000) << shift;
        EXPECT_EQ(read.skipped.first, std::vector<std::int64_t>{longLine}) << shift;
        EXPECT_EQ(read.table.Manufacturer.get(2), cafe) << shift;
        EXPECT_EQ(read.table.Manufacturer.get(read.table.fNum), cafe) << shift;
    }
}

} // namespace
