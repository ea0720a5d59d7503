#include "documents/csv_export.h"
#include "documents/csv_import.h"
#include "documents/data_sheet_format.h"

#include "model/app_state.h"
#include "runtime/file_errors.h"
#include "runtime/number_text.h"
#include "support/fake_platform.h"

#include <gtest/gtest.h>

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

struct Sheet {
    test::FakePlatform platform;
    AppState app{platform};

    void row(std::string_view manufacturer, std::string_view model,
             std::array<double, kParamCount> v) {
        const std::int32_t r = ++app.table.fNum;
        app.table.ensureRows(r + 1);
        app.table.Manufacturer.set(r, manufacturer);
        app.table.ModelName.set(r, model);
        for (Param p : kAllParams) {
            app.table.setValue(p, r, v[static_cast<std::size_t>(p)]);
        }
    }
    std::string exported() {
        std::ostringstream out;
        EXPECT_TRUE(WriteCSVTable(app, out).ok);
        return out.str();
    }
    // Rows as "Number|Manufacturer|Model|Dia|...|Mms", numbers in their shortest exact text.
    Rows imported(const std::string& bytes) {
        std::istringstream in(bytes);
        EXPECT_TRUE(ReadCSVTable(app, in));
        return rows();
    }
    Rows rows() const {
        Rows rows;
        for (std::int32_t r = 1; r <= app.table.fNum; ++r) {
            std::string line = std::to_string(app.table.Number.get(r)) + "|" +
                               std::string(app.table.Manufacturer.get(r)) + "|" +
                               std::string(app.table.ModelName.get(r));
            for (Param p : kAllParams) {
                std::array<char, 32> text{};
                line +=
                    "|" +
                    std::string(text.data(),
                                std::to_chars(text.begin(), text.end(), app.table.value(p, r)).ptr);
            }
            rows.push_back(line);
        }
        return rows;
    }
};

Rows importOf(const std::string& bytes) {
    return Sheet().imported(bytes);
}

const std::string kHeader = std::string(kCSVHeader) + "\r";

TEST(CSVExport, WritesRoundedRowsAndQuotedNamesThatReadBack) {
    Sheet s;
    s.row("Smith, Jones", "\tPR-1", {25.4, 18.25, 0.005, 5.12345, 220, 12.5, -633.375, 12.35});
    s.row(" Lead", "Caf\x8E \"Q\"", {1, 2, 3, 0.004, 5, 6, 7, 12.25});
    s.row("Two\rLines", "\"Quoted\"", {1, 2, 3, 4, 5, 6, 7, 8});
    s.app.doc.FileOpenFlag = 1;
    s.app.doc.fileName1 = "cat.kedata";
    std::ostringstream out;
    const ExportOutcome outcome = WriteCSVTable(s.app, out);

    // Ties go to the even step (Vd -633.375, Mms 12.35 and 12.25); 0.004 stays
    // below 2^-7 and takes the scientific style.
    EXPECT_EQ(out.str(),
              kHeader +
                  "\"Smith, Jones\",\"\tPR-1\", 25.4, 18.25, 0, 5.123, 220, 12.5,-633.38, 12.4\r" +
                  "\" Lead\",Caf\x8E \"Q\", 1, 2, 3," + PSstr(0.004) + ", 5, 6, 7, 12.2\r" +
                  "Two Lines,\xD2Quoted\xD3, 1, 2, 3, 4, 5, 6, 7, 8\r");
    EXPECT_EQ(outcome.alteredNameRows, std::vector<std::int32_t>{3});
    // The export changes neither the table nor the document.
    EXPECT_EQ(s.app.table.Manufacturer.get(3), "Two\rLines");
    EXPECT_EQ(s.app.doc.DirtyFlag, 0);
    EXPECT_EQ(s.app.doc.fileName1, "cat.kedata");

    EXPECT_EQ(importOf(out.str()),
              (Rows{"1|Smith, Jones|\tPR-1|25.4|18.25|0|5.123|220|12.5|-633.38|12.4",
                    "2| Lead|Caf\x8E \"Q\"|1|2|3|0.004|5|6|7|12.2",
                    "3|Two Lines|\xD2Quoted\xD3|1|2|3|4|5|6|7|8"}));
}

