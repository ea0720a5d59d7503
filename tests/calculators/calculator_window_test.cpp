#include "calculators/calculator_window.h"

#include "calculators/calculator_layouts.h"
#include "calculators/formulas.h"
#include "model/app_state.h"
#include "support/calculator_session.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <set>

using namespace kestrune;

namespace {

using test::kEnter;
using test::kEscape;
using test::kNone;
using test::kOption;
using test::kReturn;
using test::kSpace;
using CalculatorWindow = test::CalculatorSession;

TEST_F(CalculatorWindow, OpeningSuspendsTheSheetAndShowsTheRow) {
    open(1);
    EXPECT_TRUE(platform.calculatorOpen);
    EXPECT_EQ(app.calc.CalcWndOnFlag, 1);
    EXPECT_EQ(app.flags.EditWndNum, 2);
    EXPECT_EQ(app.sheet.ExistScrollFlag, 0);
    EXPECT_EQ(app.sheet.PreExistScroll, 1);
    EXPECT_FALSE(usable(MenuNum::kFile, 5));
    EXPECT_FALSE(usable(MenuNum::kCalculate, 1)); // no second calculator
    EXPECT_TRUE(app.menus.findMenu(MenuNum::kEdit)->enabled);

    EXPECT_EQ(control(CalcCtl::kTitle).text, "Vap Calculate ''PR-é''");
    EXPECT_EQ(shown(74), " 25");
    EXPECT_EQ(shown(75), " 77");
    EXPECT_EQ(shown(76), " 500");
    EXPECT_EQ(shown(78), " 4");
    EXPECT_EQ(shown(79), " 6");
    EXPECT_EQ(shown(80), " 50");
    EXPECT_EQ(shown(83), " 240");
    EXPECT_EQ(platform.calculator.focusedField, 74);
    EXPECT_EQ(app.editMenu.edtFldID, 74);

    // The menu cannot open another one over it.
    OpenCalculator(app, 2);
    EXPECT_EQ(app.calc.window.calcItemID, 1);
}

TEST_F(CalculatorWindow, VapCalcShowsResultsAndOkWritesTheRow) {
    app.sel.cellH = 5; // the Vap cell is selected
    open(1);
    type(74, "20");
    type(75, "100");
    type(78, "1");
    type(79, "8");
    CalculatorControlHit(app, CalcCtl::kCalc, 0);
    EXPECT_TRUE(platform.calculatorOpen);
    EXPECT_EQ(shown(80), " 222.35");
    EXPECT_EQ(shown(83), " 400");
    EXPECT_EQ(shown(74), "20"); // typed texts stay as typed
    EXPECT_EQ(cell(Param::Vap), 50.0);

    const int repaints = platform.repaints;
    CalculatorControlHit(app, CalcCtl::kOK, 0);
    expectClosed();
    EXPECT_DOUBLE_EQ(cell(Param::Vap), 222.351875);
    EXPECT_EQ(cell(Param::Vd), 400.0);
    EXPECT_EQ(cell(Param::Fp), 20.0);
    EXPECT_EQ(cell(Param::Qmp), 1.0);
    EXPECT_EQ(cell(Param::Xmax), 8.0);
    EXPECT_EQ(cell(Param::Mms), 77.0); // never written
    EXPECT_EQ(app.doc.DirtyFlag, 1);
    EXPECT_GT(platform.repaints, repaints);
    EXPECT_EQ(platform.editField.view(), " 222.35");
}

// Inputs left as the fields showed them keep the digits the row has.
TEST_F(CalculatorWindow, OkKeepsTheDigitsOfInputsLeftAsShown) {
    app.table.setGivenValue(Param::Sd, 1, 214.25);
    app.table.setGivenValue(Param::Fp, 1, 25.125);
    open(1);
    CalculatorControlHit(app, CalcCtl::kOK, 0);
    EXPECT_EQ(cell(Param::Sd), 214.25); // shown as 214.2
    EXPECT_EQ(cell(Param::Fp), 25.125);
}

TEST_F(CalculatorWindow, RefusedInputBeepsAndOkThenLeavesTheRow) {
    open(1);
    type(78, "0"); // Qmp 0 is refused although the formula does not use it
    CalculatorControlHit(app, CalcCtl::kCalc, 0);
    EXPECT_EQ(platform.beeps, 1);
    EXPECT_TRUE(platform.calculatorOpen);
    EXPECT_EQ(shown(78), "0");
    EXPECT_EQ(shown(80), " 50");

    const int repaints = platform.repaints;
    CalculatorKeyDown(app, kReturn, kNone);
    EXPECT_EQ(platform.beeps, 2);
    expectClosed();
    EXPECT_EQ(cell(Param::Qmp), 4.0);
    EXPECT_EQ(cell(Param::Vap), 50.0);
    EXPECT_EQ(app.doc.DirtyFlag, 0);
    EXPECT_EQ(platform.repaints, repaints);
}

TEST_F(CalculatorWindow, OkOnAResultBeyondTheDoublesOnlyBeepsAndTheWindowStays) {
    struct Case {
        int item;
        std::int32_t field;
        const char* overflowing;
        const char* corrected; // with a decimal comma
        Param written;
        double value;
    };
    const Case cases[] = {
        {1, 74, "1e-200", "20,5", Param::Fp, 20.5}, // Fp² below the doubles
        {2, 74, "1e200", "200,0", Param::Sd, 100.0 * std::numbers::pi},
        {3, 74, "1e300", "0,5", Param::Sd, 0.5},     // Vd = Sd × Xmax
        {4, 74, "1e308", "10,5", Param::Dia, 26.25}, // inch to cm
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.item);
        app.sel.cellH = 0;
        open(k.item);
        type(k.field, k.overflowing);
        if (k.item == 3) {
            type(75, "1e10");
        }
        const int beeps = platform.beeps;
        CalculatorKeyDown(app, kReturn, kNone);
        EXPECT_EQ(platform.beeps, beeps + 1);
        EXPECT_TRUE(platform.calculatorOpen);
        EXPECT_EQ(app.calc.CalcWndOnFlag, 1);
        EXPECT_FALSE(usable(MenuNum::kFile, 5)); // the menus stay as the window wants them
        EXPECT_EQ(app.doc.DirtyFlag, 0);
        EXPECT_EQ(shown(k.field), k.overflowing);

        type(k.field, k.corrected);
        CalculatorControlHit(app, CalcCtl::kOK, 0);
        expectClosed();
        EXPECT_DOUBLE_EQ(cell(k.written), k.value);
        for (Param p : kAllParams) {
            EXPECT_TRUE(std::isfinite(cell(p)));
        }
        app.doc.DirtyFlag = 0;
    }
}

