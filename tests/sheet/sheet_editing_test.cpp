#include "model/app_state.h"
#include "sheet/sheet_input.h"
#include "sheet/sheet_redraw.h"
#include "support/fake_platform.h"

#include <gtest/gtest.h>

using namespace kestrune;

namespace {

class SheetEditing : public ::testing::Test {
protected:
    void openSheet(std::int32_t rows, std::int32_t height = 400) {
        platform.height = height;
        app.table.fNum = rows;
        app.table.ensureRows(rows + 1);
        for (std::int32_t r = 1; r <= rows; ++r) {
            app.table.Number[r] = r;
            app.table.Manufacturer.set(r, "Maker " + std::to_string(r));
            app.table.ModelName.set(r, "PR-" + std::to_string(r));
            app.table.setValue(Param::Dia, r, 12.347);
            app.table.setValue(Param::Sd, r, 506.75);
        }
        app.snap.prefNum = rows;
        app.sel.cellV = 1;
        app.sel.cellH = 0;
        SetInstallScrollButton(app);
        DrawSheet(app);
    }
    // Content position of a cell on the screen line.
    void click(std::int32_t column, std::int32_t line, int clicks = 1) {
        const std::int32_t x = column == 0   ? 10
                               : column == 1 ? 60
                               : column == 2 ? 200
                                             : 56 * column + 140;
        SheetMouseDown(app, x, 80 + 16 * (line - 1) + 5, clicks);
    }
    bool key(std::int32_t code, KeyModifiers mods = {}) { return SheetKeyDown(app, code, mods); }