TEST(CSVImport, RecognisesTheHeaderByItsExactFirstField) {
    const std::string row = "Acme,PR, 1, 2, 3, 4, 5, 6, 7, 8\r";
    const Rows one = {"1|Acme|PR|1|2|3|4|5|6|7|8"};
    EXPECT_EQ(importOf(kHeader + row), one);
    EXPECT_EQ(importOf("\"Manufacturer\",a,b,c,d,e,f,g,h,i\r" + row), one);
    EXPECT_EQ(importOf(row), one);
    EXPECT_EQ(importOf("manufacturer" + kHeader.substr(12) + row),
              (Rows{"1|manufacturer|Model_Name|0|0|0|0|0|0|0|0", "2|Acme|PR|1|2|3|4|5|6|7|8"}));
}

TEST(CSVImport, ReadsASpreadsheetsUTF8FileAndKeepsMacRomanBytes) {
    const std::string bom = "\xEF\xBB\xBF";
    EXPECT_EQ(
        importOf(
            bom + std::string(kCSVHeader) + "\r\n" +
            "\"M\xC3\xBCller, Ltd\",Caf\xC3\xA9\xE2\x84\xA2,25.4,18,45,0.5,220,12.5,275,95.4\r\n" +
            "\xC5\x81\xC3\xB3\x64\xC5\xBA,\"A, B\",1,2,3,4,5,6,7,8\r\n"),
        (Rows{"1|M\x9Fller, Ltd|Caf\x8E\xAA|25.4|18|45|0.5|220|12.5|275|95.4",
              "2|?\x97\x64?|A, B|1|2|3|4|5|6|7|8"}));
    // Not UTF-8 as a whole: Mac OS Roman, byte for byte.
    EXPECT_EQ(importOf("Caf\x8E,\xC3\xA9\xA5,1,2,3,4,5,6,7,8"),
              Rows{"1|Caf\x8E|\xC3\xA9\xA5|1|2|3|4|5|6|7|8"});
    // Behind a byte-order mark, bytes that are not UTF-8 become '?'.
    EXPECT_EQ(ImportedTextToMacRoman(bom + "\xC3\xA9\x8E"), "\x8E?");
}

TEST(CSVImport, ItemsFollowTheSeparatorAndLineEndRules) {
    const Rows two = {"1|Acme|PR|1|2|3|4|5|6|7|8", "2|B|Q|0|0|9|0|0|0|0|1"};
    EXPECT_EQ(importOf("Acme,PR,1,2,3,4,5,6,7,8\nB,Q,,,9,,,,,1"), two);
    EXPECT_EQ(importOf("Acme\t\tPR\t1\t2\t3\t4\t5\t6\t7\t8\r\nB,Q,,,9,,,,,1\r\n"), two);
    // A line does not bound a model: a missing field takes the next one, and
    // what is left on the last line when the file has ended is not read.
    EXPECT_EQ(importOf("Acme,PR,1,2,3,4,5,6,7\rB,Q,1,2,3,4,5,6,7,8\rC,R,1,2,3,4,5,6,7,8\r"),
              (Rows{"1|Acme|PR|1|2|3|4|5|6|7|0", "2|Q|1|2|3|4|5|6|7|8|0"}));
}

TEST(CSVImport, SurvivesBrokenInput) {
    std::mt19937 random(7);
    for (const bool lineEnds : {true, false}) {
        std::string junk(300000, '\0');
        for (char& c : junk) {
            c = static_cast<char>(random());
            c = !lineEnds && (c == '\r' || c == '\n') ? ',' : c;
        }
        Sheet s;
        s.imported(junk);
        EXPECT_GE(s.app.table.fNum, 1);
        EXPECT_LE(s.app.table.fNum, 300000 / 10 + 1);
        EXPECT_EQ(s.app.table.Manufacturer.get(s.app.table.fNum + 1), "");
    }
    Sheet empty;
    EXPECT_EQ(empty.imported(""), Rows{});
    EXPECT_EQ(empty.platform.fileErrors.size(), 1u); // the end of the file, once
}