TEST_F(CalculatorWindow, KeysOfTheWindow) {
    open(1);
    type(74, "20");
    // Any key with exactly Option calculates and stays open.
    EXPECT_TRUE(CalculatorKeyDown(app, kReturn, kOption));
    EXPECT_TRUE(platform.calculatorOpen);
    EXPECT_EQ(shown(80), " 288.77"); // Fp 20, Mms 77 g, Sd 500 cm²
    EXPECT_TRUE(CalculatorKeyDown(app, 'x', kOption));
    EXPECT_TRUE(platform.calculatorOpen);
    // A space is never typed, with or without Option.
    EXPECT_TRUE(CalculatorKeyDown(app, kSpace, kNone));
    EXPECT_TRUE(CalculatorKeyDown(app, kSpace, kOption));
    EXPECT_EQ(shown(74), "20");
    // Ordinary keys go to the field; Option with another modifier is not a shortcut.
    EXPECT_FALSE(CalculatorKeyDown(app, '5', kNone));
    EXPECT_FALSE(CalculatorKeyDown(app, 'x', KeyModifiers{.option = true, .shift = true}));
    EXPECT_TRUE(platform.calculatorOpen);
    // Enter is OK.
    EXPECT_TRUE(CalculatorKeyDown(app, kEnter, KeyModifiers{.command = true}));
    expectClosed();
    EXPECT_EQ(cell(Param::Fp), 20.0);
    // Keys that arrive after the window went are not the calculator's.
    EXPECT_FALSE(CalculatorKeyDown(app, kReturn, kNone));
}

