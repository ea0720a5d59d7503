// The quick reader of whole-line records must give exactly the rows the
// item-by-item reader gives, or step aside.

#include "documents/data_sheet_format.h"
#include "documents/whole_line_records.h"
#include "runtime/text_files.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <bit>
#include <fstream>
#include <random>
#include <sstream>
#include <utility>

using namespace kestrune;
using kestrune::test::TempDir;

namespace {

struct Reader {
    // Takes what a read gave.
    bool take(TableRead read) {
        table = std::move(read.table);
        errors = std::move(read.errors);
        return read.ok;
    }
    // Rows 0 to fNum + 1, every value by its bits.
    std::string rows() const {
        const ModelTable& t = table;
        std::ostringstream out;
        out << "fNum " << t.fNum << "\n";
        for (std::int32_t r = 0; r <= t.fNum + 1; ++r) {
            out << t.Number.get(r) << '|' << t.Manufacturer.get(r) << '|' << t.ModelName.get(r);
            for (Param p : kAllParams) {
                out << '|' << std::hex << std::bit_cast<std::uint64_t>(t.value(p, r)) << std::dec;
            }
            out << '\n';
        }
        return out.str();
    }
    ModelTable table{nullptr};
    FileErrors errors;
};

// What the item-by-item reader makes of the bytes.
std::string itemByItem(const std::string& bytes, FileErrors* errors = nullptr) {
    Reader slow;
    std::istringstream in(bytes);
    slow.take(ReadDataSheet(std::move(slow.table), in));
    if (errors != nullptr) {
        *errors = slow.errors;
    }
    return slow.rows();
}

// The bytes read from a file, the way documents are opened.
void expectSameFromFile(const std::string& bytes, const TempDir& dir) {
    const std::string path = dir.file("doc.kedata");
    std::ofstream(path, std::ios::binary) << bytes;
    Reader fromFile;
    ASSERT_TRUE(fromFile.take(ReadDataSheet(std::move(fromFile.table), path)));
    FileErrors errors;
    const std::string expected = itemByItem(bytes, &errors);
    if (expected.size() < 4096) {
        EXPECT_EQ(fromFile.rows(), expected);
    } else {
        EXPECT_TRUE(fromFile.rows() == expected); // too long to print
    }
    EXPECT_EQ(fromFile.errors, errors);
}

// Reads with the quick reader alone; rows in out.
std::int32_t quick(const std::string& bytes, int fields, std::string& out) {
    Reader fast;
    const std::int32_t n = ReadWholeLineRecords(bytes, fields, TextFiles::kMaxItemLine, fast.table);
    fast.table.fNum = std::max(n, 0);
    out = fast.rows();
    return n;
}

// The same, read piece by piece as a file is, in pieces of piece bytes.
std::int32_t quickInPieces(const std::string& bytes, int fields, std::size_t piece,
                           std::string& out) {
    Reader fast;
    RecordBytes source;
    source.size = bytes.size();
    source.readAt = [&bytes](char* data, std::size_t size, std::uint64_t offset) {
        const std::size_t n = std::min<std::size_t>(size, bytes.size() - offset);
        std::copy_n(bytes.data() + offset, n, data);
        return n;
    };
    const std::int32_t n = ReadWholeLineRecords(source, fields, TextFiles::kMaxItemLine, fast.table,
                                                NameText::MacRoman, piece);
    fast.table.fNum = std::max(n, 0);
    out = fast.rows();
    return n;
}

const char* const kClean = "Acme,PR-10, 25.4, 22.5, 110.25, 3.126, 506.7, 12, 633.38, 98.3";

TEST(WholeLineRecords, TakesCleanLinesAsTheItemReaderDoesAndStepsAsideOtherwise) {
    struct Case {
        const char* name;
        std::string bytes;
        bool quick; // every line is one record
    };
    const std::string line = kClean;
    const Case cases[] = {
        {"CR", line + "\r" + line + "\r", true},
        {"LF", line + "\n" + line + "\n", true},
        {"CR LF, no end at the last line", line + "\r\n" + line, true},
        {"quoted names with commas and tabs",
         "\"Acme, Inc\",\" PR\t10\", 1, 2, 3, 4, 5, 6, 7, 8\r" + line + "\r", true},
        {"tabs between items and blanks around them",
         "Acme\tPR ,\t 1 ,2\t,3,4,5,6,7,8\r" + line + "\r", true},
        {"numbers only the forgiving reader knows",
         "A,B,&H1F, 1e3,-0,+.5,.,,12abc,0x10\r" + line + "\r", true},
        {"digits beyond what a double holds exactly",
         "A,B, 99999999999999999999, 9007199254740993, 1.0000000000000000001, 4, 5, 6, 7, 8\r",
         true},
        {"an unterminated quote runs to the line's end", "A,\"B, 1, 2, 3, 4, 5, 6, 7, 8\r", false},
        {"a blank line", line + "\r\r" + line + "\r", false},
        {"a record over two lines", "A,B, 1, 2, 3\r 4, 5, 6, 7, 8\r" + line + "\r", false},
        {"eleven items", line + ", 9\r" + line + "\r", false},
        {"a short last line", line + "\rA,B, 1\r", false},
        {"a line beyond the item line limit",
         "A," + std::string(70000, 'x') + ", 1, 2, 3, 4, 5, 6, 7, 8\r" + line + "\r", false},
    };
    TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string rows;
        const std::int32_t n = quick(c.bytes, 10, rows);
        if (c.quick) {
            EXPECT_GE(n, 1);
            EXPECT_EQ(rows, itemByItem(c.bytes));
        } else {
            EXPECT_EQ(n, -1);
            // Stepping aside leaves no trace in the table.
            Reader empty;
            empty.table.ensureRows(3);
            EXPECT_EQ(rows, empty.rows());
        }
        expectSameFromFile(c.bytes, dir);
    }
}

