// Long work (open, import, save, sort) goes through the window's progress
// display, which learns the work's whole size; a cancelled open or import
// leaves the sheet and the document exactly as they were.

#include "application/document_io.h"
#include "application/lifecycle.h"
#include "application/sort_command.h"
#include "model/app_state.h"
#include "sheet/sorting.h"
#include "support/fake_platform.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <string>

using namespace kestrune;
using kestrune::test::FakePlatform;
using kestrune::test::TempDir;

namespace {

std::string catalogue(int rows, const char* separator, const char* lineEnd) {
    std::string text;
    for (int r = 1; r <= rows; ++r) {
        text += "Maker " + std::to_string(r % 7) + separator + "PR-" + std::to_string(r);
        for (int p = 0; p < 8; ++p) {
            text += separator + std::to_string((r * 37 + p * 11) % 500 + 1);
        }
        text += lineEnd;
    }
    return text;
}

// Every row as its document line, with the document's state.
std::string sheetOf(const AppState& app) {
    std::string out = app.doc.fileName1 + "|" + app.doc.fileUrl + "|" +
                      std::to_string(app.doc.DirtyFlag) + "|" +
                      std::to_string(app.doc.FileOpenFlag) + "|" +
                      std::to_string(app.sel.cellV) + "\n";
    for (std::int32_t r = 1; r <= app.table.fNum; ++r) {
        out += std::to_string(app.table.Number.get(r)) + ":";
        AppendDocumentRecord(out, app.table, r);
    }
    return out;
}

struct Sheet {
    Sheet() {
        test::writeFile(dir.file("old.kedata"), catalogue(5, ",", "\r"));
        EXPECT_TRUE(LoadDataSheet(app, dir.file("old.kedata")).loaded());
        app.table.ModelName.set(2, "edited");
        app.DirtyFlagTrue();
        app.sel.cellV = 3;
        platform.longWork.clear();
        platform.longWorkEnds.clear();
    }
    TempDir dir;
    FakePlatform platform;
    AppState app{platform};
};

} // namespace

TEST(LongWork, ACancelledOpenOrImportLeavesTheSheetAsItWas) {
    struct Case {
        const char* file;
        const char* text;
        bool document;
        const char* shown;
    };
    const std::string doc = catalogue(3000, ",", "\r");
    const std::string csv = "\xEF\xBB\xBFManufacturer,Model\r\n" + catalogue(3000, ",", "\r\n");
    const Case cases[] = {
        {"big.kedata", doc.c_str(), true, "Opening \u201Cbig.kedata\u201D\u2026"},
        {"big.csv", csv.c_str(), false, "Importing \u201Cbig.csv\u201D\u2026"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        Sheet s;
        test::writeFile(s.dir.file(c.file), c.text);
        const std::string before = sheetOf(s.app);
        s.platform.cancelLongWork = true;
        const std::string path = s.dir.file(c.file);
        const LoadOutcome outcome =
            c.document ? LoadDataSheet(s.app, path) : ImportCSVTable(s.app, path);
        EXPECT_FALSE(outcome.loaded());
        EXPECT_EQ(sheetOf(s.app), before);
        ASSERT_EQ(s.platform.longWork.size(), 1u);
        EXPECT_EQ(s.platform.longWork[0].text, c.shown);
        EXPECT_TRUE(s.platform.longWork[0].cancellable);
        EXPECT_TRUE(s.platform.notes.empty());
        EXPECT_TRUE(s.platform.fileErrors.empty());

        // Not cancelled, the same file is read whole.
        s.platform.cancelLongWork = false;
        EXPECT_TRUE(
            (c.document ? LoadDataSheet(s.app, path) : ImportCSVTable(s.app, path)).loaded());
        EXPECT_EQ(s.app.table.fNum, 3000);
    }
}

// The progress of each long command ends at its whole: a total that does
// not match the work would leave the bar short or full too early.
TEST(LongWork, EachLongCommandShowsItsProgressToTheEnd) {
    Sheet s;
    const std::string doc = s.dir.file("big.kedata");
    const std::string csv = s.dir.file("big.txt");
    test::writeFile(doc, catalogue(20000, ",", "\r"));
    test::writeFile(csv, catalogue(20000, "\t", "\n"));

    ASSERT_TRUE(ImportCSVTable(s.app, csv).loaded());
    ASSERT_TRUE(LoadDataSheet(s.app, doc).loaded());
    ASSERT_TRUE(SortMenuCommand(s.app, {Command::SortKey, 3}));
    SaveCommand(s.app);
    ASSERT_EQ(s.platform.longWork.size(), 4u);
    EXPECT_EQ(s.platform.longWork[2].text, "Sorting the sheet\u2026");
    EXPECT_EQ(s.platform.longWork[3].text, "Saving \u201Cbig.kedata\u201D\u2026");
    EXPECT_FALSE(s.platform.longWork[2].cancellable);
    EXPECT_FALSE(s.platform.longWork[3].cancellable); // a save is never stopped half way
    for (std::size_t k = 0; k < s.platform.longWorkEnds.size(); ++k) {
        SCOPED_TRACE(s.platform.longWork[k].text);
        EXPECT_DOUBLE_EQ(s.platform.longWorkEnds[k], 1.0);
    }
    EXPECT_EQ(s.app.doc.DirtyFlag, 0);
}