TEST_F(CalculatorWindow, EscapeAndCancelCloseWithoutWriting) {
    for (const bool escape : {true, false}) {
        open(1);
        type(74, "99");
        if (escape) {
            EXPECT_TRUE(CalculatorKeyDown(app, kEscape, kNone));
        } else {
            CalculatorControlHit(app, CalcCtl::kCancel, 0);
        }
        expectClosed();
        EXPECT_EQ(cell(Param::Fp), 25.0);
        EXPECT_EQ(app.doc.DirtyFlag, 0);
    }
}

TEST_F(CalculatorWindow, FeetToMetricOpensOnDiaWithNothingMarked) {
    app.calc.keepBtn3 = 1; // left over from an earlier opening
    app.calc.tabItem = 4;
    open(4);
    EXPECT_EQ(control(CalcCtl::kFeetTitle).text, "Feet to Metric Calculate ''PR-é''");
    EXPECT_EQ(control(CalcCtl::kTabs).value, 1);
    EXPECT_TRUE(control(31).visible);
    EXPECT_FALSE(control(33).visible);
    EXPECT_EQ(control(48).text, "Dia");
    EXPECT_EQ(control(50).text, "inch");
    EXPECT_EQ(control(51).text, "cm");
    EXPECT_EQ(shown(74), " 0");
    EXPECT_EQ(shown(80), " 30");
    for (std::int32_t n = 69; n <= 73; ++n) {
        EXPECT_FALSE(control(n).enabled);
        EXPECT_FALSE(control(n).checked);
    }
    EXPECT_EQ(app.calc.keepBtn3, 0);
}

TEST_F(CalculatorWindow, FeetToMetricOkAfterSpaceWritesTheConvertedDia) {
    app.sel.cellH = 3; // Dia
    open(4);
    type(74, "10");
    CalculatorControlHit(app, CalcCtl::kCalc, 0);
    EXPECT_EQ(shown(80), " 25");
    EXPECT_TRUE(control(69).enabled);
    EXPECT_TRUE(control(69).checked);

    EXPECT_TRUE(CalculatorKeyDown(app, kSpace, kNone));
    EXPECT_EQ(app.calc.tabItem, 2);
    EXPECT_EQ(control(CalcCtl::kTabs).value, 2);
    EXPECT_TRUE(control(32).visible);
    EXPECT_FALSE(control(31).visible);
    EXPECT_EQ(control(49).text, "Vap");
    EXPECT_EQ(control(49).help, "Passive Radiator Acoustic Volume");
    EXPECT_EQ(control(50).text, "feet³");
    EXPECT_EQ(shown(74), " 0");
    EXPECT_EQ(shown(80), " 50");
    EXPECT_TRUE(control(69).enabled); // only the selected quantity's toggle goes inactive

    CalculatorKeyDown(app, kReturn, kNone);
    EXPECT_EQ(platform.beeps, 1); // the Vap input " 0"
    expectClosed();
    EXPECT_EQ(cell(Param::Dia), 25.0);
    EXPECT_EQ(cell(Param::Vap), 50.0);
    EXPECT_EQ(platform.editField.view(), " 25");
}

