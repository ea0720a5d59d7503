#include "application/commands.h"
#include "application/lifecycle.h"
#include "application/open_documents.h"
#include "calculators/calculator_window.h"
#include "model/app_state.h"
#include "sheet/sheet_input.h"
#include "sheet/sheet_redraw.h"
#include "sheet/sorting.h"
#include "support/fake_platform.h"
#include "support/sheet_session.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <iterator>
#include <thread>
#include <vector>

using namespace kestrune;
using test::FakePlatform;
using test::readFile;
using test::TempDir;
using test::writeFile;

namespace {

constexpr int kFile = MenuNum::kFile;

using Lifecycle = test::SheetSession;

TEST_F(Lifecycle, MenusAtLaunchAndWithASheet) {
    EXPECT_TRUE(usable(kFile, 1));  // New
    EXPECT_TRUE(usable(kFile, 2));  // Open
    EXPECT_TRUE(usable(kFile, 9));  // Import
    EXPECT_FALSE(usable(kFile, 3)); // Close
    EXPECT_FALSE(usable(kFile, 5)); // Save
    EXPECT_FALSE(usable(MenuNum::kSort, 1));
    NewDataSheet(app);
    EXPECT_FALSE(usable(kFile, 1));
    EXPECT_FALSE(usable(kFile, 2));
    EXPECT_FALSE(usable(kFile, 9));
    EXPECT_TRUE(usable(kFile, 3));
    EXPECT_TRUE(usable(kFile, 10)); // Export
    EXPECT_TRUE(usable(MenuNum::kSort, 1));
    EXPECT_TRUE(usable(MenuNum::kCalculate, 1));
}

TEST_F(Lifecycle, NewSheetIsUntitledUnmodifiedWithOneRow) {
    NewDataSheet(app);
    EXPECT_TRUE(platform.sheetShown);
    EXPECT_EQ(platform.windowTitle, "untitled.kedata");
    EXPECT_EQ(app.doc.FileOpenFlag, -1);
    EXPECT_EQ(app.doc.DirtyFlag, 0);
    EXPECT_EQ(app.table.fNum, 1);
    EXPECT_EQ(app.table.Manufacturer.get(1), "n/a");
    EXPECT_EQ(platform.toolArea.editText.str(), "n/a");
    EXPECT_EQ(app.flags.MainWndOpenFlag, 1);
}

TEST_F(Lifecycle, CloseAsksAboutChangesAndDontSaveCloses) {
    NewDataSheet(app);
    editSomething();
    EXPECT_EQ(app.doc.DirtyFlag, 1);
    platform.saveChangesAnswers = {SaveChangesAnswer::DontSave};
    EXPECT_TRUE(DispatchMenuCommand(app, kFile, 3));
    EXPECT_NE(callsJoined().find("askSaveChanges(untitled.kedata)"), std::string::npos);
    EXPECT_FALSE(platform.sheetShown);
    EXPECT_EQ(app.flags.MainWndOpenFlag, 0);
    EXPECT_TRUE(usable(kFile, 1));
    EXPECT_FALSE(usable(kFile, 3));
    EXPECT_FALSE(platform.quit);
}

TEST_F(Lifecycle, SaveOfAnUntitledSheetAsksForANameAndCancelChangesNothing) {
    NewDataSheet(app);
    editSomething();
    DispatchMenuCommand(app, kFile, 5); // Save; the dialog is cancelled
    EXPECT_NE(callsJoined().find("askSaveFile(Save This File As...,untitled.kedata)"),
              std::string::npos);
    EXPECT_EQ(app.doc.DirtyFlag, 1);
    EXPECT_EQ(app.doc.FileOpenFlag, -1);
    EXPECT_TRUE(platform.windowModified);
    EXPECT_TRUE(usable(kFile, 5)); // menus back after the dialog

    const std::string path = dir.file("Speakers.kedata");
    platform.fileChoices = {path};
    DispatchMenuCommand(app, kFile, 6); // Save As...
    EXPECT_EQ(app.doc.FileOpenFlag, 1);
    EXPECT_EQ(app.doc.DirtyFlag, 0);
    EXPECT_EQ(platform.windowTitle, "Speakers.kedata");
    EXPECT_EQ(platform.windowPath, path);
    EXPECT_EQ(readFile(path), "n/a,n/a, 25.4, 0, 0, 0, 0, 0, 0, 0\r");

    platform.fileChoices = {dir.file("Template.kedatasta")};
    DispatchMenuCommand(app, kFile, 7); // Save As Stationery...
    EXPECT_NE(callsJoined().find("askSaveFile(Save This Stationery File As...," +
                                 dir.file("Speakers.kedatasta") + ")"),
              std::string::npos);
    EXPECT_EQ(readFile(dir.file("Template.kedatasta")), readFile(path));
    EXPECT_EQ(app.doc.fileName1, "Speakers.kedata"); // still the same document
}

TEST_F(Lifecycle, QuitEndsAtOnceWithoutChangesAndSavesFirstWithThem) {
    const std::string path = dir.file("a.kedata");
    writeFile(path, "Acme,PR-10, 25.4, 22.5, 110.25, 3.126, 506.7, 12, 633.38, 98.3\r");
    handOver({path});
    EXPECT_EQ(app.table.fNum, 1);
    EXPECT_EQ(app.doc.DirtyFlag, 0);
    editSomething();
    platform.saveChangesAnswers = {SaveChangesAnswer::Save};
    QuitSequence(app);
    EXPECT_TRUE(platform.quit);
    EXPECT_EQ(readFile(path), "Acme,PR-10, 25.4, 22.5, 110.25, 3.126, 506.7, 12, 633.38, 98.3\r");
}

TEST_F(Lifecycle, AFailedSaveNeitherQuitsNorClearsTheChanges) {
    NewDataSheet(app);
    editSomething();
    app.doc.FileOpenFlag = 1;
    app.doc.fileUrl = dir.file("missing-folder/a.kedata");
    platform.saveChangesAnswers = {SaveChangesAnswer::Save};
    QuitSequence(app);
    EXPECT_FALSE(platform.quit);
    EXPECT_EQ(app.doc.DirtyFlag, 1);
    ASSERT_EQ(platform.fileErrors.size(), 1u);
    EXPECT_EQ(app.flags.QuitFlag, 0);
    EXPECT_TRUE(platform.sheetShown);
}

TEST_F(Lifecycle, CancelledSaveAsAfterTheQuestionForgetsThePendingClose) {
    NewDataSheet(app);
    editSomething();
    platform.saveChangesAnswers = {SaveChangesAnswer::Save}; // then the Save As dialog is cancelled
    CloseSequence(app);
    EXPECT_TRUE(platform.sheetShown);
    EXPECT_EQ(app.flags.CloseFlag, 0);
    platform.fileChoices = {dir.file("later.kedata")};
    SaveAsSSTFile(app);
    EXPECT_TRUE(platform.sheetShown); // a later Save As does not close the sheet
    EXPECT_EQ(app.doc.DirtyFlag, 0);
}

TEST_F(Lifecycle, AWaitingDocumentNeverReceivesTheOldSheet) {
    const std::string waiting = dir.file("waiting.kedata");
    writeFile(waiting, "Other,PR-2, 10, 0, 0, 0, 0, 0, 0, 0\r");
    NewDataSheet(app);
    editSomething();
    const std::string chosen = dir.file("mine.kedata");
    platform.saveChangesAnswers = {SaveChangesAnswer::Save};
    platform.fileChoices = {chosen};
    handOver({waiting});
    // The untitled sheet went through Save As, not over the waiting file.
    EXPECT_EQ(readFile(waiting), "Other,PR-2, 10, 0, 0, 0, 0, 0, 0, 0\r");
    EXPECT_EQ(readFile(chosen), "n/a,n/a, 25.4, 0, 0, 0, 0, 0, 0, 0\r");
    EXPECT_EQ(app.doc.fileName1, "waiting.kedata");
    EXPECT_EQ(app.table.Manufacturer.get(1), "Other");
    EXPECT_EQ(app.doc.DirtyFlag, 0);
}

TEST_F(Lifecycle, CancelInTheQuestionDropsTheWaitingDocument) {
    const std::string waiting = dir.file("waiting.kedata");
    writeFile(waiting, "Other,PR-2, 10, 0, 0, 0, 0, 0, 0, 0\r");
    NewDataSheet(app);
    editSomething();
    platform.saveChangesAnswers = {SaveChangesAnswer::Cancel, SaveChangesAnswer::DontSave};
    handOver({waiting});
    EXPECT_EQ(app.table.Manufacturer.get(1), "n/a");
    CloseSequence(app); // Don't Save: closes, and nothing opens by surprise
    EXPECT_FALSE(platform.sheetShown);
    EXPECT_EQ(app.flags.MainWndOpenFlag, 0);
}

TEST_F(Lifecycle, DocumentsOfOtherKindsAreRefusedAndTheSheetStays) {
    NewDataSheet(app);
    const std::string other = dir.file("notes.pdf");
    writeFile(other, "%PDF");
    handOver({other});
    ASSERT_EQ(platform.notes.size(), 1u); // the user is told why, not only beeped at
    EXPECT_NE(platform.notes[0].find("\u201Cnotes.pdf\u201D could not be opened"),
              std::string::npos);
    EXPECT_EQ(app.table.fNum, 1);
    EXPECT_EQ(app.table.Manufacturer.get(1), "n/a");
    EXPECT_TRUE(platform.sheetShown);
}

// Under "All Files" the Open dialog reads a file of any name as a document,
// but the sheet never saves over it: a document saved without an extension
// comes back as a new document that Save names with one.
TEST_F(Lifecycle, AFileWithoutTheExtensionOpensAsANewDocument) {
    const std::string bare = dir.file("pr3");
    writeFile(bare, "Acme,PR-200, 20.5, 18.25, 45.1, 6.312, 220, 12.5, 275, 95.4\r");
    platform.fileChoices = {bare};
    DispatchMenuCommand(app, kFile, 2); // Open...
    EXPECT_EQ(app.table.Manufacturer.get(1), "Acme");
    EXPECT_EQ(platform.windowTitle, "pr3.kedata");
    EXPECT_EQ(app.doc.FileOpenFlag, 0);
    DispatchMenuCommand(app, kFile, 5); // Save asks for a name; cancelled
    EXPECT_EQ(platform.calls.back(), "askSaveFile(Save This File As...,pr3.kedata)");
    EXPECT_EQ(platform.saveExtensions.back(), "kedata"); // "pr3" typed there saves pr3.kedata
    EXPECT_EQ(readFile(bare), "Acme,PR-200, 20.5, 18.25, 45.1, 6.312, 220, 12.5, 275, 95.4\r");
}

// A save that had to change a name leaves the sheet saved, whichever cell of
// the changed row is selected.
TEST_F(Lifecycle, ASaveThatChangedNamesLeavesTheSheetSaved) {
    for (std::int32_t column : {0, 1, 2, 4}) {
        SCOPED_TRACE(column);
        const std::string path = dir.file("names" + std::to_string(column) + ".kedata");
        writeFile(path, "Acme,PR-200, 20.5, 18.25, 45.1, 6.312, 220, 12.5, 275, 95.4\r");
        handOver({path});
        app.table.ModelName.set(1, "PR 250 \"Pro\", black");
        app.sel.cellH = column;
        DrawSheet(app);
        ASSERT_EQ(app.doc.DirtyFlag, 1);
        const std::size_t notesBefore = platform.notes.size();
        DispatchMenuCommand(app, kFile, 5);                // Save
        EXPECT_EQ(platform.notes.size(), notesBefore + 1); // the changed row is listed
        DrawSheet(app);
        EXPECT_EQ(app.doc.DirtyFlag, 0);
        EXPECT_FALSE(platform.windowModified);
        EXPECT_EQ(app.table.ModelName.get(1), "PR 250 \u201CPro\u201D, black");
        EXPECT_EQ(readFile(path),
                  "Acme,\"PR 250 \xD2Pro\xD3, black\", 20.5, 18.25, 45.1, 6.312, 220, 12.5, 275, "
                  "95.4\r");
        const auto questions = [this] {
            return std::count_if(
                platform.calls.begin(), platform.calls.end(),
                [](const std::string& c) { return c.starts_with("askSaveChanges"); });
        };
        const auto asked = questions();
        CloseSequence(app);
        EXPECT_EQ(questions(), asked); // Close asks nothing
        EXPECT_FALSE(platform.sheetShown);
    }
}

TEST(LaunchTimer, OpensTheLastDocumentHandedOverDuringLaunch) {
    FakePlatform platform;
    AppState app(platform);
    TempDir dir;
    writeFile(dir.file("one.kedata"), "One,A, 1, 0, 0, 0, 0, 0, 0, 0\r");
    writeFile(dir.file("two.kedatasta"), "Two,B, 2, 0, 0, 0, 0, 0, 0, 0\r");
    StartUp(app);
    HandleOpenDocuments(app, {dir.file("one.kedata"), dir.file("two.kedatasta")});
    EXPECT_FALSE(platform.sheetShown); // nothing before the timer
    EXPECT_NE(std::find(platform.calls.begin(), platform.calls.end(), "startTimer(200)"),
              platform.calls.end());
    platform.fireTimers();
    EXPECT_TRUE(platform.sheetShown);
    EXPECT_EQ(app.table.Manufacturer.get(1), "Two");
    // Stationery opens untitled and modified, and Save asks for a name.
    EXPECT_EQ(platform.windowTitle, "untitled.kedata");
    EXPECT_EQ(app.doc.DirtyFlag, 1);
    SaveCommand(app);
    EXPECT_EQ(platform.calls.back(), "askSaveFile(Save This File As...,untitled.kedata)");
    EXPECT_EQ(app.flags.FastOpenFlag, 0);
}

// The document given at launch is read while the launch timer runs; what
// the sheet shows is still the file as it stands when the timer fires.
TEST(LaunchTimer, TheDocumentReadDuringLaunchIsTheFileAsItStandsWhenOpened) {
    const std::string kFirst = "First,A, 1, 0, 0, 0, 0, 0, 0, 0\r";
    const std::string kSameSize = "Other,B, 2, 0, 0, 0, 0, 0, 0, 0\r";
    struct Case {
        const char* what;
        const char* extension;
        std::function<void(const std::string&)> meanwhile; // after the read, before the timer
        std::string shown;                                 // "" when refused
        std::string reason;                                // of the refusal
        bool locked = false;                               // by another program meanwhile
    };
    const Case cases[] = {
        {"unchanged", "kedata", [](const std::string&) {}, "First", ""},
        {"rewritten longer", "kedata",
         [](const std::string& p) { writeFile(p, "Longer name,B, 2, 0, 0, 0, 0, 0, 0, 0\r"); },
         "Longer name", ""},
        {"rewritten at the same size with its old time put back", "kedata",
         [&](const std::string& p) {
             const auto when = std::filesystem::last_write_time(p);
             writeFile(p, kSameSize);
             std::filesystem::last_write_time(p, when); // only the change time tells
         },
         "Other", ""},
        {"replaced by another file", "kedata",
         [&](const std::string& p) {
             writeFile(p + ".new", kSameSize);
             std::filesystem::rename(p + ".new", p);
         },
         "Other", ""},
        {"removed", "kedata", [](const std::string& p) { std::filesystem::remove(p); }, "",
         "does not exist"},
        {"locked", "kedata", [](const std::string&) {}, "", "locked", true},
        {"a table to import", "csv", [](const std::string&) {}, "First", ""},
    };
    // A file changed within the last two seconds is not read ahead: its
    // next change could fall in the same tick of the file clock.
    TempDir dir;
    std::vector<std::string> paths;
    for (std::size_t k = 0; k < std::size(cases); ++k) {
        paths.push_back(dir.file("doc" + std::to_string(k) + "." + cases[k].extension));
        writeFile(paths.back(), kFirst);
    }
    const std::string last = dir.file("last.kedata");
    writeFile(last, "Last,A, 1, 0, 0, 0, 0, 0, 0, 0\r");
    {
        FakePlatform platform;
        AppState app(platform);
        StartUp(app);
        HandleOpenDocuments(app, {paths[0]});
        EXPECT_FALSE(app.readAhead.has_value()) << "a file changed a moment ago";
        platform.fireTimers();
        EXPECT_EQ(app.table.Manufacturer.get(1), "First");
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2100));