    test::FakePlatform platform;
    AppState app{platform};
    int sends = 0;
};

TEST_F(SheetEditing, VisitingCellsChangesNothing) {
    openSheet(3);
    click(7, 1); // Sd 506.75 shows as a document keeps it
    EXPECT_EQ(platform.toolArea.editText.str(), " 506.75");
    key(SheetKey::kRight);
    key(SheetKey::kDown);
    click(3, 2);
    EXPECT_EQ(platform.toolArea.editText.str(), " 12.35");
    click(0, 3);
    EXPECT_DOUBLE_EQ(app.table.value(Param::Sd, 1), 506.75);
    EXPECT_DOUBLE_EQ(app.table.value(Param::Dia, 2), 12.347);
    EXPECT_EQ(app.doc.DirtyFlag, 0);
}

TEST_F(SheetEditing, TypingCommitsAtTheNextRedrawAndMarksModified) {
    openSheet(3);
    click(3, 2);
    platform.type("30,5");
    EXPECT_EQ(app.doc.DirtyFlag, 0); // typing alone changes only the field
    click(3, 2);                     // the same cell again keeps the typed text, and stores it
    EXPECT_EQ(platform.toolArea.editText.str(), "30,5");
    EXPECT_DOUBLE_EQ(app.table.value(Param::Dia, 2), 30.5);
    EXPECT_EQ(app.doc.DirtyFlag, 1);
    EXPECT_TRUE(platform.windowModified);

    click(1, 1);
    platform.type("Acme, Inc.");
    key(SheetKey::kDown);
    EXPECT_EQ(app.table.Manufacturer.get(1), "Acme, Inc.");
    EXPECT_EQ(app.sel.cellV, 2);
}

TEST_F(SheetEditing, OverrideIsShownWithoutCommittingAndCommitsOnlyWhenDifferent) {
    openSheet(2);
    click(3, 1);
    platform.type("99");
    app.edit.s_PASS = Str255(" 44.5");
    app.edit.CalcOnFlag = 1;
    DrawSheet(app);
    EXPECT_EQ(platform.toolArea.editText.str(), " 44.5");
    EXPECT_DOUBLE_EQ(app.table.value(Param::Dia, 1), 12.347); // the typed 99 is dropped
    key(SheetKey::kRight);
    EXPECT_DOUBLE_EQ(app.table.value(Param::Dia, 1), 44.5);

    // A handed-over text equal to what the field shows leaves full precision.
    app.table.setValue(Param::Vap, 2, 222.351875);
    app.sel.cellV = 2;
    app.sel.cellH = 5;
    app.edit.s_PASS = Str255(" 222.35");
    app.edit.CalcOnFlag = 1;
    DrawSheet(app);
    key(SheetKey::kLeft);
    EXPECT_DOUBLE_EQ(app.table.value(Param::Vap, 2), 222.351875);
}

TEST_F(SheetEditing, KeysMoveAndWrapTheSelection) {
    openSheet(3);
    app.modelSelectSequence = [this](AppState& a) {
        EXPECT_EQ(a.sel.cellH, 0);
        ++sends;
    };
    EXPECT_TRUE(key(SheetKey::kLeft)); // row mode stays row mode
    EXPECT_EQ(app.sel.cellH, 0);
    EXPECT_TRUE(key(SheetKey::kReturn)); // row mode: sends, stays in row mode
    EXPECT_EQ(sends, 1);
    EXPECT_EQ(app.sel.cellH, 0);

    app.sel.cellH = 10;
    EXPECT_TRUE(key(SheetKey::kReturn)); // Mms: wraps to row mode, no send
    EXPECT_EQ(app.sel.cellH, 0);
    EXPECT_EQ(sends, 1);

    app.sel.cellH = 10;
    DrawSheet(app);
    KeyModifiers option;
    option.option = true;
    EXPECT_TRUE(key(SheetKey::kEnter, option)); // sends, Mms stays selected
    EXPECT_EQ(sends, 2);
    EXPECT_EQ(app.sel.cellH, 10);

    EXPECT_TRUE(key(SheetKey::kUp)); // row 1 stays row 1
    EXPECT_EQ(app.sel.cellV, 1);
    app.sel.cellV = 3;
    EXPECT_TRUE(key(SheetKey::kDown));
    EXPECT_EQ(app.sel.cellV, 3);
    EXPECT_FALSE(key('a'));
}

TEST_F(SheetEditing, ClicksOutsideTheBodyAreIgnoredAndBelowTheLastRowSelectIt) {
    openSheet(30, 80 + 20 * 16 + 8); // 20 whole lines and a partial one
    EXPECT_EQ(app.sheet.dispNum, 20);
    EXPECT_EQ(app.sheet.ScrollNum, 10);
    SheetMouseDown(app, 300, 80, 1);  // header
    SheetMouseDown(app, 728, 200, 1); // right of the cells
    EXPECT_EQ(app.sel.cellH, 0);
    EXPECT_EQ(app.sel.cellV, 1);

    SheetScrollThumb(app, 10);
    EXPECT_EQ(app.sel.ScrollValue, 10);
    click(4, 21); // the partial line below row 30
    EXPECT_EQ(app.sel.cellV, 30);
    EXPECT_EQ(app.sel.cellH, 4);
    click(0, 2);
    EXPECT_EQ(app.sel.cellV, 12);
    EXPECT_EQ(app.sel.cellH, 0);
}

TEST_F(SheetEditing, ScrollingFollowsKeysWheelAndResize) {
    openSheet(30, 80 + 10 * 16);
    EXPECT_EQ(platform.scrollBar.maximum, 20);
    EXPECT_TRUE(platform.scrollBar.exists);
    for (int k = 0; k < 10; ++k) {
        key(SheetKey::kDown);
    }
    EXPECT_EQ(app.sel.cellV, 11);
    EXPECT_EQ(app.sel.ScrollValue, 1); // one row per key past the last whole line
    SheetWheel(app, -3);
    EXPECT_EQ(app.sel.ScrollValue, 4);
    SheetWheel(app, 100);
    EXPECT_EQ(app.sel.ScrollValue, 0);
    SheetScrollLineDown(app);
    EXPECT_EQ(app.sel.ScrollValue, 1);

    SuspendSheetScrolling(app);
    SheetWheel(app, -3);
    EXPECT_EQ(app.sel.ScrollValue, 1);
    ResumeSheetScrolling(app);

    platform.height = 600;
    SheetResized(app);
    EXPECT_EQ(app.sel.ScrollValue, 0);
    EXPECT_EQ(app.sheet.dispNum, 32);
    EXPECT_EQ(app.sheet.ExistScrollFlag, 0);
    SheetWheel(app, -3); // nothing to scroll
    EXPECT_EQ(app.sel.ScrollValue, 0);
}

TEST_F(SheetEditing, ToolAreaFollowsTheMode) {
    openSheet(4);
    EXPECT_FALSE(platform.toolArea.editFieldShown);
    EXPECT_TRUE(platform.toolArea.modelNameShown);
    EXPECT_EQ(platform.toolArea.modelName.str(), "PR-1");
    EXPECT_EQ(platform.toolArea.rowCounter, "1/4");
    EXPECT_EQ(platform.toolArea.columnLabel, "Selected Model");
    EXPECT_FALSE(platform.toolArea.moveUpEnabled);
    EXPECT_TRUE(platform.toolArea.moveDownEnabled);
    EXPECT_TRUE(platform.toolArea.sendDefault);
    EXPECT_FALSE(platform.toolArea.sendEnabled); // direct sending with the sibling not running
    click(9, 4);
    EXPECT_TRUE(platform.toolArea.editFieldShown);
    EXPECT_EQ(platform.toolArea.columnLabel, "Vd ........ (cm\u00B3)");
    EXPECT_EQ(platform.toolArea.rowCounter, "4/4");
    EXPECT_FALSE(platform.toolArea.moveDownEnabled);
    EXPECT_FALSE(platform.toolArea.sendDefault);
    EXPECT_NE(platform.toolArea.sendHelp.find("Option + Enter"), std::string::npos);
}

TEST_F(SheetEditing, EmptyTableClickSelectsRowZero) {
    openSheet(0);
    click(3, 1);
    EXPECT_EQ(app.sel.cellV, 0);
    EXPECT_EQ(app.table.fNum, 0);
}

} // namespace