TEST(WholeLineRecords, TheOlderNineFieldLayout) {
    const std::string bytes = "Acme,PR-10, 25.4, 22.5, 110.25, 3.126, 506.7, 12, 633.38\r"
                              "Bolt,QX, 1, 2, 3, 4, 5, 6, 7\r";
    std::string rows;
    EXPECT_EQ(quick(bytes, 9, rows), 2);
    EXPECT_EQ(rows, itemByItem(bytes));
    EXPECT_EQ(quick(bytes, 10, rows), -1);
    TempDir dir;
    expectSameFromFile(bytes, dir);
}

std::string randomName(std::mt19937_64& rng) {
    static const char* const kPieces[] = {"Acme",
                                          "\"Comma, Co\"",
                                          " Lead",
                                          "\"Tab\tName\"",
                                          "",
                                          "\xA5Roman\xD3",
                                          "Long-Name-That-Needs-The-Heap-1234"};
    return kPieces[rng() % std::size(kPieces)];
}

// (An empty number at a line's end is no item at all: the record would go on.)
std::string randomNumber(std::mt19937_64& rng) {
    static const char* const kPieces[] = {
        " 25.4", " 0", "-1.25", " 633.38", "12", " 1e3", "&H10", " 3.126 ", " 9007199254740993.5",
        ".5"};
    return kPieces[rng() % std::size(kPieces)];
}

// A document of rows lines, each one record, with mixed line ends; larger
// than a megabyte, so that its halves are read side by side.
std::string randomDocument(std::mt19937_64& rng, int rows) {
    static const char* const kEnds[] = {"\r", "\n", "\r\n"};
    std::string doc;
    for (int r = 0; r < rows; ++r) {
        doc += randomName(rng) + "," + randomName(rng);
        for (int k = 0; k < 8; ++k) {
            doc += "," + randomNumber(rng);
        }
        doc += kEnds[rng() % 3];
    }
    return doc;
}

TEST(WholeLineRecords, LargeRandomDocumentsMatchTheItemReader) {
    TempDir dir;
    for (std::uint64_t seed = 1; seed <= 3; ++seed) {
        SCOPED_TRACE(seed);
        std::mt19937_64 rng(seed);
        std::string doc = randomDocument(rng, 30000);
        ASSERT_GT(doc.size(), std::size_t{1} << 20);
        std::string rows;
        EXPECT_EQ(quick(doc, 10, rows), 30000);
        const std::string expected = itemByItem(doc);
        EXPECT_TRUE(rows == expected); // too long to print
        // Pieces far smaller than the file: lines and CR LF pairs cut at
        // every kind of place; and a piece larger than a part, which its
        // buffer holds whole through both passes.
        for (const std::size_t piece : {std::size_t{300}, std::size_t{4097}, doc.size()}) {
            EXPECT_EQ(quickInPieces(doc, 10, piece, rows), 30000) << piece;
            EXPECT_TRUE(rows == expected) << piece;
        }
        expectSameFromFile(doc, dir);

        // One odd line anywhere: the whole document goes the item-by-item way.
        const std::size_t at = doc.find('\r', rng() % doc.size());
        if (at != std::string::npos) {
            doc.insert(at + 1, "Odd,Line, 1, 2\r");
        }
        EXPECT_EQ(quick(doc, 10, rows), -1);
        EXPECT_EQ(quickInPieces(doc, 10, 4097, rows), -1);
        expectSameFromFile(doc, dir);
    }
}

TEST(WholeLineRecords, HalvesSplitBetweenCarriageReturnAndLineFeed) {
    // The first name grows until the middle byte is the LF of a CR LF pair.
    const std::string line = std::string(kClean) + "\r\n";
    int found = 0;
    for (int pad = 0; pad < 200 && found < 2; ++pad) {
        std::string doc = "A" + std::string(static_cast<std::size_t>(pad), 'x') +
                          line.substr(4); // "Acme" -> "Axx..."
        while (doc.size() < (std::size_t{1} << 20) + 100) {
            doc += line;
        }
        const std::size_t middle = doc.size() / 2;
        if (doc[middle - 1] != '\r' || doc[middle] != '\n') {
            continue;
        }
        ++found;
        std::string rows;
        const std::int32_t lines =
            static_cast<std::int32_t>(std::count(doc.begin(), doc.end(), '\n'));
        EXPECT_EQ(quick(doc, 10, rows), lines);
        EXPECT_TRUE(rows == itemByItem(doc)); // too long to print
    }
    EXPECT_GT(found, 0);
}

} // namespace
