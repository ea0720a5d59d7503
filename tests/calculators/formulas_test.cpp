#include "calculators/formulas.h"

#include "model/app_state.h"
#include "support/fake_platform.h"

#include <gtest/gtest.h>

using namespace kestrune;

namespace {

// Row 2 is selected: Dia 30, Fp 25, Vap 50, Qmp 4, Sd 400, Xmax 6, Vd 240, Mms 77.
class Formulas : public ::testing::Test {
protected:
    Formulas() {
        app.table.fNum = 2;
        app.table.ensureRows(3);
        app.table.ModelName.set(2, "PR-10");
        setRow({30.0, 25.0, 50.0, 4.0, 400.0, 6.0, 240.0, 77.0});
        app.sel.cellV = 2;
    }
    void setRow(std::array<double, kParamCount> values) {
        for (Param p : kAllParams) {
            app.table.setValue(p, 2, values[static_cast<std::size_t>(p)]);
        }
    }
    double cell(Param p) const { return app.table.value(p, 2); }

    test::FakePlatform platform;
    AppState app{platform};
    const CalcWorkingSet& c = app.calc;
};

TEST_F(Formulas, OpeningRoundsEachParameterWithTiesToEven) {
    setRow({12.344, 0.125, 0.375, 0.4, 0.25, 2.675, 1.0625, 0.75});
    app.calc.DIAinch = 3.0;
    CalcParaChang(app);
    EXPECT_EQ(c.s_SP5.view(), "PR-10");
    EXPECT_EQ(c.s_DIA5.view(), " 12.34");
    EXPECT_EQ(c.s_FS5.view(), " 0.12");
    EXPECT_EQ(c.s_VAS5.view(), " 0.38");
    EXPECT_EQ(c.s_SD5.view(), " 0.2");
    EXPECT_EQ(c.s_XMAX5.view(), " 2.68"); // 100 × 2.675 is 267.5 in doubles
    EXPECT_EQ(c.s_VD5.view(), " 1.062");
    EXPECT_EQ(c.s_MMS5.view(), " 0.8");
    EXPECT_EQ(c.DIAinch, 0.0);
}

TEST_F(Formulas, VapWritesEverythingButMmsAndRepeatsExactly) {
    const CalcFields fields{"20", "100", "500", "1", "8"};
    VasCalc(app, fields);
    EXPECT_FALSE(c.UncalcFlag);
    EXPECT_DOUBLE_EQ(c.VAS5, 222.351875);
    EXPECT_EQ(c.MMS5, 0.1); // kilograms from here on
    EXPECT_EQ(c.s_VAS5.view(), " 222.35");
    EXPECT_EQ(c.s_VD5.view(), " 400");
    EXPECT_EQ(c.s_MMS5.view(), "100"); // inputs keep the text as typed

    const double first = c.VAS5;
    VasCalc(app, fields); // reads Mms in grams again
    EXPECT_EQ(c.VAS5, first);

    TransToSheetVas(app);
    const std::array<double, kParamCount> expected{30.0, 20.0, first, 1.0, 500.0, 8.0, 400.0, 77.0};
    for (Param p : kAllParams) {
        EXPECT_EQ(cell(p), expected[static_cast<std::size_t>(p)]);
    }
}

TEST_F(Formulas, RefusedInputOnlyBeepsAndKeepsTheTextsRead) {
    CalcParaChang(app);
    const CalcWorkingSet before = app.calc;
    VasCalc(app, {"20", "100", "500", "0", "8"}); // Qmp is checked although unused
    EXPECT_TRUE(c.UncalcFlag);
    EXPECT_EQ(c.s_QMS5.view(), "0");
    EXPECT_EQ(c.MMS5, 100.0);
    EXPECT_EQ(c.s_VAS5, before.s_VAS5);
    EXPECT_EQ(c.VD5, before.VD5);
    VasCalc(app, {"20", "100", "abc", "1", "8"});
    EXPECT_EQ(platform.beeps, 2);

    // Xmax 0 is accepted by Vap and empties the row's Vd.
    VasCalc(app, {"20", "100", "500", "1", "0"});
    EXPECT_FALSE(c.UncalcFlag);
    TransToSheetVas(app);
    EXPECT_EQ(cell(Param::Vd), 0.0);

    SdCalc(app, {.field74 = " 0"});
    VdCalc(app, {.field74 = "500", .field75 = "0"});
    app.calc.tabItem = 3;
    FtToMetParaCang(app);
    CalcFtToMet(app, {.field74 = c.s_FTMin});
    EXPECT_TRUE(c.UncalcFlag);
    EXPECT_EQ(platform.beeps, 5);
    EXPECT_EQ(c.keepBtn3, 0);
    EXPECT_EQ(c.s_FTMout.view(), "500"); // the Sd text the refused Vd read
}

TEST_F(Formulas, FieldsTakeADecimalCommaAndResultsBeyondTheDoublesAreRefused) {
    EXPECT_EQ(VasCalc(app, {"20,0", "100", "500,0", "1", "8,5"}), CalcOutcome::Computed);
    EXPECT_EQ(c.XMAX5, 8.5);
    const CalcWorkingSet before = app.calc;
    // Vd beyond the doubles: no result is kept, and Mms stays in grams as read.
    EXPECT_EQ(VasCalc(app, {"20", "100", "1e300", "1", "1e300"}), CalcOutcome::NotFinite);
    EXPECT_TRUE(c.UncalcFlag);
    EXPECT_EQ(c.VAS5, before.VAS5);
    EXPECT_EQ(c.VD5, before.VD5);
    EXPECT_EQ(c.MMS5, 100.0);
    EXPECT_EQ(c.s_VAS5, before.s_VAS5);
    EXPECT_EQ(VasCalc(app, {"20", "100", "500", "1", "8mm"}), CalcOutcome::Refused);
    app.calc.tabItem = 1;
    EXPECT_EQ(CalcFtToMet(app, {.field74 = "1e308"}), CalcOutcome::NotFinite);
    EXPECT_EQ(c.keepBtn1, 0);
    EXPECT_EQ(platform.beeps, 3);
}

TEST_F(Formulas, SdAndVdInBothUnits) {
    SdCalc(app, {.field74 = "200"});
    EXPECT_EQ(c.s_SD5.view(), " 314.2");
    TransToSheetSd(app);
    EXPECT_DOUBLE_EQ(cell(Param::Sd), 314.1592653589793);

    app.calc.VdRadioID = 2;
    VdCalc(app, {.field74 = "0.05", .field75 = "8"});
    EXPECT_EQ(c.s_VD5.view(), " 400");
    TransToSheetVd(app);
    EXPECT_DOUBLE_EQ(cell(Param::Sd), 500.0); // the table keeps cm²
    EXPECT_DOUBLE_EQ(cell(Param::Vd), 400.0);

    // The unit switch reads without checking and leaves UncalcFlag alone.
    app.calc.UncalcFlag = true;
    VdCalc2(app, {.field74 = "-3", .field75 = "x"});
    EXPECT_TRUE(c.UncalcFlag);
    EXPECT_EQ(c.SD5, -3.0);

    app.table.setValue(Param::Sd, 2, 1000.25); // 10002.5 steps of 0.1 cm², to even
    CalcParaChangVd(app);
    EXPECT_EQ(c.s_SD5.view(), " 0.10002");
    app.calc.VdRadioID = 1;
    CalcParaChangVd(app);
    EXPECT_EQ(c.s_SD5.view(), " 1000.2");
    CalcParaChangVdUnitSwitch(app);
    EXPECT_EQ(c.s_SD5.view(), " 1000.25");
}

TEST_F(Formulas, FeetToMetricConvertsMarksAndTransfersOnlyMarkedColumns) {
    struct Case {
        const char* input;
        const char* text;
        double metric;
    };
    const Case cases[] = {{"10", " 25", 25.0},
                          {"1", " 28.32", 28.316846592},
                          {"100", " 645.2", 645.16},
                          {"0.5", " 12.7", 12.7},
                          {"10", " 163.87", 163.87064}};
    const Param columns[] = {Param::Dia, Param::Vap, Param::Sd, Param::Xmax, Param::Vd};
    CalcParaChang(app);
    for (std::int32_t tab = 1; tab <= 5; ++tab) {
        app.calc.tabItem = tab;
        FtToMetParaCang(app);
        EXPECT_EQ(c.s_FTMin.view(), " 0");
        CalcFtToMet(app, {.field74 = cases[tab - 1].input});
        EXPECT_EQ(c.s_FTMout.view(), cases[tab - 1].text);
    }
    app.calc.tabItem = 2;
    FtToMetParaCang(app);
    EXPECT_EQ(c.s_FTMout.view(), " 28.32");
    EXPECT_EQ(c.s_VAS5.view(), " 28.32");

    app.calc.keepBtn2 = 0;
    TransToSheetFtToMet(app);
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_DOUBLE_EQ(cell(columns[i]), i == 1 ? 50.0 : cases[i].metric);
    }
}

} // namespace