// Page keys, Ctrl+Home and Ctrl+End, Tab and Shift+Tab on 1000 rows with 20
// on screen: where each leaves the selection, and that its row is in view.
TEST_F(SheetEditing, FarKeysMoveTheSelectionAndKeepItInView) {
    struct Case {
        const char* what;
        std::int32_t cellH, cellV, scroll; // the start
        std::int32_t code;
        KeyModifiers mods;
        std::int32_t toH, toV, toScroll;
    };
    const KeyModifiers none;
    const KeyModifiers ctrl{false, false, true, false};
    const KeyModifiers shift{false, true, false, false};
    const Case cases[] = {
        {"page down keeps the screen line", 3, 4, 0, SheetKey::kPageDown, none, 3, 24, 20},
        {"page down near the end", 3, 990, 975, SheetKey::kPageDown, none, 3, 1000, 980},
        {"page up", 3, 50, 40, SheetKey::kPageUp, none, 3, 30, 20},
        {"page up near the top", 5, 12, 3, SheetKey::kPageUp, none, 5, 1, 0},
        {"ctrl+end", 4, 7, 0, SheetKey::kEnd, ctrl, 4, 1000, 980},
        {"ctrl+home", 0, 990, 975, SheetKey::kHome, ctrl, 0, 1, 0},
        {"end without ctrl is the field's", 4, 7, 0, SheetKey::kEnd, none, 4, 7, 0},
        {"tab", 3, 7, 0, SheetKey::kTab, none, 4, 7, 0},
        {"tab from row mode", 0, 7, 0, SheetKey::kTab, none, 1, 7, 0},
        {"tab wraps to the next row", 10, 20, 0, SheetKey::kTab, none, 1, 21, 1},
        {"tab stops at the last cell", 10, 1000, 980, SheetKey::kTab, none, 10, 1000, 980},
        {"shift+tab wraps back", 1, 21, 20, SheetKey::kTab, shift, 10, 20, 19},
        {"shift+tab stops at the first cell", 1, 1, 0, SheetKey::kTab, shift, 1, 1, 0},
    };
    openSheet(1000);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SheetScrollThumb(app, c.scroll);
        app.sel.cellH = c.cellH;
        app.sel.cellV = c.cellV;
        DrawSheet(app);
        ASSERT_EQ(app.sel.ScrollValue, c.scroll);
        const bool taken = key(c.code, c.mods);
        EXPECT_EQ(taken, c.toV != c.cellV || c.toH != c.cellH || c.code != SheetKey::kEnd);
        EXPECT_EQ(app.sel.cellH, c.toH);
        EXPECT_EQ(app.sel.cellV, c.toV);
        EXPECT_EQ(app.sel.ScrollValue, c.toScroll);
        EXPECT_EQ(platform.scrollBar.value, c.toScroll);
    }
}

// A move by any key stores the edited cell as the arrow keys do.
TEST_F(SheetEditing, FarKeysStoreTheEditedCell) {
    openSheet(100);
    for (const std::int32_t code : {SheetKey::kPageDown, SheetKey::kTab, SheetKey::kEnd}) {
        click(3, 1);
        platform.type("7,5");
        key(code, KeyModifiers{false, false, code == SheetKey::kEnd, false});
        EXPECT_NE(app.sel.cellH * 10000 + app.sel.cellV, 3 * 10000 + 1) << code; // it moved
        EXPECT_DOUBLE_EQ(app.table.value(Param::Dia, 1), 7.5) << code;
        app.table.setValue(Param::Dia, 1, 12.347);
        SheetScrollThumb(app, 0);
    }
}
