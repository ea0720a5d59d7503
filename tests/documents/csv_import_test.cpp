#include "documents/csv_import.h"

#include "core/app_state.h"
#include "documents/csv_export.h"
#include "runtime/file_errors.h"
#include "support/fake_platform.h"

#include <gtest/gtest.h>

#include <array>
#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

using namespace kestrune;

namespace {

// Rows 1 to fNum as "Number|Manufacturer|Model|Dia|...|Mms", each number in
// the shortest text that reads back to it exactly.
std::vector<std::string> rows(const ModelTable& t) {
    std::vector<std::string> out;
    for (std::int32_t r = 1; r <= t.fNum; ++r) {
        std::string line = std::to_string(t.Number.get(r)) + "|" +
                           std::string(t.Manufacturer.get(r)) + "|" +
                           std::string(t.ModelName.get(r));
        for (Param p : kAllParams) {
            std::array<char, 32> text{};
            const auto end =
                std::to_chars(text.data(), text.data() + text.size(), t.value(p, r)).ptr;
            line += "|" + std::string(text.data(), end);
        }
        out.push_back(line);
    }
    return out;
}

struct Import {
    test::FakePlatform platform;
    AppState app{platform};

    explicit Import(const std::string& bytes) {
        std::istringstream in(bytes);
        EXPECT_TRUE(ReadCSVTable(app, in));
    }
    std::vector<std::string> table() const { return rows(app.table); }
};

class TempFolder {
public:
    TempFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "kestrune-csv-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("mkdtemp");
        }
        path_ = pattern;
    }
    ~TempFolder() { std::filesystem::remove_all(path_); }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::string write(const std::string& name, const std::string& bytes) const {
        const std::string file = (path_ / name).string();
        std::ofstream(file, std::ios::binary) << bytes;
        return file;
    }

private:
    std::filesystem::path path_;
};

const std::string kHeader = std::string(kCSVHeader) + "\r";

TEST(CSVImport, ReadsBackItsOwnExportInFileOrder) {
    test::FakePlatform platform;
    AppState source(platform);
    ModelTable& t = source.table;
    const std::vector<std::array<std::string, 2>> names = {
        {"Smith, Jones", "\tPR-1"}, {" Lead", "Caf\x8E"}, {"Acme", "PR \"Q\""}};
    t.fNum = static_cast<std::int32_t>(names.size());
    t.ensureRows(t.fNum + 1);
    for (std::int32_t r = 1; r <= t.fNum; ++r) {
        t.Number[r] = 4 - r; // a sorted sheet: the file keeps the sheet's order
        t.Manufacturer.set(r, names[static_cast<std::size_t>(r - 1)][0]);
        t.ModelName.set(r, names[static_cast<std::size_t>(r - 1)][1]);
        t.setValue(Param::Dia, r, 25.4 * r);
        t.setValue(Param::Qmp, r, r == 1 ? 0.004 : 5.12345);
        t.setValue(Param::Mms, r, 12.35);
        t.setValue(Param::Vd, r, -633.375);
    }
    std::ostringstream out;
    ASSERT_TRUE(WriteCSVTable(source, out).ok);

    Import in(out.str());
    EXPECT_EQ(in.table(),
              (std::vector<std::string>{"1|Smith, Jones|\tPR-1|25.4|0|0|0.004|0|0|-633.38|12.4",
                                        "2| Lead|Caf\x8E|50.8|0|0|5.123|0|0|-633.38|12.4",
                                        "3|Acme|PR \"Q\"|76.2|0|0|5.123|0|0|-633.38|12.4"}));
    EXPECT_TRUE(in.platform.fileErrors.empty());
}

TEST(CSVImport, RecognisesTheHeaderByItsExactFirstField) {
    const std::string row = "Acme,PR, 1, 2, 3, 4, 5, 6, 7, 8\r";
    const std::string expected = "1|Acme|PR|1|2|3|4|5|6|7|8";
    EXPECT_EQ(Import(kHeader + row).table(), std::vector<std::string>{expected});
    EXPECT_EQ(Import("\"Manufacturer\",a,b,c,d,e,f,g,h,i\r" + row).table(),
              std::vector<std::string>{expected});
    EXPECT_EQ(Import(row).table(), std::vector<std::string>{expected});
    // Any other spelling is a row of data.
    EXPECT_EQ(Import("manufacturer,Model_Name,Dia(cm),Fp(Hz),Vap(Liter),Qmp,Sd(cm^2),Xmax(mm),Vd("
                     "cm^3),Mms(grams)\r" +
                     row)
                  .table(),
              (std::vector<std::string>{"1|manufacturer|Model_Name|0|0|0|0|0|0|0|0",
                                        "2|" + expected.substr(2)}));
}