TEST_F(CalculatorWindow, FeetToMetricTransferMarksDecideWhatIsWritten) {
    open(4);
    type(74, "10");
    CalculatorControlHit(app, CalcCtl::kCalc, 0);
    type(74, "7"); // typing survives a toggle
    CalculatorControlHit(app, 69, 0);
    EXPECT_FALSE(control(69).checked);
    EXPECT_EQ(shown(74), "7");
    CalculatorControlHit(app, 71, 0); // inactive: no effect
    EXPECT_EQ(app.calc.keepBtn3, 0);

    const int repaints = platform.repaints;
    CalculatorControlHit(app, CalcCtl::kOK, 0); // Calc. was pressed: no conversion now
    expectClosed();
    EXPECT_EQ(cell(Param::Dia), 30.0);
    EXPECT_EQ(platform.repaints, repaints);
    EXPECT_EQ(app.doc.DirtyFlag, 0);

    // Without Calc., OK converts what stands in the field.
    open(4);
    CalculatorControlHit(app, CalcCtl::kTabs, 4);
    EXPECT_EQ(control(48).text, "Xmax");
    type(74, "0.5");
    CalculatorControlHit(app, CalcCtl::kOK, 0);
    EXPECT_EQ(cell(Param::Xmax), 12.7);
    EXPECT_EQ(app.doc.DirtyFlag, 1);
}

TEST_F(CalculatorWindow, SpaceWalksTheQuantitiesAndWraps) {
    open(4);
    type(74, "2");
    CalculatorControlHit(app, CalcCtl::kCalc, 0);
    for (std::int32_t expected : {2, 3, 4, 5, 1}) {
        CalculatorKeyDown(app, kSpace, kNone);
        EXPECT_EQ(app.calc.tabItem, expected);
        EXPECT_EQ(app.calc.FTMCancelFlag, 0);
    }
    // Back on Dia its toggle is inactive, but its mark holds.
    EXPECT_FALSE(control(69).enabled);
    EXPECT_TRUE(control(69).checked);
    EXPECT_EQ(shown(80), " 5");
}

TEST_F(CalculatorWindow, VdUnitSwitchShowsTheRowsSdInTheNewUnit) {
    open(3);
    EXPECT_EQ(shown(74), " 500");
    EXPECT_EQ(control(CalcCtl::kSdUnit).text, "cm²");
    app.calc.UncalcFlag = true; // an earlier calculator's refusal does not hold the fields back
    type(75, "8");
    CalculatorControlHit(app, CalcCtl::kVdUnit, 2);
    EXPECT_EQ(shown(74), " 0.05");
    EXPECT_EQ(shown(75), "8");
    EXPECT_EQ(control(CalcCtl::kSdUnit).text, "m²");
    EXPECT_TRUE(control(CalcCtl::kUnitM2).checked);
    EXPECT_FALSE(control(CalcCtl::kUnitCm2).checked);

    CalculatorControlHit(app, CalcCtl::kOK, 0);
    EXPECT_EQ(cell(Param::Vd), 400.0);
    EXPECT_EQ(cell(Param::Sd), 500.0); // back in cm²

    // The unit outlives the window.
    open(3);
    EXPECT_EQ(shown(74), " 0.05");
    EXPECT_EQ(control(CalcCtl::kVdUnit).value, 2);
    CalculatorControlHit(app, CalcCtl::kVdUnit, 1);
    EXPECT_EQ(shown(74), " 500");
}

TEST_F(CalculatorWindow, SdWindowStartsFromZeroDiameter) {
    app.sel.cellH = 7; // Sd
    open(2);
    EXPECT_EQ(shown(74), " 0");
    EXPECT_EQ(shown(80), " 500");
    type(74, "200");
    CalculatorControlHit(app, CalcCtl::kCalc, 0);
    EXPECT_EQ(shown(80), " 314.2");
    CalculatorControlHit(app, CalcCtl::kOK, 0);
    EXPECT_NEAR(cell(Param::Sd), 314.159265, 1e-6);
    EXPECT_EQ(platform.editField.view(), " 314.16"); // as a document keeps it
}

