#include "calculators/formulas.h"

#include "core/app_state.h"
#include "runtime/number_text.h"
#include "support/fake_platform.h"

#include <gtest/gtest.h>

using namespace kestrune;

namespace {

class Formulas : public ::testing::Test {
protected:
    Formulas() {
        app.table.fNum = 2;
        app.table.ensureRows(3);
        for (std::int32_t r = 1; r <= 2; ++r) {
            app.table.Number[r] = r;
        }
        app.table.Manufacturer.set(2, "Acme");
        app.table.ModelName.set(2, "PR-10");
        setRow(2, {30.0, 25.0, 50.0, 4.0, 400.0, 6.0, 240.0, 77.0});
        app.sel.cellV = 2;
    }

    void setRow(std::int32_t row, std::array<double, kParamCount> values) {
        for (Param p : kAllParams) {
            app.table.setValue(p, row, values[static_cast<std::size_t>(p)]);
        }
    }
    double cell(Param p) const { return app.table.value(p, 2); }

    test::FakePlatform platform;
    AppState app{platform};
};

CalcFields vapFields(const char* fp, const char* mms, const char* sd, const char* qmp,
                     const char* xmax) {
    return {fp, mms, sd, qmp, xmax};
}

TEST_F(Formulas, OpeningTakesTheRowRoundedPerParameterWithTiesToEven) {
    setRow(2, {12.344, 0.125, 0.375, 0.4, 0.25, 2.675, 1.0625, 0.75});
    app.calc.DIAinch = 3.0;
    app.calc.VDinch = 4.0;
    CalcParaChang(app);
    const CalcWorkingSet& c = app.calc;
    EXPECT_EQ(c.s_Manuf5.view(), "Acme");
    EXPECT_EQ(c.s_SP5.view(), "PR-10");
    EXPECT_EQ(c.s_DIA5.view(), " 12.34");
    EXPECT_EQ(c.s_FS5.view(), " 0.12");
    EXPECT_EQ(c.s_VAS5.view(), " 0.38");
    EXPECT_EQ(c.s_QMS5.view(), " 0.4");
    EXPECT_EQ(c.s_SD5.view(), " 0.2");    // 2.5 steps round to even
    EXPECT_EQ(c.s_XMAX5.view(), " 2.68"); // 100 × 2.675 is 267.5 in doubles
    EXPECT_EQ(c.s_VD5.view(), " 1.062");
    EXPECT_EQ(c.s_MMS5.view(), " 0.8");
    EXPECT_EQ(c.DIAinch, 0.0);
    EXPECT_EQ(c.VDinch, 0.0);

    // After a sort the texts come from row 1; the imperial inputs stay.
    app.calc.SDinch = 9.0;
    setRow(1, {1.0, 2.0, 3.0, 4.0, 5.0, 6.0, 7.0, 8.0});
    CalcParaChangBeforeSort(app);
    EXPECT_EQ(c.s_Manuf5.view(), "");
    EXPECT_EQ(c.s_VAS5.view(), " 3");
    EXPECT_EQ(c.SDinch, 9.0);
}

TEST_F(Formulas, VapFromFpMmsAndSdWritesEverythingButMms) {
    VasCalc(app, vapFields("20", "100", "500", "1", "8"));
    const CalcWorkingSet& c = app.calc;
    EXPECT_FALSE(c.UncalcFlag);
    EXPECT_DOUBLE_EQ(c.VAS5, 222.351875);
    EXPECT_EQ(c.VD5, 400.0);
    EXPECT_EQ(c.SDD, 0.05);
    EXPECT_EQ(c.MMS5, 0.1); // kilograms from here on
    EXPECT_EQ(c.s_VAS5.view(), " 222.35");
    EXPECT_EQ(c.s_VD5.view(), " 400");
    EXPECT_EQ(c.s_SD5.view(), " 500");
    EXPECT_EQ(c.s_MMS5.view(), "100"); // inputs keep the text as typed
    EXPECT_EQ(platform.beeps, 0);

    const double first = c.VAS5;
    VasCalc(app, vapFields("20", "100", "500", "1", "8"));
    EXPECT_EQ(c.VAS5, first) << "a second Calc. reads Mms in grams again";
    EXPECT_EQ(c.MMS5, 0.1);

    TransToSheetVas(app);
    EXPECT_EQ(cell(Param::Fp), 20.0);
    EXPECT_EQ(cell(Param::Vap), first);
    EXPECT_EQ(cell(Param::Qmp), 1.0);
    EXPECT_EQ(cell(Param::Sd), 500.0);
    EXPECT_EQ(cell(Param::Xmax), 8.0);
    EXPECT_EQ(cell(Param::Vd), 400.0);
    EXPECT_EQ(cell(Param::Mms), 77.0);
    EXPECT_EQ(cell(Param::Dia), 30.0);
}

TEST_F(Formulas, VapRefusesNonPositiveInputsExceptXmax) {
    CalcParaChang(app);
    const CalcWorkingSet before = app.calc;
    for (const CalcFields& f :
         {vapFields("20", "100", "500", "0", "8"), vapFields("0", "100", "500", "1", "8"),
          vapFields("20", "-1", "500", "1", "8"), vapFields("20", "100", "abc", "1", "8")}) {
        app.calc.UncalcFlag = false;
        VasCalc(app, f);
        EXPECT_TRUE(app.calc.UncalcFlag);
        // The fields were read; the results and the other texts are untouched.
        EXPECT_EQ(app.calc.s_QMS5, f.field78);
        EXPECT_EQ(app.calc.s_SD5, f.field76);
        EXPECT_EQ(app.calc.MMS5, PSval(f.field75.view()));
        EXPECT_EQ(app.calc.s_VAS5, before.s_VAS5);
        EXPECT_EQ(app.calc.s_VD5, before.s_VD5);
        EXPECT_EQ(app.calc.VAS5, before.VAS5);
        EXPECT_EQ(app.calc.VD5, before.VD5);
        EXPECT_EQ(app.calc.SDD, before.SDD);
    }
    EXPECT_EQ(platform.beeps, 4);

    // Xmax 0 is accepted and the row's Vd becomes 0.
    VasCalc(app, vapFields("20", "100", "500", "1", "0"));
    EXPECT_FALSE(app.calc.UncalcFlag);
    EXPECT_EQ(app.calc.s_VD5.view(), " 0");
    TransToSheetVas(app);
    EXPECT_EQ(cell(Param::Vd), 0.0);
    EXPECT_EQ(platform.beeps, 4);
}

TEST_F(Formulas, SdFromTheEffectiveDiameter) {
    SdCalc(app, {.field74 = "200"});
    EXPECT_FALSE(app.calc.UncalcFlag);
    EXPECT_DOUBLE_EQ(app.calc.SD5, 314.1592653589793);
    EXPECT_EQ(app.calc.s_SD5.view(), " 314.2");
    TransToSheetSd(app);
    EXPECT_EQ(cell(Param::Sd), app.calc.SD5);

    SdCalc(app, {.field74 = " 0"});
    EXPECT_TRUE(app.calc.UncalcFlag);
    EXPECT_EQ(app.calc.s_EFDIA5.view(), " 0");
    EXPECT_EQ(app.calc.s_SD5.view(), " 314.2");
    EXPECT_EQ(platform.beeps, 1);
}

TEST_F(Formulas, VdInBothUnitsKeepsTheTableInSquareCentimetres) {
    VdCalc(app, {.field74 = "500", .field75 = "8"});
    EXPECT_EQ(app.calc.VD5, 400.0);
    EXPECT_EQ(app.calc.s_VD5.view(), " 400");

    app.calc.VdRadioID = 2;
    VdCalc(app, {.field74 = "0.05", .field75 = "8"});
    EXPECT_FALSE(app.calc.UncalcFlag);
    EXPECT_DOUBLE_EQ(app.calc.VD5, 400.0);
    TransToSheetVd(app);
    EXPECT_DOUBLE_EQ(cell(Param::Sd), 500.0);
    EXPECT_DOUBLE_EQ(cell(Param::Vd), 400.0);
    EXPECT_EQ(cell(Param::Xmax), 8.0);

    // Unlike Vap, Vd needs a positive Xmax.
    VdCalc(app, {.field74 = "0.05", .field75 = "0"});
    EXPECT_TRUE(app.calc.UncalcFlag);
    EXPECT_EQ(platform.beeps, 1);

    // The unit switch reads both fields without checking them.
    VdCalc2(app, {.field74 = "-3", .field75 = "x"});
    EXPECT_TRUE(app.calc.UncalcFlag);
    EXPECT_EQ(app.calc.SD5, -3.0);
    EXPECT_EQ(app.calc.XMAX5, 0.0);
    EXPECT_EQ(platform.beeps, 1);
}

TEST_F(Formulas, VdSdTextFollowsTheUnit) {
    app.table.setValue(Param::Sd, 2, 500.04);
    CalcParaChangVd(app);
    EXPECT_EQ(app.calc.s_SD5.view(), " 500");
    CalcParaChangVdUnitSwitch(app);
    EXPECT_EQ(app.calc.s_SD5.view(), " 500.04");
    app.calc.VdRadioID = 2;
    CalcParaChangVd(app);
    EXPECT_EQ(app.calc.s_SD5.view(), " 0.05");
    app.table.setValue(Param::Sd, 2, 1000.25); // 10002.5 steps of 0.1 cm² round to even
    CalcParaChangVdUnitSwitch(app);
    EXPECT_EQ(app.calc.s_SD5.view(), " 0.10002");
}

TEST_F(Formulas, FeetToMetricConvertsAndMarksEachQuantity) {
    struct Case {
        std::int32_t tab;
        const char* input;
        const char* text;
        Param column;
        double metric;
    };
    const Case cases[] = {{1, "10", " 25", Param::Dia, 25.0},
                          {2, "1", " 28.32", Param::Vap, 28.316846592},
                          {3, "100", " 645.2", Param::Sd, 645.16},
                          {4, "0.5", " 12.7", Param::Xmax, 12.7},
                          {5, "10", " 163.87", Param::Vd, 163.87064}};
    CalcParaChang(app);
    for (const Case& k : cases) {
        app.calc.tabItem = k.tab;
        FtToMetParaCang(app);
        EXPECT_EQ(app.calc.s_FTMin.view(), " 0");
        CalcFtToMet(app, {.field74 = k.input});
        EXPECT_FALSE(app.calc.UncalcFlag) << k.tab;
        EXPECT_EQ(app.calc.s_FTMout.view(), k.text) << k.tab;
        EXPECT_EQ(app.calc.s_FTMin.view(), k.input);
    }
    const CalcWorkingSet& c = app.calc;
    EXPECT_EQ(c.s_DIA5.view(), " 25");
    EXPECT_EQ(c.s_VD5.view(), " 163.87");
    EXPECT_EQ(c.XMAXinch, 0.5);
    EXPECT_EQ(c.keepBtn1 + c.keepBtn2 + c.keepBtn3 + c.keepBtn4 + c.keepBtn5, 5);

    // Switching back shows the converted text; the untouched input " 0" is refused.
    app.calc.tabItem = 2;
    FtToMetParaCang(app);
    EXPECT_EQ(c.s_FTMout.view(), " 28.32");
    CalcFtToMet(app, {.field74 = c.s_FTMin});
    EXPECT_TRUE(c.UncalcFlag);
    EXPECT_EQ(c.s_FTMout.view(), " 28.32");
    EXPECT_EQ(platform.beeps, 1);

    app.calc.keepBtn2 = 0;
    app.calc.keepBtn4 = 0;
    TransToSheetFtToMet(app);
    for (const Case& k : cases) {
        const bool kept = k.column != Param::Vap && k.column != Param::Xmax;
        if (kept) {
            EXPECT_DOUBLE_EQ(cell(k.column), k.metric);
        }
    }
    EXPECT_EQ(cell(Param::Vap), 50.0);
    EXPECT_EQ(cell(Param::Xmax), 6.0);
}

TEST_F(Formulas, PassParamTakesTheSelectedColumnsWorkingText) {
    CalcParaChang(app);
    app.edit.s_PASS = "old";
    app.sel.cellH = 0;
    PassParamAfterCalculate(app);
    EXPECT_EQ(app.edit.s_PASS.view(), "old");
    app.sel.cellH = 2;
    PassParamAfterCalculate(app);
    EXPECT_EQ(app.edit.s_PASS.view(), "PR-10");
    app.sel.cellH = 10;
    PassParamAfterCalculate(app);
    EXPECT_EQ(app.edit.s_PASS.view(), " 77");
    app.sel.cellH = 11;
    PassParamAfterCalculate(app);
    EXPECT_EQ(app.edit.s_PASS.view(), " 77");
}

} // namespace
