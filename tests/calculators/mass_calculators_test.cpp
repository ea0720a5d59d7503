#include "calculators/calculator_layouts.h"
#include "calculators/calculator_window.h"
#include "calculators/formulas.h"
#include "model/app_state.h"
#include "runtime/number_text.h"
#include "support/calculator_session.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

using namespace kestrune;

namespace {

using test::kNone;
using test::kOption;
using test::kReturn;
using MassCalculators = test::CalculatorSession;

// x with the given decimals, as printf writes it.
std::string fixed(double x, int decimals) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, x);
    return buf;
}

// The Mms the Vap formula implies, in grams, from Fp (Hz), Vap (Liter) and Sd (cm²).
double impliedMms(double fp, double vap, double sd) {
    return 1000.0 * 3557630.0 * (sd / 10000.0) * (sd / 10000.0) / (fp * fp * vap);
}

TEST_F(MassCalculators, MmsOkWritesOnlyMmsToATenthAndRedraws) {
    for (const std::int32_t selected : {10, 4}) { // the Mms cell, then the Fp cell
        SCOPED_TRACE(selected);
        app.sel.cellH = selected;
        app.table.setValue(Param::Mms, 1, 77.0);
        app.doc.DirtyFlag = 0;
        open(5);
        EXPECT_EQ(control(CalcCtl::kTitle).text, "Mms Calculate ''PR-é''");
        EXPECT_EQ(shown(74), " 25");
        EXPECT_EQ(shown(75), " 50");
        EXPECT_EQ(shown(76), " 500");
        EXPECT_EQ(shown(80), " 77");
        EXPECT_EQ(platform.calculator.focusedField, 74);

        type(74, "30");
        type(75, "40,5"); // a decimal comma
        EXPECT_TRUE(CalculatorKeyDown(app, kReturn, kOption));
        EXPECT_TRUE(platform.calculatorOpen);
        const double mms = impliedMms(30.0, 40.5, 500.0);
        EXPECT_EQ(PSval(shown(80)), std::rint(10.0 * mms) / 10.0);
        EXPECT_EQ(cell(Param::Mms), 77.0); // nothing written before OK

        const int repaints = platform.repaints;
        EXPECT_TRUE(CalculatorKeyDown(app, kReturn, kNone));
        expectClosed();
        EXPECT_EQ(cell(Param::Mms), std::rint(10.0 * mms) / 10.0);
        EXPECT_EQ(cell(Param::Fp), 25.0); // the inputs are not the row's
        EXPECT_EQ(cell(Param::Vap), 50.0);
        EXPECT_EQ(app.doc.DirtyFlag, 1);
        EXPECT_GT(platform.repaints, repaints);
        // The selected cell shows the row, never a value only typed in the window.
        EXPECT_EQ(PSval(platform.editField.view()), selected == 10 ? cell(Param::Mms) : 25.0);
        EXPECT_EQ(platform.beeps, 0);
    }
}