    for (std::size_t k = 0; k < std::size(cases); ++k) {
        const Case& c = cases[k];
        SCOPED_TRACE(c.what);
        const std::string& path = paths[k];
        FakePlatform platform;
        AppState app(platform);
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        StartUp(app);
        HandleOpenDocuments(app, {path});
        ASSERT_TRUE(app.readAhead.has_value());
        app.readAhead->table.wait();
        if (c.locked) {
            ::flock(fd, LOCK_EX);
        }
        c.meanwhile(path);
        platform.fireTimers();
        ::close(fd);
        EXPECT_FALSE(app.readAhead.has_value());
        if (c.shown.empty()) {
            EXPECT_FALSE(platform.sheetShown);
            ASSERT_EQ(platform.notes.size(), 1U);
            EXPECT_NE(platform.notes[0].find(c.reason), std::string::npos) << platform.notes[0];
            continue;
        }
        EXPECT_TRUE(platform.sheetShown);
        EXPECT_EQ(app.table.fNum, 1);
        EXPECT_EQ(app.table.Manufacturer.get(1), c.shown);
    }

    // Of two hand-overs during launch the last wins, though the first one's
    // document is the one read ahead.
    FakePlatform platform;
    AppState app(platform);
    StartUp(app);
    HandleOpenDocuments(app, {paths[0]});
    ASSERT_TRUE(app.readAhead.has_value());
    HandleOpenDocuments(app, {last});
    platform.fireTimers();
    EXPECT_EQ(app.table.Manufacturer.get(1), "Last");
    EXPECT_FALSE(app.readAhead.has_value());
}