TEST(CSVImport, ReadsASpreadsheetsUTF8FileWithByteOrderMarkAndCRLF) {
    const std::string file =
        "\xEF\xBB\xBF" + std::string(kCSVHeader) + "\r\n" +
        "\"M\xC3\xBCller, Ltd\",Caf\xC3\xA9\xE2\x84\xA2,25.4,18,45,0.5,220,12.5,275,95.4\r\n" +
        "\xC5\x81\xC3\xB3\x64\xC5\xBA,\"A, B\",1,2,3,4,5,6,7,8\r\n";
    Import in(file);
    EXPECT_EQ(in.table(), (std::vector<std::string>{
                              "1|M\x9Fller, Ltd|Caf\x8E\xAA|25.4|18|45|0.5|220|12.5|275|95.4",
                              "2|?\x97\x64?|A, B|1|2|3|4|5|6|7|8"}));
    EXPECT_TRUE(in.platform.fileErrors.empty());
}

TEST(CSVImport, KeepsMacRomanBytesAsTheyAre) {
    // 0x8E is é in Mac OS Roman and no UTF-8; 0xC3 0xA9 after it stays too.
    EXPECT_EQ(Import("Caf\x8E,\xC3\xA9\xA5,1,2,3,4,5,6,7,8\r").table(),
              std::vector<std::string>{"1|Caf\x8E|\xC3\xA9\xA5|1|2|3|4|5|6|7|8"});
    EXPECT_EQ(ImportedTextToMacRoman("plain ascii"), "plain ascii");
    // A byte-order mark declares UTF-8: stray bytes after it become '?'.
    EXPECT_EQ(ImportedTextToMacRoman("\xEF\xBB\xBF\xC3\xA9\x8E"), "\x8E?");
}

TEST(CSVImport, ItemsFollowTheSeparatorAndLineEndRules) {
    const std::vector<std::string> expected = {"1|Acme|PR|1|2|3|4|5|6|7|8",
                                               "2|B|Q|0|0|9|0|0|0|0|1"};
    // Commas keep empty fields; runs of tabs collapse; LF, CR and CR LF end lines alike;
    // the last line needs no line end.
    EXPECT_EQ(Import("Acme,PR,1,2,3,4,5,6,7,8\nB,Q,,,9,,,,,1").table(), expected);
    EXPECT_EQ(Import("Acme\t\tPR\t1\t2\t3\t4\t5\t6\t7\t8\r\nB,Q,,,9,,,,,1\r\n").table(), expected);
    // A line does not bound a model: a missing field takes the next one, and
    // the items left on the last line when the file has ended are not read.
    EXPECT_EQ(Import("Acme,PR,1,2,3,4,5,6,7\rB,Q,1,2,3,4,5,6,7,8\rC,R,1,2,3,4,5,6,7,8\r").table(),
              (std::vector<std::string>{"1|Acme|PR|1|2|3|4|5|6|7|0", "2|Q|1|2|3|4|5|6|7|8|0"}));
}

TEST(CSVImport, ABlankLineAtTheEndStartsOneMoreEmptyRow) {
    Import in("Acme,PR,1,2,3,4,5,6,7,8\r\r");
    ASSERT_EQ(in.app.table.fNum, 2);
    EXPECT_EQ(in.table()[1], "2|||0|0|0|0|0|0|0|0");
    ASSERT_FALSE(in.platform.fileErrors.empty());
    EXPECT_EQ(in.platform.fileErrors.front().message,
              FileErrorMessage(1, FileErrorCode::kEndOfFile));
}