TEST_F(MassCalculators, AddMassInABoxShowsCopiesAndOkLeavesTheRow) {
    open(6);
    EXPECT_EQ(control(CalcCtl::kTitle).text, "Add Mass Calculate ''PR-é''");
    EXPECT_EQ(shown(74), " 25");
    EXPECT_EQ(shown(75), " 77");
    EXPECT_EQ(shown(76), " 50");
    EXPECT_EQ(shown(110), " 1");
    EXPECT_EQ(shown(112), "");
    EXPECT_TRUE(control(CalcCtl::kModeFreeAir).checked); // the free-air target first
    EXPECT_FALSE(control(109).enabled);

    type(108, "12"); // typing survives the change of target
    CalculatorControlHit(app, CalcCtl::kMassMode, 2);
    EXPECT_EQ(shown(108), "12");
    EXPECT_FALSE(control(108).enabled);
    EXPECT_TRUE(control(109).enabled);
    EXPECT_TRUE(control(CalcCtl::kModeBox).checked);
    type(109, "60");
    type(110, "2");
    type(111, "18");
    type(112, "300");
    platform.clipboard = "before";
    CalculatorControlHit(app, CalcCtl::kCalc, 0);
    EXPECT_EQ(platform.clipboard, "before"); // Calc. only shows

    // Two radiators on 60 liters, each with Vap 50: the air stiffens each by 100/60.
    const double stiffening = 1.0 + 2.0 * 50.0 / 60.0;
    const double added = 77.0 * stiffening * (25.0 / 18.0) * (25.0 / 18.0) - 77.0;
    const double loaded = 25.0 * std::sqrt(77.0 / (77.0 + added));
    EXPECT_EQ(shown(80), " " + fixed(added, 1));
    EXPECT_NEAR(PSval(shown(83)) * std::sqrt(stiffening), 18.0, 0.01);
    EXPECT_EQ(shown(113), " 480"); // 2 × Vd 240
    EXPECT_EQ(shown(114), " 1.6");
    EXPECT_EQ(control(CalcCtl::kResultLine).text,
              "Add " + fixed(added, 1) + " g to each passive radiator");

    CalculatorControlHit(app, CalcCtl::kCopyResults, 0);
    EXPECT_EQ(platform.clipboard, "Model: Acme PR-\u00E9\n"
                                  "Fp: 25 Hz\n"
                                  "Mms: 77 g\n"
                                  "Vap: 50 Liter\n"
                                  "Passive radiators: 2\n"
                                  "Box volume Vb: 60 Liter\n"
                                  "Box tuning Fb: 18 Hz\n"
                                  "Added mass per radiator: " +
                                      fixed(added, 1) + " g\nResulting Fp: " + fixed(loaded, 2) +
                                      " Hz\n"
                                      "Total Vd: 480 cm^3\n"
                                      "Driver Vd: 300 cm^3\n"
                                      "Total Vd / driver Vd: 1.6\n");
    EXPECT_TRUE(platform.calculatorOpen);

    const int repaints = platform.repaints;
    CalculatorControlHit(app, CalcCtl::kOK, 0);
    expectClosed();
    EXPECT_EQ(cell(Param::Mms), 77.0);
    EXPECT_EQ(cell(Param::Fp), 25.0);
    EXPECT_EQ(app.doc.DirtyFlag, 0);
    EXPECT_EQ(platform.repaints, repaints);
    EXPECT_EQ(platform.beeps, 0);

    // The target and the box are there again for the next radiator; the
    // results are not.
    open(6);
    EXPECT_TRUE(control(CalcCtl::kModeBox).checked);
    EXPECT_EQ(shown(109), "60");
    EXPECT_EQ(shown(112), "300");
    EXPECT_EQ(shown(80), "");
}

TEST_F(MassCalculators, AddMassSaysWhenTheRadiatorTunesLowerAlready) {
    open(6);
    type(108, "30");
    CalculatorControlHit(app, CalcCtl::kCalc, 0);
    const std::string removal = fixed(77.0 * (1.0 - (25.0 / 30.0) * (25.0 / 30.0)), 1);
    const std::string line =
        "Already below the target: remove " + removal + " g or choose another model";
    // The window breaks the sentence after its colon, to fit.
    EXPECT_EQ(control(CalcCtl::kResultLine).text,
              "Already below the target:\nremove " + removal + " g or choose another model");
    EXPECT_EQ(shown(80), "");
    EXPECT_EQ(shown(83), "");
    CalculatorControlHit(app, CalcCtl::kCopyResults, 0);
    ASSERT_TRUE(platform.clipboard);
    EXPECT_NE(platform.clipboard->find("\nTarget Fp: 30 Hz\nResult: " + line + "\n"),
              std::string::npos);
    EXPECT_EQ(platform.clipboard->find("Added mass"), std::string::npos);
    EXPECT_EQ(platform.beeps, 0);

    // Each field is read for what its label says: out of range, Copy
    // Results beeps and copies nothing.
    const std::pair<std::int32_t, const char*> unfit[] = {
        {110, "9"}, {110, "1.5"}, {108, "abc"}, {75, "0"}, {112, "-5"}};
    for (const auto& [field, text] : unfit) {
        SCOPED_TRACE(text);
        type(108, "30");
        type(110, "1");
        type(75, "77");
        type(112, "");
        type(field, text);
        platform.clipboard = "before";
        CalculatorControlHit(app, CalcCtl::kCopyResults, 0);
        EXPECT_EQ(platform.clipboard, "before");
    }
    EXPECT_EQ(platform.beeps, 5);
    CalculatorKeyDown(app, kReturn, kNone); // OK: nothing written
    expectClosed();
    EXPECT_EQ(app.doc.DirtyFlag, 0);
}

} // namespace