TEST_F(Lifecycle, ImportThenExportThroughTheMenus) {
    const std::string csv = dir.file("data.csv");
    writeFile(csv, "Manufacturer,Model_Name,Dia(cm),Fp(Hz),Vap(Liter),Qmp,Sd(cm^2),Xmax(mm),Vd(cm^"
                   "3),Mms(grams)\r"
                   "Acme,PR-200, 20.5, 18.25, 45.1, 6.312, 220, 12.5, 275, 95.4\r");
    platform.fileChoices = {csv};
    DispatchMenuCommand(app, kFile, 9);
    EXPECT_EQ(app.table.fNum, 1);
    EXPECT_EQ(platform.windowTitle, "data.kedata");
    EXPECT_EQ(app.doc.DirtyFlag, 1);
    EXPECT_EQ(app.doc.FileOpenFlag, 0);

    const std::string out = dir.file("out.csv");
    platform.fileChoices = {out};
    DispatchMenuCommand(app, kFile, 10);
    EXPECT_EQ(readFile(out), readFile(csv));
    EXPECT_EQ(app.doc.DirtyFlag, 1); // exporting is not saving
}

TEST_F(Lifecycle, SortMenuMarksFollowTheChoice) {
    NewDataSheet(app);
    DispatchMenuCommand(app, MenuNum::kSort, 12); // Descending
    EXPECT_TRUE(app.menus.findItem(MenuNum::kSort, 12)->checked);
    EXPECT_FALSE(app.menus.findItem(MenuNum::kSort, 11)->checked);
    EXPECT_TRUE(app.menus.findItem(MenuNum::kSort, 1)->checked);
    EXPECT_EQ(app.doc.DirtyFlag, 1); // every sort marks the sheet modified
}