TEST_F(CalculatorWindow, FocusFollowsTheInputFields) {
    open(1);
    CalculatorFieldFocused(app, 78);
    EXPECT_EQ(app.editMenu.edtFldID, 78);
    CalculatorFieldFocused(app, 80); // a result field is not an input
    EXPECT_EQ(app.editMenu.edtFldID, 78);
    const std::uint32_t request = app.calc.window.focusRequest;
    type(74, "20");
    CalculatorControlHit(app, CalcCtl::kCalc, 0);
    EXPECT_EQ(app.editMenu.edtFldID, 74);
    EXPECT_EQ(platform.calculator.focusedField, 74);
    EXPECT_GT(platform.calculator.focusRequest, request);
}

TEST(CalculatorLayouts, EveryWindowIsWholeAndConsistent) {
    for (std::int32_t item = 1; item <= 6; ++item) {
        const CalculatorView view = CalculatorLayout(item, Str255("X"));
        std::set<std::int32_t> numbers;
        for (const ControlView& c : view.controls) {
            EXPECT_TRUE(numbers.insert(c.number).second) << item << ": " << c.number;
            EXPECT_LT(c.rect.left, c.rect.right);
            EXPECT_LT(c.rect.top, c.rect.bottom);
            if (c.parent == 0) {
                EXPECT_LE(c.rect.right, view.width) << item << ": " << c.number;
                EXPECT_LE(c.rect.bottom, view.height) << item << ": " << c.number;
            } else {
                EXPECT_NE(FindCalcControl(view, c.parent), nullptr) << c.number;
            }
        }
        for (std::int32_t n : {24, 25, 26, 67, 68, 74, 80}) {
            EXPECT_NE(FindCalcControl(view, n), nullptr) << item << ": " << n;
        }
        EXPECT_EQ(FindCalcControl(view, 24)->kind, ControlKind::DefaultButton);
        EXPECT_EQ(FindCalcControl(view, 26)->help, "Shortcut is 'Optio + Enter'");
        EXPECT_FALSE(FindCalcControl(view, 80)->enabled);
    }
    const CalculatorView feet = CalculatorLayout(4, Str255());
    EXPECT_EQ(FindCalcControl(feet, 73)->parent, 38);
    EXPECT_EQ(FindCalcControl(feet, 73)->rect.left, 244);
    EXPECT_EQ(FindCalcControl(feet, 35)->text, "Vd   ");
    EXPECT_EQ(FindCalcControl(feet, 74)->parent, 30);
    EXPECT_EQ(CalculatorLayout(3, Str255()).width, 300);
    EXPECT_EQ(CalculatorLayout(7, Str255()).controls.size(), 0U);
}

// Makers publish Vas from rho·c²·Sd²·Cms with Cms = 1 / ((2π·Fs)²·Mms). The
// calculator's single constant stands for rho·c²·1000 / (4π²) of air at
// about 22 °C, and from published Fs, Mms and Sd it gives back the
// published Vas to the precision printed.
TEST_F(CalculatorWindow, PublishedVasValuesComeBack) {
    const double rho = 1.18; // kg/m³
    const double c = 345.0;  // m/s
    const double physical = rho * c * c * 1000.0 / (4.0 * std::numbers::pi * std::numbers::pi);
    EXPECT_NEAR(kVapConstant / physical, 1.0, 0.001);

    struct Datasheet {
        const char* fs;
        const char* mms;
        const char* sd;
        double vas; // Liter, as printed
    };
    for (const Datasheet& d :
         {Datasheet{"22", "95", "220", 37.4}, Datasheet{"19.5", "160", "330", 63.7},
          Datasheet{"17", "260", "480", 109.1}, Datasheet{"15", "420", "855", 275.2}}) {
        open(1);
        type(74, d.fs);
        type(75, d.mms);
        type(76, d.sd);
        CalculatorControlHit(app, CalcCtl::kCalc, 0);
        CalculatorControlHit(app, CalcCtl::kOK, 0);
        EXPECT_NEAR(cell(Param::Vap), d.vas, 0.05) << d.fs << " Hz";
    }
}

} // namespace
