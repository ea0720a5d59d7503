#include "application/commands.h"
#include "application/lifecycle.h"
#include "calculators/calculator_layouts.h"
#include "calculators/calculator_window.h"
#include "model/menu_model.h"
#include "sheet/sheet_redraw.h"
#include "sheet/sorting.h"
#include "support/sheet_session.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>

using namespace kestrune;
using test::readFile;

namespace {

// Two rows, A with Dia 30 and B; the Dia cell of row A is being edited.
class TypedNumbers : public test::SheetSession {
protected:
    TypedNumbers() {
        NewDataSheet(app);
        AddNewModelCommand(app);
        app.sel.cellH = 0;
        DrawSheet(app);
        app.table.Manufacturer.set(1, "A");
        app.table.Manufacturer.set(2, "B");
        app.table.Number[1] = 1;
        app.table.Number[2] = 2;
        app.table.setValue(Param::Dia, 1, 30.0);
        SheetMouseDown(app, 300, 85, 1); // Dia of row 1
    }
    double diaOf(std::string_view maker) const {
        for (std::int32_t r = 1; r <= app.table.fNum; ++r) {
            if (app.table.Manufacturer.get(r) == maker) {
                return app.table.value(Param::Dia, r);
            }
        }
        ADD_FAILURE() << "no row " << maker;
        return -1.0;
    }
};

struct TypedCase {
    const char* typed;
    std::optional<double> stored; // nothing: not a number, refused
    const char* saved;            // the Dia text a save writes
};

// Row A's Dia is 30 before each case.
const TypedCase kTypedCases[] = {
    {"12,5", 12.5, " 12.5"},
    {"12.5", 12.5, " 12.5"},
    {" 7 ", 7.0, " 7"},
    {"", 0.0, " 0"},
    {"-3,25e2", -325.0, "-325"},
    {"1e307", 1e307, "1e+307"}, // too large for decimals, never "inf"
    {"abc", std::nullopt, " 30"},
    {"1e400", std::nullopt, " 30"},
    {"-", std::nullopt, " 30"},
    {",", std::nullopt, " 30"},
    {"1,234.5", std::nullopt, " 30"},
    {"30.5cm", std::nullopt, " 30"},
};

TEST_F(TypedNumbers, MovingOnStoresANumberOrIsRefusedWithTheTextKept) {
    // Every way of leaving the cell, and where the selection would go.
    const std::pair<const char*, std::function<void(AppState&)>> moves[] = {
        {"Down", [](AppState& a) { SheetKeyDown(a, SheetKey::kDown, {}); }},
        {"Return", [](AppState& a) { SheetKeyDown(a, SheetKey::kReturn, {}); }},
        {"Option+Left", [](AppState& a) { SheetKeyDown(a, SheetKey::kLeft, {.option = true}); }},
        {"click on row 2", [](AppState& a) { SheetMouseDown(a, 300, 101, 1); }},
        {"click on a row number", [](AppState& a) { SheetMouseDown(a, 10, 85, 1); }},
        {"double click elsewhere", [](AppState& a) { SheetMouseDown(a, 400, 85, 2); }},
        {"Add New Model", [](AppState& a) { AddNewModelCommand(a); }},
        {"Vap calculator",
         [](AppState& a) { DispatchMenuCommand(a, MenuNum::kCalculate, CalcItem::kVap); }},
    };
    for (const TypedCase& c : kTypedCases) {
        for (const auto& [name, move] : moves) {
            SCOPED_TRACE(std::string("typed \"") + c.typed + "\", " + name);
            app.table.setValue(Param::Dia, 1, 30.0);
            platform.type(c.typed);
            const int beeps = platform.beeps;
            const int selections = platform.editFieldSelections;
            const std::int32_t rows = app.table.fNum;
            move(app);
            if (c.stored) {
                EXPECT_DOUBLE_EQ(diaOf("A"), *c.stored);
                EXPECT_EQ(platform.editFieldSelections, selections);
            } else {
                EXPECT_EQ(app.sel.cellV, 1);
                EXPECT_EQ(app.sel.cellH, 3);
                EXPECT_EQ(app.sel.ScrollValue, 0);
                EXPECT_EQ(app.table.fNum, rows);
                EXPECT_FALSE(platform.calculatorOpen);
                EXPECT_EQ(platform.beeps, beeps + 1);
                EXPECT_EQ(platform.editFieldSelections, selections + 1);
                EXPECT_EQ(platform.editField.str(), c.typed);
                EXPECT_EQ(platform.toolArea.notice,
                          "\u201C" + std::string(c.typed) + "\u201D is not a number");
                EXPECT_DOUBLE_EQ(diaOf("A"), 30.0);
            }
            // Back to the Dia cell of row A for the next way.
            CloseCalculatorWindow(app);
            app.sel.cellV = 1;
            app.sel.cellH = 3;
            DrawSheet(app);
            if (c.stored) {
                break; // one way of storing a number is enough
            }
        }
    }
}

TEST_F(TypedNumbers, TheEditedCellItselfAndScrollingNeverRefuse) {
    platform.type("abc");
    SheetMouseDown(app, 300, 85, 1);      // the same cell again
    SheetKeyDown(app, SheetKey::kUp, {}); // row 1 has nothing above it
    SheetWheel(app, -1);
    EXPECT_EQ(platform.beeps, 0);
    EXPECT_EQ(platform.editField.str(), "abc");
    EXPECT_DOUBLE_EQ(diaOf("A"), 30.0);
    platform.type("abc4"); // still not a number after another redraw
    DrawSheet(app);
    SheetKeyDown(app, SheetKey::kDown, {});
    EXPECT_EQ(app.sel.cellV, 1);
    platform.type("4");
    SheetKeyDown(app, SheetKey::kDown, {});
    EXPECT_EQ(app.sel.cellV, 2);
    EXPECT_DOUBLE_EQ(diaOf("A"), 4.0);
}

TEST_F(TypedNumbers, SaveAndSortGoOnWithTheCellAsItWas) {
    const std::string path = dir.file("typed.kedata");
    for (const TypedCase& c : kTypedCases) {
        SCOPED_TRACE(std::string("typed \"") + c.typed + "\"");
        app.table.setValue(Param::Dia, 1, 30.0);
        platform.type(c.typed);
        int beeps = platform.beeps;
        platform.fileChoices = {path};
        SaveCommand(app);
        EXPECT_EQ(readFile(path), std::string("A,n/a,") + c.saved +
                                      ", 0, 0, 0, 0, 0, 0, 0\rB,n/a, 0, 0, 0, 0, 0, 0, 0, 0\r");
        EXPECT_EQ(platform.beeps, beeps + (c.stored ? 0 : 1));
        // Refused text gives way to the cell's value; a number stays as typed.
        EXPECT_EQ(platform.editField.str(), c.stored ? c.typed : " 30");
        EXPECT_EQ(app.sel.cellV, 1);
        EXPECT_EQ(app.doc.DirtyFlag, 0);
        if (!c.stored) { // and a note says what went
            ASSERT_FALSE(platform.notes.empty());
            EXPECT_EQ(platform.notes.back(),
                      std::string("A typed text was not kept.\n\u201C") + c.typed +
                          "\u201D is not a number: the Dia of row 1 keeps 30.");
        }

        app.table.setValue(Param::Dia, 1, 30.0);
        DrawSheet(app);
        platform.type(c.typed);
        beeps = platform.beeps;
        DispatchMenuCommand(app, MenuNum::kSort, kSortByNumber); // Unsort
        EXPECT_DOUBLE_EQ(diaOf("A"), c.stored.value_or(30.0));
        EXPECT_EQ(platform.beeps, beeps + (c.stored ? 0 : 1));
        app.sel.cellV = 1;
        app.sel.cellH = 3;
        DrawSheet(app);
    }
}

// Escape puts the stored value back and ends the word about it; Close and
// Quit with text that is not a number say so and stop once, then go on.
TEST_F(TypedNumbers, EscapeRestoresAndCloseOrQuitStopOnceForUnkeptText) {
    app.doc.DirtyFlag = 0; // no question about saving comes between
    platform.type("abc");
    SheetKeyDown(app, SheetKey::kDown, {});
    ASSERT_FALSE(platform.toolArea.notice.empty());
    EXPECT_TRUE(SheetKeyCommand(app, SheetKey::kEscape, {}));
    EXPECT_EQ(platform.editField.str(), " 30");
    EXPECT_EQ(platform.toolArea.notice, "");
    EXPECT_FALSE(SheetKeyCommand(app, SheetKey::kEscape, {})); // nothing left to put back
    platform.type("1,234.5 mm");
    QuitSequence(app);
    EXPECT_EQ(platform.notes.size(), 1u);
    EXPECT_EQ(app.flags.EndedFlag, 0);
    EXPECT_EQ(platform.editField.str(), " 30");
    platform.type("x");
    CloseSequence(app);
    EXPECT_EQ(platform.notes.size(), 2u);
    EXPECT_EQ(app.flags.MainWndOpenFlag, 1);
    CloseSequence(app); // read: now it goes on
    EXPECT_EQ(app.flags.MainWndOpenFlag, 0);
}

} // namespace