TEST_F(Lifecycle, MmsAndAddMassOpenOnTheValueJustTyped) {
    NewDataSheet(app);
    for (int item : {5, 6}) {
        SheetMouseDown(app, 360, 85, 1); // Fp of row 1
        platform.type(item == 5 ? "21" : "22");
        EXPECT_TRUE(usable(MenuNum::kCalculate, item));
        DispatchMenuCommand(app, MenuNum::kCalculate, item);
        EXPECT_TRUE(platform.calculatorOpen);
        EXPECT_EQ(app.calc.window.calcItemID, item);
        EXPECT_EQ(platform.calculatorFields[74].str(), item == 5 ? " 21" : " 22");
        EXPECT_EQ(platform.beeps, 0);
        EXPECT_FALSE(usable(MenuNum::kCalculate, item));
        CloseCalculatorWindow(app);
    }
}

} // namespace

namespace {

TEST_F(Lifecycle, TypedTextCountsForSaveCloseAndSortWithoutAMoveFirst) {
    NewDataSheet(app);
    SheetMouseDown(app, 300, 85, 1); // Dia of row 1
    platform.type("30");
    platform.saveChangesAnswers = {SaveChangesAnswer::Cancel};
    CloseSequence(app); // the typed value makes the sheet modified: the question comes
    EXPECT_NE(callsJoined().find("askSaveChanges"), std::string::npos);
    EXPECT_DOUBLE_EQ(app.table.value(Param::Dia, 1), 30.0);

    platform.type("31");
    const std::string path = dir.file("typed.kedata");
    platform.fileChoices = {path};
    SaveCommand(app);
    EXPECT_EQ(readFile(path), "n/a,n/a, 31, 0, 0, 0, 0, 0, 0, 0\r");
    EXPECT_EQ(app.doc.DirtyFlag, 0); // the redraw after the save finds nothing new
    EXPECT_FALSE(platform.windowModified);
}

// The window opens where it was left and as high as it was; moving the
// window without a sheet counts too, and no sheet is lower than the least
// the sheet needs.
TEST_F(Lifecycle, TheSheetWindowOpensWhereItWasLeft) {
    NewDataSheet(app);
    EXPECT_EQ(platform.sheetPlace, (WindowPlace{0, 44, 320})); // default bounds
    CloseFile(app);
    app.Bounds = WindowBounds{120, 300, 520, 1045};
    app.prefs.BoundsCheck = 0;
    NewDataSheet(app);
    EXPECT_EQ(platform.sheetPlace, (WindowPlace{0, 44, 320}));
    CloseFile(app);
    app.prefs.BoundsCheck = 1;
    NewDataSheet(app);
    EXPECT_EQ(platform.sheetPlace, (WindowPlace{300, 120, 400}));
    CloseFile(app);
    app.prefs.BoundsCheck = 0;
    SheetWindowBoundsChanged(app, WindowBounds{60, 80, 200, 825}, true); // moved, no sheet
    EXPECT_EQ(app.flags.MainWndOpenFlag, 0);
    EXPECT_EQ(PlaceOfSheetWindow(app), (WindowPlace{80, 60, 320}));
    NewDataSheet(app);
    EXPECT_EQ(platform.sheetPlace, (WindowPlace{80, 60, 320}));
}

} // namespace

