// Lines of a table that are not one model are left out of an import and
// named in one note after the sheet is shown.

#include "application/import_report.h"
#include "application/open_documents.h"
#include "support/sheet_session.h"

#include <gtest/gtest.h>

using namespace kestrune;

namespace {

const std::string kExplanation =
    "Each line must hold one model: a manufacturer, a model name and eight numbers.\n";

TEST(ImportReport, NamesTheFirstTwentyLinesAndCountsTheRest) {
    std::vector<std::int64_t> twenty;
    for (std::int64_t line = 2; line <= 40; line += 2) {
        twenty.push_back(line);
    }
    struct Case {
        SkippedLines skipped;
        bool noneImported;
        std::string message;
        std::string details;
    };
    const std::vector<Case> cases = {
        {{1, {7}, {{7, "9 fields, 10 expected"}}},
         false,
         "1 line of \u201Cdata.csv\u201D was not imported.",
         "Line 7: 9 fields, 10 expected\nLine 7."},
        {{3, {4, 9, 17}, {}},
         false,
         "3 lines of \u201Cdata.csv\u201D were not imported.",
         "Lines 4, 9, 17."},
        {{25, twenty, {}},
         false,
         "25 lines of \u201Cdata.csv\u201D were not imported.",
         "Lines 2, 4, 6, 8, 10, 12, 14, 16, 18, 20, 22, 24, 26, 28, 30, 32, 34, 36, 38, 40, and 5 "
         "more."},
        {{2, {1, 2}, {}},
         true,
         "No line of \u201Cdata.csv\u201D could be imported.",
         "Lines 1, 2."},
    };
    for (const Case& c : cases) {
        const SkippedLinesNote note =
            DescribeSkippedLines("/home/u/data.csv", c.skipped, c.noneImported);
        EXPECT_EQ(note.message, c.message);
        EXPECT_EQ(note.details, kExplanation + c.details);
    }
}

class ImportedTable : public test::SheetSession {};

TEST_F(ImportedTable, BadLinesAreNamedOnceTheSheetIsShown) {
    const std::string csv = dir.file("data.csv");
    test::writeFile(csv, "Manufacturer,Model_Name,a,b,c,d,e,f,g,h\r\n"
                         "Acme,PR-1,1,2,3,4,5,6,7,8\r\n"
                         "Acme,PR-2,1,2,3\r\n"
                         "Bolt,B-1,12.5 mm,2,3,4,5,6,7,8\r\n"
                         "Bolt,B-2,1,2,3,4,5,6,7,8\r\n");
    handOver({csv});
    EXPECT_EQ(app.table.fNum, 2);
    EXPECT_EQ(app.table.ModelName.get(2), "B-2");
    ASSERT_EQ(platform.notes,
              std::vector<std::string>{"2 lines of \u201Cdata.csv\u201D were not imported.\n" +
                                       kExplanation +
                                       "Line 3: 5 fields, 10 expected\n"
                                       "Line 4: Dia \u201C12.5 mm\u201D is not a number\n"
                                       "Lines 3, 4."});
    const std::string calls = callsJoined();
    EXPECT_LT(calls.find("showSheetWindow"), calls.find("showNote"));
}

TEST_F(ImportedTable, AFileWithoutOneModelLeavesTheSheetAsItWas) {
    const std::string good = dir.file("good.csv");
    test::writeFile(good, "Acme,PR-1,1,2,3,4,5,6,7,8\n");
    handOver({good});
    ASSERT_EQ(app.table.fNum, 1);
    const std::string bad = dir.file("bad.txt");
    test::writeFile(bad, "Acme;PR-1;1,5\nwords\n");
    platform.saveChangesAnswers = {SaveChangesAnswer::DontSave}; // an import is unsaved
    handOver({bad});
    EXPECT_EQ(platform.notes, std::vector<std::string>{"No line of \u201Cbad.txt\u201D could be "
                                                       "imported.\n" +
                                                       kExplanation +
                                                       "Line 1: 2 fields, 10 expected\n"
                                                       "Line 2: 1 field, 10 expected\n"
                                                       "Lines 1, 2."});
    EXPECT_EQ(app.table.fNum, 1);
    EXPECT_EQ(app.table.Manufacturer.get(1), "Acme");
    EXPECT_EQ(app.doc.fileName1, "good.kedata");
    EXPECT_TRUE(usable(MenuNum::kFile, 5)); // the sheet's menus are back
}

} // namespace