TEST(CSVFiles, ImportMakesAnUnsavedDocumentNamedAfterTheFile) {
    const auto folder =
        std::filesystem::temp_directory_path() / ("kestrune-csv-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const auto file = [&](const std::string& name) {
        std::ofstream((folder / name).string(), std::ios::binary)
            << "A\tB\t1\t2\t3\t4\t5\t6\t7\t8\n";
        return (folder / name).string();
    };
    Sheet s;
    s.app.sel.cellH = 3;
    s.app.sel.cellV = 7;
    s.app.sel.ScrollValue = 4;
    EXPECT_FALSE(ClickOpenCSVFile(s.app, file("DATA.CSV")));
    EXPECT_EQ(s.app.table.fNum, 0);
    ASSERT_TRUE(ClickOpenCSVFile(s.app, file("data.txt")));
    EXPECT_EQ(s.app.table.fNum, 1);
    EXPECT_EQ(s.app.doc.fileName1, "data.kedata");
    EXPECT_EQ(s.app.doc.FileOpenFlag, 0);
    EXPECT_EQ(s.app.doc.DirtyFlag, 1);
    EXPECT_EQ(s.app.snap.prefNum, 1);
    EXPECT_EQ(std::vector<std::int32_t>(
                  {s.app.sel.cellH, s.app.sel.cellV, s.app.sel.cellVshift, s.app.sel.ScrollValue}),
              std::vector<std::int32_t>({0, 1, 1, 0}));

    // Files that cannot be read or written: the alert, and nothing changes.
    EXPECT_FALSE(ImportCSVTable(s.app, (folder / "gone.csv").string()));
    EXPECT_FALSE(WriteCSVTable(s.app, (folder / "no" / "x.csv").string()).ok);
    EXPECT_EQ(s.platform.fileErrors.size(), 2u);
    EXPECT_EQ(s.platform.fileErrors[0].message, FileErrorMessage(1, FileErrorCode::kNoAccess));
    EXPECT_EQ(s.app.doc.fileName1, "data.kedata");
    std::filesystem::remove_all(folder);
}

// A file reads as its bytes do from memory: plain ASCII straight from the
// file, other text converted first; with and without a header, with every
// kind of line end, and long enough to span many read buffers.
TEST(CSVFiles, AFileReadsAsItsBytesDoInMemory) {
    const auto path = std::filesystem::temp_directory_path() /
                      ("kestrune-csv-bytes-" + std::to_string(::getpid()) + ".csv");
    std::string plain = std::string(kCSVHeader) + "\r\n";
    for (int r = 0; r < 40000; ++r) {
        plain += "\"Maker, " + std::to_string(r % 7) + "\",PR-" + std::to_string(r) + ",1." +
                 std::to_string(r % 100) + ",2,3,4,5,6,7," + std::to_string(r) +
                 (r % 3 == 0   ? "\r"
                  : r % 3 == 1 ? "\n"
                               : "\r\n");
    }
    const std::string accentedText =
        "Caf\xC3\xA9,\xE2\x80\x9CX\xE2\x80\x9D,1,2,3,4,5,6,7,8\r" + plain;
    const std::string& plainText = plain;
    for (const std::string* bytes : {&plainText, &accentedText}) {
        std::ofstream(path, std::ios::binary) << *bytes;
        Sheet fromFile;
        ASSERT_TRUE(ReadCSVTable(fromFile.app, path.string()));
        const Rows expected = importOf(*bytes);
        // Without the header first, the header reads as one more model.
        EXPECT_EQ(expected.size(), bytes == &plainText ? 40000u : 40002u);
        EXPECT_EQ(fromFile.rows(), expected);
        EXPECT_TRUE(fromFile.platform.fileErrors.empty());
        EXPECT_EQ(fromFile.app.table.Manufacturer.get(fromFile.app.table.fNum + 1), "");
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
    ReadDataSheet(reference.app, in);
    ASSERT_EQ(reference.app.table.fNum, 30000);
    const auto path = std::filesystem::temp_directory_path() /
                      ("kestrune-csv-whole-" + std::to_string(::getpid()) + ".csv");
    for (const std::string& bytes : {body, std::string(kCSVHeader) + "\r\n" + body}) {
        std::ofstream(path, std::ios::binary) << bytes;
        Sheet fromFile;
        ASSERT_TRUE(ReadCSVTable(fromFile.app, path.string()));
        EXPECT_TRUE(fromFile.rows() == reference.rows()); // too long to print
        EXPECT_EQ(fromFile.app.table.Manufacturer.get(30001), "");
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
