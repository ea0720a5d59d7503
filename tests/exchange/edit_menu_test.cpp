#include "exchange/edit_menu.h"
#include "exchange/model_text.h"
#include "exchange/open_sheet.h"

#include <gtest/gtest.h>

using namespace kestrune;

namespace {

// A model text from another program.
const std::string kForeignModel =
    "Brimfield  BX-9  30.5  22.1  150.125  3.3  510  9.25  472  95.5  \r";

class MainWindowEdit : public test::OpenSheet {
protected:
    void edit(Command command) { EditMenuCommand(app, command); }
    void expectRows(std::int32_t count) {
        ASSERT_EQ(app.table.fNum, count);
        for (std::int32_t r = 1; r <= count; ++r) {
            EXPECT_EQ(maker(r), "Maker " + std::to_string(r));
            EXPECT_EQ(app.table.Number.get(r), r);
        }
    }
};

// A row's Copy and Cut offer it in the program's own form beside the model
// text, and Paste takes that form first: the row comes back to the digit,
// its worked-out Vap included, until another program copies.
TEST_F(MainWindowEdit, ACopiedRowPastesBackToTheDigit) {
    openSheet(2);
    app.table.setGivenValue(Param::Dia, 2, 16.55);
    app.table.setGivenValue(Param::Sd, 2, 214.25);
    app.table.setValue(Param::Vap, 2, 1.0 / 3);
    const PasteBuffer copied = ModelOfRow(app.table, 2);
    select(2, 0);
    edit(Command::Copy);
    edit(Command::Paste);
    EXPECT_TRUE(RowHoldsModel(app.table, 3, copied));
    EXPECT_EQ(ModelOfRow(app.table, 3).workedOut, copied.workedOut);
    edit(Command::Cut); // row 3
    select(1, 0);
    edit(Command::Paste);
    EXPECT_TRUE(RowHoldsModel(app.table, 2, copied));
    platform.clipboard = kForeignModel; // another program's copy
    edit(Command::Paste);
    EXPECT_EQ(maker(3), "Brimfield");
}

TEST_F(MainWindowEdit, CuttingEveryRowLeavesOneNaRowAndBeeps) {
    openSheet(3);
    for (int i = 0; i < 3; ++i) {
        edit(Command::Cut);
    }
    EXPECT_EQ(app.table.fNum, 1);
    EXPECT_EQ(maker(1), "n/a");
    EXPECT_EQ(app.table.ModelName.get(1), "n/a");
    EXPECT_EQ(app.table.value(Param::Dia, 1), 0);
    EXPECT_EQ(platform.beeps, 1);
    EXPECT_EQ(app.doc.DirtyFlag, 1);
}

TEST_F(MainWindowEdit, UndoOfAPasteIntoAnEmptySheetGivesTheEmptySheetBack) {
    openSheet(0);
    platform.clipboard = kForeignModel;
    edit(Command::Paste);
    ASSERT_EQ(app.table.fNum, 1);
    EXPECT_EQ(maker(1), "Brimfield");
    edit(Command::Undo);
    EXPECT_EQ(app.table.fNum, 0);
    EXPECT_EQ(maker(1), "");
    EXPECT_EQ(platform.beeps, 0);
    EXPECT_EQ(app.doc.DirtyFlag, 0);
    EXPECT_FALSE(platform.windowModified);
}

TEST_F(MainWindowEdit, PasteGoesBelowTheSelectedRowAndUndoTakesItBack) {
    openSheet(5);
    select(2, 0);
    EXPECT_EQ(undoItem().title, "Undo");
    EXPECT_FALSE(undoItem().enabled);
    platform.clipboard = kForeignModel;
    edit(Command::Paste);
    ASSERT_EQ(app.table.fNum, 6);
    EXPECT_EQ(app.sel.cellV, 3);
    EXPECT_EQ(maker(3), "Brimfield");
    EXPECT_EQ(app.table.value(Param::Vap, 3), 150.125);
    EXPECT_EQ(app.table.Number.get(3), 3);
    EXPECT_EQ(maker(6), "Maker 5");
    EXPECT_EQ(app.table.Number.get(6), 5);
    EXPECT_EQ(app.doc.DirtyFlag, 1);
    EXPECT_EQ(undoItem().title, "Undo Paste");

    edit(Command::Undo);
    expectRows(5);
    EXPECT_EQ(undoItem().title, "Undo");
    EXPECT_FALSE(undoItem().enabled);
}

TEST_F(MainWindowEdit, UndoOfARowCutPutsItBackInPlaceUnrounded) {
    openSheet(5);
    app.table.setValue(Param::Dia, 2, 25.44); // its model text says 25.4
    select(2, 0);
    edit(Command::Cut);
    EXPECT_EQ(undoItem().title, "Undo Cut");
    EXPECT_EQ(platform.clipboard->substr(0, 21), "Maker 2  PR-2  25.4  ");
    EXPECT_EQ(app.table.Number.get(2), 3); // the others keep their Numbers
    edit(Command::Undo);
    expectRows(5);
    EXPECT_EQ(app.sel.cellV, 2);
    EXPECT_EQ(app.table.value(Param::Dia, 2), 25.44);

    // Once the clipboard changed, Undo pastes what it holds at the selection.
    edit(Command::Delete);
    EXPECT_EQ(undoItem().title, "Undo");
    platform.clipboard = "too short for a model";
    edit(Command::Undo);
    EXPECT_EQ(platform.beeps, 1);
    EXPECT_TRUE(undoItem().enabled);
    platform.clipboard = kForeignModel;
    edit(Command::Undo);
    EXPECT_EQ(maker(2), "Brimfield");
    EXPECT_EQ(maker(3), "Maker 3");
}

TEST_F(MainWindowEdit, ClipboardTextsAreRoutedByWhatTheyHold) {
    openSheet(3);
    platform.clipboard = std::string(49, 'x');
    edit(Command::Paste);
    EXPECT_EQ(platform.beeps, 1);
    EXPECT_FALSE(undoItem().enabled); // a refused paste arms nothing
    // Words are no model, however long.
    platform.clipboard = "Some words  from a mail " + std::string(26, '.');
    edit(Command::Paste);
    EXPECT_EQ(platform.beeps, 2);
    expectRows(3);
    EXPECT_EQ(app.doc.DirtyFlag, 0);

    select(1, 2);
    platform.clipboard = std::string(31, 'y');
    edit(Command::Paste);
    EXPECT_EQ(platform.beeps, 3);
    platform.clipboard = std::string(30, 'z');
    edit(Command::Paste);
    EXPECT_EQ(platform.editField.str(), std::string(30, 'z'));
    EXPECT_EQ(app.table.ModelName.get(1), "PR-1"); // stored at the next redraw
    select(3, 2);
    EXPECT_EQ(app.table.ModelName.get(1), std::string(30, 'z'));

    for (const char* clip : {"", "256"}) {
        platform.clipboard = clip[0] == '\0' ? std::string() : std::string(256, 'a');
        edit(Command::Paste);
    }
    platform.clipboard.reset();
    edit(Command::Paste);
    EXPECT_EQ(platform.beeps, 6);
    EXPECT_EQ(platform.editField.str(), "PR-3");
}

TEST_F(MainWindowEdit, RowsPastedTogetherAreUndoneTogether) {
    openSheet(5);
    select(2, 0);
    platform.clipboard = "Brimfield\tBX-1\t30,5\t22.1\t150.125\t3.3\t510\t9.25\t472\t95.5\r\n"
                         "Brimfield\tBX-2\t31\t23\t151\t3.4\t511\t9.5\t473\t96\r\n" +
                         kForeignModel;
    edit(Command::Paste);
    ASSERT_EQ(app.table.fNum, 8);
    EXPECT_EQ(app.sel.cellV, 5); // the last pasted row
    EXPECT_EQ(app.table.ModelName.get(3), "BX-1");
    EXPECT_EQ(app.table.value(Param::Dia, 3), 30.5);
    EXPECT_EQ(app.table.ModelName.get(4), "BX-2");
    EXPECT_EQ(app.table.ModelName.get(5), "BX-9");
    for (std::int32_t r = 3; r <= 5; ++r) {
        EXPECT_EQ(app.table.Number.get(r), r);
    }
    EXPECT_EQ(maker(6), "Maker 3");
    EXPECT_EQ(app.doc.DirtyFlag, 1);

    // A refused paste leaves the sheet and the Undo of the last one alone,
    // and the tool area says why while the row stays selected.
    const std::string pasted = *platform.clipboard;
    platform.clipboard = pasted + "Brimfield\tBX-3\t1e400\t1\t1\t1\t1\t1\t1\t1\n";
    edit(Command::Paste);
    EXPECT_EQ(platform.beeps, 1);
    EXPECT_EQ(app.table.fNum, 8);
    EXPECT_EQ(undoItem().title, "Undo Paste");
    EXPECT_EQ(platform.toolArea.notice, "Line 4: Dia \u201C1e400\u201D is not a number");
    select(4, 0);
    EXPECT_EQ(platform.toolArea.notice, "");
    select(5, 0);
    EXPECT_EQ(platform.toolArea.notice, "Line 4: Dia \u201C1e400\u201D is not a number");

    // Undo only while every pasted row is unchanged in its place.
    app.table.setValue(Param::Fp, 4, 1.5);
    edit(Command::Undo);
    EXPECT_EQ(platform.beeps, 2);
    app.table.setValue(Param::Fp, 4, 23);
    select(4, 0);
    edit(Command::Undo);
    EXPECT_EQ(platform.beeps, 3);
    select(5, 0);
    edit(Command::Undo);
    expectRows(5);
    EXPECT_EQ(app.sel.cellV, 3);
    EXPECT_FALSE(undoItem().enabled);
    EXPECT_EQ(platform.beeps, 3);

    // Into an empty sheet, and back to the empty unmodified sheet.
    openSheet(0);
    app.doc.DirtyFlag = 0;
    platform.clipboard = "Manufacturer\tModel Name\tDia\r\n" + pasted; // a header goes
    edit(Command::Paste);
    EXPECT_EQ(platform.toolArea.notice, "");
    ASSERT_EQ(app.table.fNum, 3);
    EXPECT_EQ(app.table.ModelName.get(1), "BX-1");
    EXPECT_EQ(app.sel.cellV, 3);
    edit(Command::Undo);
    EXPECT_EQ(app.table.fNum, 0);
    EXPECT_EQ(maker(3), "");
    EXPECT_EQ(app.doc.DirtyFlag, 0);
}

TEST_F(MainWindowEdit, ARowIsCopiedAsTextAndAsATable) {
    openSheet(2);
    app.table.Manufacturer.set(2, "B&W\t<Pro>");
    app.table.ModelName.set(2, "\"Caf\u00E9\" 12");
    app.table.setValue(Param::Xmax, 2, -1);
    app.table.setValue(Param::Vap, 2, 0.005);
    select(2, 0);
    edit(Command::Copy);
    EXPECT_EQ(platform.clipboard, ParameterValueToText(app.table, 2).str());
    EXPECT_EQ(platform.clipboardHtml,
              "<meta charset=\"utf-8\"><table><tr><td>B&amp;W\t&lt;Pro&gt;</td>"
              "<td>&quot;Caf\xC3\xA9&quot; 12</td><td>102.5</td><td>102.5</td><td>0.005</td>"
              "<td>102.5</td><td>102.5</td><td>-1</td><td>102.5</td><td>102.5</td></tr></table>");
    // What a row Copy put there pastes back as the same row, the tab too.
    edit(Command::Paste);
    ASSERT_EQ(app.table.fNum, 3);
    EXPECT_EQ(ParameterValueToText(app.table, 3), ParameterValueToText(app.table, 2));

    edit(Command::Cut); // a row Cut offers the table too
    EXPECT_TRUE(platform.clipboardHtml.has_value());
    select(1, 1); // a cell's text stays plain
    edit(Command::Copy);
    EXPECT_EQ(platform.clipboard, "Maker 1");
    EXPECT_FALSE(platform.clipboardHtml.has_value());
}

TEST_F(MainWindowEdit, CellCutAndPasteUndo) {
    openSheet(3);
    const std::string longName(40, 'L');
    app.table.ModelName.set(2, longName);
    select(2, 2);
    const int repaints = platform.repaints;
    edit(Command::Copy); // Copy and Redo do not redraw, Select All does
    edit(Command::Redo);
    edit(Command::SelectAll);
    EXPECT_EQ(platform.repaints, repaints + 1);
    edit(Command::Cut);
    EXPECT_EQ(platform.clipboard, longName);
    EXPECT_EQ(app.table.ModelName.get(2), "");
    edit(Command::Undo); // back although it is over the cell paste limit
    EXPECT_EQ(platform.editField.str(), longName);
    EXPECT_EQ(platform.beeps, 0);

    select(1, 1);
    platform.clipboard = "Acme";
    edit(Command::Paste);
    edit(Command::Undo);
    EXPECT_EQ(platform.editField.str(), "Maker 1");
    select(3, 0);
    EXPECT_EQ(maker(1), "Maker 1"); // the pasted text was never stored
    EXPECT_EQ(app.table.ModelName.get(2), longName);
}

TEST_F(MainWindowEdit, UndoOfAPasteActsOnlyWhereItHappened) {
    openSheet(4);
    platform.clipboard = kForeignModel;
    edit(Command::Paste); // row 2
    select(4, 0);
    edit(Command::Undo); // row 4 is not the pasted one
    select(2, 3);
    edit(Command::Undo); // nor is a cell
    EXPECT_EQ(platform.beeps, 2);
    EXPECT_EQ(app.table.fNum, 5);
    select(2, 0);
    edit(Command::Undo);
    expectRows(4);
}

class CalculatorEdit : public test::OpenSheet {
protected:
    void SetUp() override {
        openSheet(2);
        app.flags.EditWndNum = 2;
        app.editMenu.edtFldID = 75;
        platform.calculatorFields[74] = Str255(" 25.4");
        platform.calculatorFields[75] = Str255(" 12.5");
    }
    std::string field(std::int32_t n) { return platform.calculatorFields[n].str(); }
    void edit(Command command) { EditMenuCommand(app, command); }
};

TEST_F(CalculatorEdit, WorksOnTheFocusedField) {
    edit(Command::Cut);
    EXPECT_EQ(platform.clipboard, " 12.5");
    EXPECT_EQ(field(75), "");
    EXPECT_EQ(undoItem().title, "Undo Cut");
    edit(Command::Undo);
    EXPECT_EQ(field(75), " 12.5");

    platform.clipboard = "3.75";
    edit(Command::Paste);
    EXPECT_EQ(field(75), "3.75");
    edit(Command::Copy);
    app.editMenu.edtFldID = 74;
    edit(Command::Undo); // into the field pasted into, whatever has the focus
    EXPECT_EQ(field(75), " 12.5");
    EXPECT_EQ(field(74), " 25.4");

    // Delete copies, and a following Undo leaves the field empty.
    edit(Command::Paste);
    edit(Command::Delete);
    EXPECT_EQ(platform.clipboard, "3.75");
    EXPECT_EQ(undoItem().title, "Undo Paste"); // Delete leaves the item alone
    edit(Command::Undo);
    EXPECT_EQ(field(74), "");
    EXPECT_FALSE(undoItem().enabled);
    EXPECT_EQ(app.table.fNum, 2);
}

TEST_F(CalculatorEdit, UndoDoesNotReachAcrossWindows) {
    app.flags.EditWndNum = 1;
    edit(Command::Cut); // row 1 of the sheet
    app.flags.EditWndNum = 2;
    edit(Command::Undo);
    EXPECT_EQ(platform.beeps, 1);
    EXPECT_EQ(field(75), " 12.5");
}

} // namespace