TEST(CSVImport, SurvivesBinaryJunk) {
    std::mt19937 random(7);
    for (const bool lineEnds : {true, false}) {
        std::string junk(300000, '\0');
        for (char& c : junk) {
            c = static_cast<char>(random());
            if (!lineEnds && (c == '\r' || c == '\n')) {
                c = ',';
            }
        }
        Import in(junk);
        EXPECT_GE(in.app.table.fNum, 1);
        EXPECT_LE(in.app.table.fNum, 300000 / 10 + 1);
        EXPECT_EQ(in.app.table.Manufacturer.get(in.app.table.fNum + 1), "");
    }
    // Nothing but separators: every comma is an empty item.
    Import commas(std::string(100000, ','));
    EXPECT_GE(commas.app.table.fNum, 1);
    EXPECT_LE(commas.app.table.fNum, 100000 / 10);
    // Nothing at all: one end-of-file report, no rows.
    Import empty("");
    EXPECT_EQ(empty.app.table.fNum, 0);
    EXPECT_EQ(empty.platform.fileErrors.size(), 1u);
}

TEST(CSVImport, TheImportedFileBecomesAnUnsavedDocument) {
    TempFolder folder;
    test::FakePlatform platform;
    AppState app(platform);
    app.doc.fileUrl = "/old/place.kedata";
    app.sel.cellV = 7;
    app.sel.cellH = 3;
    app.sel.ScrollValue = 4;
    const std::string path =
        folder.write("data.txt", "A\tB\t1\t2\t3\t4\t5\t6\t7\t8\nC\tD\t1\t2\t3\t4\t5\t6\t7\t8\n");

    ASSERT_TRUE(ImportCSVTable(app, path));
    EXPECT_EQ(app.table.fNum, 2);
    EXPECT_EQ(app.doc.fileName1, "data.kedata");
    EXPECT_EQ(app.doc.FileOpenFlag, 0);
    EXPECT_EQ(app.doc.DirtyFlag, 1);
    EXPECT_EQ(app.doc.fileUrl, "");
    EXPECT_EQ(app.snap.prefNum, 2);
    EXPECT_EQ(app.sel.cellV, 1);
    EXPECT_EQ(app.sel.cellH, 0);
    EXPECT_EQ(app.sel.cellVshift, 1);
    EXPECT_EQ(app.sel.ScrollValue, 0);

    // A missing file: the alert, and nothing changes.
    EXPECT_FALSE(ImportCSVTable(app, folder.write("x.txt", "") + ".gone"));
    ASSERT_EQ(platform.fileErrors.size(), 1u);
    EXPECT_EQ(platform.fileErrors[0].message, FileErrorMessage(1, FileErrorCode::kNoAccess));
    EXPECT_EQ(app.table.fNum, 2);
    EXPECT_EQ(app.doc.fileName1, "data.kedata");
}

TEST(CSVImport, TheDesktopAndTheDialogOfferOnlyCSVAndTXTFiles) {
    TempFolder folder;
    test::FakePlatform platform;
    AppState app(platform);
    const std::string row = "A,B,1,2,3,4,5,6,7,8\r";
    EXPECT_FALSE(ClickOpenCSVFile(app, folder.write("DATA.CSV", row)));
    EXPECT_FALSE(ClickOpenCSVFile(app, folder.write("data.kedata", row)));
    EXPECT_EQ(app.table.fNum, 0);
    EXPECT_TRUE(ClickOpenCSVFile(app, folder.write("data.csv", row)));
    EXPECT_EQ(app.table.fNum, 1);
    EXPECT_EQ(app.doc.fileName1, "data.kedata");

    EXPECT_TRUE(OpenDialogCSVFilter("/x/data.csv", false));
    EXPECT_TRUE(OpenDialogCSVFilter("/x/data.txt", false));
    EXPECT_FALSE(OpenDialogCSVFilter("/x/DATA.CSV", false));
    EXPECT_FALSE(OpenDialogCSVFilter("/x/data.csv.bak", false));
    EXPECT_TRUE(OpenDialogCSVFilter("/x/folder", true));

    EXPECT_EQ(ImportedDocumentName("/x/y.z/Cat.TXT"), "Cat.kedata");
    EXPECT_EQ(ImportedDocumentName("/x/table.tsv"), "table.tsv");
}

} // namespace
