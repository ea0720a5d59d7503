#include "documents/csv_export.h"
#include "documents/csv_import.h"
#include "documents/data_sheet_format.h"

#include "runtime/mac_roman.h"
#include "runtime/number_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

using namespace kestrune;

namespace {

using Rows = std::vector<std::string>;

// How a read went.
struct Outcome {
    bool ok = false;
    SkippedLines skipped;
    FileErrors errors;
};

struct Sheet {
    ModelTable table{nullptr};
    Outcome outcome;

    void row(std::string_view manufacturer, std::string_view model,
             std::array<double, kParamCount> v) {
        const std::int32_t r = ++table.fNum;
        table.ensureRows(r + 1);
        table.Manufacturer.set(r, manufacturer);
        table.ModelName.set(r, model);
        for (Param p : kAllParams) {
            table.setValue(p, r, v[static_cast<std::size_t>(p)]);
        }
    }
    std::string exported(CsvDialect dialect = CsvDialect::Comma) {
        std::ostringstream out;
        const WriteResult written = WriteCSVTable(table, out, dialect);
        EXPECT_TRUE(written.ok);
        EXPECT_TRUE(written.errors.empty());
        return out.str();
    }
    // Rows as "Number|Manufacturer|Model|Dia|...|Mms", numbers in their shortest exact text.
    Rows imported(const std::string& bytes) {
        std::istringstream in(bytes);
        EXPECT_TRUE(take(ReadCSVTable(std::move(table), in)));
        return rows();
    }
    // Takes what a read gave; whether it was ok.
    bool take(TableImport read) {
        table = std::move(read.table);
        outcome = {read.ok, std::move(read.skipped), std::move(read.errors)};
        return outcome.ok;
    }
    Rows rows() const {
        Rows rows;
        for (std::int32_t r = 1; r <= table.fNum; ++r) {
            std::string line = std::to_string(table.Number.get(r)) + "|" +
                               std::string(table.Manufacturer.get(r)) + "|" +
                               std::string(table.ModelName.get(r));
            for (Param p : kAllParams) {
                line += "|" + shortest(table.value(p, r));
            }
            rows.push_back(line);
        }
        return rows;
    }
    static std::string shortest(double x) {
        std::array<char, 32> text{};
        return std::string(text.data(), std::to_chars(text.begin(), text.end(), x).ptr);
    }
};

Rows importOf(const std::string& bytes) {
    return Sheet().imported(bytes);
}

const std::string kHeader = std::string(kCSVHeader) + "\r";

TEST(CSVExport, WritesRoundedRowsAndQuotedUTF8NamesThatReadBack) {
    Sheet s;
    s.row("Smith, Jones", "\tPR-1", {25.4, 18.25, 0.005, 5.12345, 220, 12.5, -633.375, 12.35});
    s.row(" Lead", "Caf\u00E9 \"Q\"", {1, 2, 3, 0.004, 5, 6, 7, 12.25});
    s.row("Two\rLines", "\"Quoted\"", {1, 2, 3, 4, 5, 6, 7, 8});
    std::ostringstream out;
    EXPECT_TRUE(WriteCSVTable(s.table, out).ok);

    // Ties go to the even step (Vd -633.375, Mms 12.35 and 12.25); 0.004 stays
    // below 2^-7 and takes the scientific style. Names are UTF-8, quoted by
    // the usual rule.
    EXPECT_EQ(
        out.str(),
        kHeader + "\"Smith, Jones\",\"\tPR-1\", 25.4, 18.25, 0, 5.123, 220, 12.5,-633.38, 12.4\r" +
            "\" Lead\",\"Caf\xC3\xA9 \"\"Q\"\"\", 1, 2, 3," + PSstr(0.004) + ", 5, 6, 7, 12.2\r" +
            "\"Two\rLines\",\"\"\"Quoted\"\"\", 1, 2, 3, 4, 5, 6, 7, 8\r");
    // The export does not change the table.
    EXPECT_EQ(s.table.Manufacturer.get(3), "Two\rLines");

    // A line break in a name reads back as a blank.
    EXPECT_EQ(importOf(out.str()),
              (Rows{"1|Smith, Jones|\tPR-1|25.4|18.25|0|5.123|220|12.5|-633.38|12.4",
                    "2| Lead|Caf\u00E9 \"Q\"|1|2|3|0.004|5|6|7|12.2",
                    "3|Two Lines|\"Quoted\"|1|2|3|4|5|6|7|8"}));
}

// Names of every awkward kind survive an export and an import exactly; the
// numbers come back as the export rounds them.
TEST(CSVExport, AwkwardNamesSurviveARoundTrip) {
    std::mt19937 random(11);
    const std::vector<std::string> alphabet = {"a",      "Z",      " ",      ",",      ";",
                                               "\t",     "\"",     "'",      "\u00E9", "\u2022",
                                               "\u201D", "\u02C7", "\u0141", "\u30C6", "M"};
    Sheet s;
    Rows expected;
    for (int r = 1; r <= 400; ++r) {
        std::string names[2];
        for (std::string& name : names) {
            for (std::size_t k = random() % 9; k > 0; --k) {
                name += alphabet[random() % alphabet.size()];
            }
        }
        const double x = static_cast<double>(static_cast<int>(random() % 200000) - 100000) / 7.0;
        s.row(names[0], names[1], {x, x, x, x, x, x, x, x});
        std::string row = std::to_string(r) + "|" + names[0] + "|" + names[1];
        for (Param p : kAllParams) {
            const std::array<int, kParamCount> scale = {100, 100, 100, 1000, 100, 100, 100, 10};
            row += "|" + Sheet::shortest(PSval(RoundedPSstr(x, scale[static_cast<int>(p)])));
        }
        expected.push_back(row);
    }
    s.row("Manufacturer", "", {});
    expected.push_back("401|Manufacturer||0|0|0|0|0|0|0|0");
    const std::string bytes = s.exported();
    Sheet back;
    EXPECT_EQ(back.imported(bytes), expected);
    EXPECT_EQ(back.outcome.skipped.count, 0);
}

// Each dialect of the export reads back as it was written, names with its
// separator included; the semicolon one has decimal commas and no blanks.
TEST(CSVExport, EveryDialectReadsBack) {
    Sheet s;
    s.row("Bolt; Inc.", "B\t1, \"x\"", {20.5, 18.25, 0.004, 5.123, -3.5, 6, 7, 12.25});
    s.row("\u0141\u00F3d\u017A", "", {1e9, 2, 3, 4, 5, 6, 7, 8});
    const Rows expected = s.imported(s.exported());
    for (const CsvDialectInfo& dialect : kCsvDialects) {
        SCOPED_TRACE(dialect.fileType);
        const std::string bytes = s.exported(dialect.dialect);
        EXPECT_EQ(Sheet().imported(bytes), expected);
        if (dialect.dialect == CsvDialect::SemicolonDecimalComma) {
            const std::size_t line = bytes.find('\r') + 1;
            EXPECT_EQ(bytes.substr(line, bytes.find('\r', line) - line),
                      "\"Bolt; Inc.\";\"B\t1, \"\"x\"\"\";20,5;18,25;0;5,123;-3,5;6;7;12,2");
        }
    }
}

TEST(CSVImport, RecognisesTheHeaderByItsExactFirstField) {
    const std::string row = "Acme,PR, 1, 2, 3, 4, 5, 6, 7, 8\r";
    const Rows one = {"1|Acme|PR|1|2|3|4|5|6|7|8"};
    EXPECT_EQ(importOf(kHeader + row), one);
    EXPECT_EQ(importOf("\"Manufacturer\",a,b,c,d,e,f,g,h,i\r" + row), one);
    EXPECT_EQ(importOf("\r\n  \n" + kHeader + row), one);
    EXPECT_EQ(importOf(row), one);
    // Any other first line is a model, or a line that is not one.
    Sheet s;
    EXPECT_EQ(s.imported("manufacturer" + kHeader.substr(12) + row), one);
    EXPECT_EQ(s.outcome.skipped.first, std::vector<std::int64_t>{1});
    EXPECT_EQ(s.imported(row + kHeader), one);
    EXPECT_EQ(s.outcome.skipped.first, std::vector<std::int64_t>{2});
}

TEST(CSVImport, KeepsTheNamesOfAUTF8FileAndConvertsMacRomanOnes) {
    const std::string bom = "\xEF\xBB\xBF";
    EXPECT_EQ(
        importOf(
            bom + std::string(kCSVHeader) + "\r\n" +
            "\"M\xC3\xBCller, Ltd\",Caf\xC3\xA9\xE2\x84\xA2,25.4,18,45,0.5,220,12.5,275,95.4\r\n" +
            "\xC5\x81\xC3\xB3\x64\xC5\xBA,\"A, B\",1,2,3,4,5,6,7,8\r\n"),
        (Rows{"1|M\xC3\xBCller, Ltd|Caf\xC3\xA9\xE2\x84\xA2|25.4|18|45|0.5|220|12.5|275|95.4",
              "2|\xC5\x81\xC3\xB3\x64\xC5\xBA|A, B|1|2|3|4|5|6|7|8"}));
    // Not UTF-8 as a whole: Mac OS Roman, every byte a character.
    EXPECT_EQ(importOf("Caf\x8E,\xC3\xA9\xA5,1,2,3,4,5,6,7,8"),
              Rows{"1|Caf\u00E9|\u221A\u00A9\u2022|1|2|3|4|5|6|7|8"});
    // Behind a byte-order mark, a byte that is not UTF-8 is still kept, as
    // the Mac OS Roman character it would be.
    EXPECT_EQ(importOf(bom + "\xC3\xA9\x8E,b,1,2,3,4,5,6,7,8"),
              Rows{"1|\u00E9\u00E9|b|1|2|3|4|5|6|7|8"});
}

// Lines in, rows and the numbers of the lines left out. Rows as
// "Manufacturer|Model|Dia|...|Mms".
TEST(CSVImport, OneModelALineAndTheOthersReported) {
    struct Case {
        const char* what;
        std::string bytes;
        Rows rows;
        std::vector<std::int64_t> skipped;
    };
    const std::string mm = "\xC3\x85udi\xC3\xB8 T\xC3\xAB"
                           "chnik, GmbH"; // UTF-8
    const std::vector<Case> cases = {
        {"a spreadsheet's quoting, CR LF",
         "Manufacturer,Model_Name,a,b,c,d,e,f,g,h\r\n"
         "\"Acme\",\"PR 250 \"\"Pro\"\", black\",20.5,18,45.1,6.3,220,12.5,275,95.4\r\n"
         "\"Bolt; Inc.\",\"B\t12\",1,2,3,4,5,6,7,8\r\n",
         {"Acme|PR 250 \"Pro\", black|20.5|18|45.1|6.3|220|12.5|275|95.4",
          "Bolt; Inc.|B\t12|1|2|3|4|5|6|7|8"},
         {}},
        {"tabs: an empty cell, a comma in a UTF-8 name, no header",
         mm + "\tPR-1\t20.5\t\t45\t6\t220\t12.5\t275\t95.4\n"
              "Acme\t\t1\t2\t3\t4\t5\t6\t7\t8\n",
         {mm + "|PR-1|20.5|0|45|6|220|12.5|275|95.4", "Acme||1|2|3|4|5|6|7|8"},
         {}},
        {"semicolons with decimal commas, and a point that can only be a decimal one",
         "Manufacturer;Model_Name;Dia(cm);Fp(Hz);Vap(Liter);Qmp;Sd(cm^2);Xmax(mm);Vd(cm^3);Mms("
         "grams)\r\n"
         "Acme;PR-1;20,5;18;45,1;0,5;220;12,5;275;95,4\r\n"
         "\"X; Y\";\"1,5\";1e3;-2;3;4;5;6;7;8\r\n"
         "Bad;Point;20.5;18;45;0;220;12;275;95\r\n",
         {"Acme|PR-1|20.5|18|45.1|0.5|220|12.5|275|95.4", "X; Y|1,5|1000|-2|3|4|5|6|7|8",
          "Bad|Point|20.5|18|45|0|220|12|275|95"},
         {}},
        {"blank lines, CR, LF and CR LF, no line end at the end",
         "\r\nA,B,1,2,3,4,5,6,7,8\r \t \nC,D,1,2,3,4,5,6,7,8\r\n\r\nE,F, 1 , 2,3,4,5,6,7,8",
         {"A|B|1|2|3|4|5|6|7|8", "C|D|1|2|3|4|5|6|7|8", "E|F|1|2|3|4|5|6|7|8"},
         {}},
        {"too few and too many fields (blank ones after the tenth aside), words and units in "
         "number columns",
         "A,B,1,2,3,4,5,6,7\n"
         "A,B,1,2,3,4,5,6,7,8,9\n"
         "A,B,1,2,3,4,5,6,7,8,\n"
         "A,B,12.5 mm,2,3,4,5,6,7,8\n"
         "A,B,abc,2,3,4,5,6,7,8\n"
         "A,B,,2,3,4,5,6,7,8\n"
         "A,B,1,2,3,4,5,6,7,1e400\n",
         {"A|B|1|2|3|4|5|6|7|8", "A|B|0|2|3|4|5|6|7|8"},
         {1, 2, 4, 5, 7}},
        {"a quoted line break: a blank, counted as a line",
         "\"Two\r\nLines\",\"x\ny\",1,2,3,4,5,6,7,8\r\nA,B,1\r\nC,D,1,2,3,4,5,6,7,8\r\n",
         {"Two Lines|x y|1|2|3|4|5|6|7|8", "C|D|1|2|3|4|5|6|7|8"},
         {4}},
        {"blanks before an unquoted field are kept; text after a closing quote unquotes it",
         "  Acme ,  \"PR, 1\"  ,1,2,3,4,5,6,7,8\n\"Big\" Box,x\"y\",1,2,3,4,5,6,7,8\n",
         {"  Acme |PR, 1|1|2|3|4|5|6|7|8", "\"Big\" Box|x\"y\"|1|2|3|4|5|6|7|8"},
         {}},
        {"a quote left open is a character",
         "A,B,1,2,3,4,5,6,7,8\n\"Open,B,1,2,3,4,5,6,7,8\nC,D,1,2,3,4,5,6,7,8\n",
         {"A|B|1|2|3|4|5|6|7|8", "\"Open|B|1|2|3|4|5|6|7|8", "C|D|1|2|3|4|5|6|7|8"},
         {}},
        {"a line far too long",
         "A,B,1,2,3,4,5,6,7,8\n\"" + std::string(70000, 'x') + "\n\"",
         {"A|B|1|2|3|4|5|6|7|8"},
         {2, 3}},
    };
    for (const Case& c : cases) {
        Sheet s;
        Rows rows;
        for (const std::string& row : s.imported(c.bytes)) {
            rows.push_back(row.substr(row.find('|') + 1));
        }
        EXPECT_EQ(rows, c.rows) << c.what;
        EXPECT_EQ(s.outcome.skipped.first, c.skipped) << c.what;
        EXPECT_EQ(s.outcome.skipped.count, static_cast<std::int64_t>(c.skipped.size())) << c.what;
        EXPECT_TRUE(s.outcome.errors.empty()) << c.what;
    }
}

TEST(CSVImport, NamesTheFirstTwentySkippedLinesAndCountsThemAll) {
    std::string bytes;
    for (int k = 1; k <= 50; ++k) {
        bytes += k % 2 == 0 ? "A,B,1,2,3,4,5,6,7,8\n" : "junk\n";
    }
    Sheet s;
    EXPECT_EQ(s.imported(bytes).size(), 25u);
    EXPECT_EQ(s.outcome.skipped.count, 25);
    ASSERT_EQ(s.outcome.skipped.first.size(), 20u);
    EXPECT_EQ(s.outcome.skipped.first.front(), 1);
    EXPECT_EQ(s.outcome.skipped.first.back(), 39);
}

// Any bytes: every line is a row, a line left out, or blank, never more.
TEST(CSVImport, SurvivesBrokenInput) {
    std::mt19937 random(7);
    const std::string bytesOfTables = ",;\t\"\r\n 0123456789.e-aZ\x8E\xC3\xA9";
    for (const bool tableLike : {true, false}) {
        std::string junk(300000, '\0');
        for (char& c : junk) {
            c = static_cast<char>(random());
            if (tableLike) {
                c = bytesOfTables[static_cast<unsigned char>(c) % bytesOfTables.size()];
            }
        }
        Sheet s;
        const std::int64_t lines = 1 + std::count(junk.begin(), junk.end(), '\n') +
                                   std::count(junk.begin(), junk.end(), '\r');
        s.imported(junk);
        EXPECT_LE(s.table.fNum + s.outcome.skipped.count, lines);
        EXPECT_EQ(s.table.Manufacturer.get(s.table.fNum + 1), "");
        for (const std::int64_t line : s.outcome.skipped.first) {
            EXPECT_TRUE(line >= 1 && line <= lines);
        }
    }
    Sheet empty;
    EXPECT_EQ(empty.imported(""), Rows{});
    EXPECT_EQ(empty.outcome.skipped.count, 0);
    EXPECT_TRUE(empty.outcome.errors.empty());
}

// What one reader gives that takes the bytes in one go, start to end.
void readInOneGo(Sheet& s, const std::string& bytes) {
    const bool utf8 =
        isValidUtf8(bytes) && std::any_of(bytes.begin(), bytes.end(), [](char c) { return c < 0; });
    ImportedRows rows(s.table, utf8 ? NameText::Utf8 : NameText::MacRoman,
                      TableLayoutOf(bytes, BytesEnd::File),
                      static_cast<std::int32_t>(std::count(bytes.begin(), bytes.end(), '\n') +
                                                std::count(bytes.begin(), bytes.end(), '\r') + 1));
    rows.read(bytes, BytesEnd::File);
    rows.finish();
    s.outcome = {true, rows.skipped(), {}};
}

// A file is read a piece at a time, its two halves at once: it must give
// the rows and skipped lines one reader gives, with every kind of line end,
// records over several lines, and the middle inside a quoted field or not.
TEST(CSVFiles, AFileReadsAsOneReaderReadsItsBytes) {
    const auto path = std::filesystem::temp_directory_path() /
                      ("kestrune-csv-bytes-" + std::to_string(::getpid()) + ".csv");
    std::string plain = std::string(kCSVHeader) + "\r\n";
    std::int64_t bad = 0;
    for (int r = 0; r < 120000; ++r) {
        // Lines left out on both sides of the middle, and fewer than twenty
        // before it: their numbers tell whether the halves are counted right.
        const bool numberless = r % 101 == 0 && (r < 1000 || r > 100000);
        bad += numberless ? 1 : 0;
        plain += (r % 13 == 0 ? "\"Maker,\r\n\"\"" + std::to_string(r % 7) + "\"\"\""
                              : "Maker " + std::to_string(r % 7)) +
                 ",PR-" + std::to_string(r) + ",1." + std::to_string(r % 100) +
                 (numberless ? ",x" : ",2") + ",3,4,5,6,7," + std::to_string(r) +
                 (r % 3 == 0   ? "\r"
                  : r % 3 == 1 ? "\n"
                               : "\r\n");
    }
    ASSERT_GT(plain.size(), std::size_t{4} << 20); // more than one piece of the reads
    const std::string accented = "Caf\xC3\xA9,\xE2\x80\x9CX\xE2\x80\x9D,1,2,3,4,5,6,7,8\r" + plain;
    // A quoted field of many lines around the middle.
    const std::string half = plain.substr(0, plain.find('\n', plain.size() / 3) + 1);
    const std::string quotedMiddle =
        half + "\"Long" + std::string(30000, '\n') + "\",x,1,2,3,4,5,6,7,8\n" + half;
    struct Case {
        const std::string* bytes;
        std::int64_t skipped;
    };
    for (const Case& c : {Case{&plain, bad}, Case{&accented, bad + 1}, Case{&quotedMiddle, -1}}) {
        std::ofstream(path, std::ios::binary) << *c.bytes;
        Sheet fromFile;
        ASSERT_TRUE(fromFile.take(ReadCSVTable(std::move(fromFile.table), path.string())));
        const Outcome& outcome = fromFile.outcome;
        Sheet inOneGo;
        readInOneGo(inOneGo, *c.bytes);
        if (c.skipped >= 0) {
            // Behind a first model, the header is a line that is not one.
            EXPECT_EQ(inOneGo.outcome.skipped.count, c.skipped);
            EXPECT_EQ(inOneGo.table.fNum, 120000 + (c.bytes == &accented ? 1 : 0) - bad);
        }
        EXPECT_TRUE(fromFile.rows() == inOneGo.rows()); // too long to print
        EXPECT_EQ(outcome.skipped.count, inOneGo.outcome.skipped.count);
        EXPECT_EQ(outcome.skipped.first, inOneGo.outcome.skipped.first);
        EXPECT_TRUE(outcome.errors.empty());
        EXPECT_EQ(fromFile.table.Manufacturer.get(fromFile.table.fNum + 1), "");
        EXPECT_EQ(fromFile.table.value(Param::Mms, fromFile.table.fNum + 2), 0.0);
    }
    std::filesystem::remove(path);
}

// Large tables of one model a line are read whole lines at a time; they must
// give what the item-by-item reader of documents gives for the same lines.
TEST(CSVFiles, LargeTablesReadAsTheItemReaderReadsThem) {
    std::mt19937_64 rng(3);
    std::string body;
    for (int r = 0; r < 30000; ++r) {
        const std::string number = std::to_string(rng() % 100000);
        body += (r % 5 == 0 ? "\"Maker, " + std::to_string(r % 7) + "\"" : "Maker") + "," +
                (r % 11 == 0 ? "\" PR\t" + number + "\"" : "PR-" + number);
        for (int k = 0; k < kParamCount; ++k) {
            body += "," + std::to_string(static_cast<double>(rng() % 1000000) / 1000.0 - 10.0);
        }
        body += r % 2 == 0 ? "\r\n" : "\n";
    }
    Sheet reference;
    std::istringstream in(body);
    reference.table = ReadDataSheet(std::move(reference.table), in).table;
    ASSERT_EQ(reference.table.fNum, 30000);
    const auto path = std::filesystem::temp_directory_path() /
                      ("kestrune-csv-whole-" + std::to_string(::getpid()) + ".csv");
    for (const std::string& bytes : {body, std::string(kCSVHeader) + "\r\n" + body}) {
        std::ofstream(path, std::ios::binary) << bytes;
        Sheet fromFile;
        ASSERT_TRUE(fromFile.take(ReadCSVTable(std::move(fromFile.table), path.string())));
        EXPECT_TRUE(fromFile.rows() == reference.rows()); // too long to print
        EXPECT_EQ(fromFile.table.Manufacturer.get(30001), "");
    }
    std::filesystem::remove(path);
}

TEST(CSVFiles, DialogFiltersAndProposedNames) {
    EXPECT_TRUE(OpenDialogCSVFilter("/x/data.csv", false));
    EXPECT_TRUE(OpenDialogCSVFilter("/x/data.txt", false));
    EXPECT_FALSE(OpenDialogCSVFilter("/x/DATA.CSV", false));
    EXPECT_TRUE(OpenDialogCSVFilter("/x/folder", true));
    EXPECT_EQ(ImportedDocumentName("/x/y.csv/Cat.TXT"), "Cat.kedata");
    EXPECT_EQ(ProposedCSVExportName("untitled.kedata"), "untitled.csv");
    EXPECT_EQ(ProposedCSVExportName("Cat.KEDATA"), "Cat.csv");
    EXPECT_EQ(ProposedCSVExportName("Template.kedatasta"), "Template.kedatasta");
}

} // namespace