namespace {

// After a sort the selected first row is in view, wherever the view was;
// Delete on a whole-row selection deletes the row, and in a cell is the
// field's.
TEST_F(Lifecycle, ASortShowsTheSelectionAndDeleteRemovesASelectedRow) {
    std::string rows;
    for (int r = 1; r <= 200; ++r) {
        rows += "M" + std::to_string(r) + ",P, 1, " + std::to_string(r) + ", 3, 4, 5, 6, 7, 8\r";
    }
    const std::string path = dir.file("many.kedata");
    writeFile(path, rows);
    handOver({path});
    ASSERT_EQ(app.table.fNum, 200);
    EXPECT_TRUE(SheetKeyCommand(app, SheetKey::kEnd, KeyModifiers{false, false, true, false}));
    EXPECT_EQ(app.sel.cellV, 200);
    EXPECT_EQ(app.sel.ScrollValue, 180);
    EXPECT_TRUE(SheetKeyCommand(app, SheetKey::kHome, KeyModifiers{false, false, true, false}));
    SheetScrollThumb(app, 180); // the view at the end, row 1 selected out of sight
    ASSERT_EQ(app.sel.cellV, 1);
    ASSERT_EQ(app.sel.ScrollValue, 180);
    DispatchMenuCommand(app, MenuNum::kSort, 12); // Descending
    DispatchMenuCommand(app, MenuNum::kSort, 3);  // by Fp
    EXPECT_EQ(app.sel.cellV, 1);
    EXPECT_EQ(app.sel.ScrollValue, 0);
    EXPECT_EQ(platform.scrollBar.value, 0);
    EXPECT_EQ(app.table.Manufacturer.get(1), "M200");

    app.sel.cellH = 3;
    DrawSheet(app);
    EXPECT_FALSE(SheetKeyCommand(app, SheetKey::kDelete, {})); // the edit field's
    EXPECT_EQ(app.table.fNum, 200);
    app.sel.cellH = 0;
    DrawSheet(app);
    EXPECT_TRUE(SheetKeyCommand(app, SheetKey::kDelete, {}));
    EXPECT_EQ(app.table.fNum, 199);
    EXPECT_EQ(app.table.Manufacturer.get(1), "M199");
    ASSERT_TRUE(platform.clipboard.has_value());
    EXPECT_EQ(platform.clipboard->substr(0, 6), "M200  ");
}

} // namespace
