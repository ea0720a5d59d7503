#pragma once
// A sheet with one known row, selected, on the fake platform, and the ways
// a user works a calculator window on it: type into a field, read what a
// field shows, look at a control.
//
// Row 1: "Acme" "PR-é", Dia 30, Fp 25, Vap 50, Qmp 4, Sd 500, Xmax 6,
// Vd 240, Mms 77.

#include "application/lifecycle.h"
#include "calculators/calculator_layouts.h"
#include "calculators/calculator_window.h"
#include "model/app_state.h"
#include "support/fake_platform.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>

namespace kestrune::test {

constexpr std::int32_t kReturn = 13;
constexpr std::int32_t kEnter = 3;
constexpr std::int32_t kEscape = 27;
constexpr std::int32_t kSpace = 32;
constexpr KeyModifiers kNone{};
constexpr KeyModifiers kOption{.option = true};

class CalculatorSession : public ::testing::Test {
protected:
    CalculatorSession() {
        StartUp(app);
        platform.fireTimers();
        NewDataSheet(app);
        app.table.Manufacturer.set(1, "Acme");
        app.table.ModelName.set(1, "PR-\u00E9");
        const std::array<double, kParamCount> row = {30.0,  25.0, 50.0,  4.0,
                                                     500.0, 6.0,  240.0, 77.0};
        for (Param p : kAllParams) {
            app.table.setValue(p, 1, row[static_cast<std::size_t>(p)]);
        }
        app.sel.cellV = 1;
        app.sel.cellH = 0;
        app.TakeSnapshot();
        app.doc.DirtyFlag = 0;
        app.sheet.ExistScrollFlag = 1; // the sheet has a scroll bar to suspend
        platform.beeps = 0;
    }

    void open(int item) {
        ASSERT_TRUE(CalculateMenuCommand(app, commandFor(MenuNum::kCalculate, item)));
    }
    void type(std::int32_t field, const char* text) {
        platform.calculatorFields[field] = Str255(text);
    }
    std::string shown(std::int32_t field) { return platform.calculatorFields[field].str(); }
    const ControlView& control(std::int32_t number) const {
        const ControlView* c = FindCalcControl(platform.calculator, number);
        EXPECT_NE(c, nullptr) << "control " << number;
        static const ControlView none;
        return c != nullptr ? *c : none;
    }
    double cell(Param p) const { return app.table.value(p, 1); }
    bool usable(int menu, int item) const { return app.menus.usable(menu, item); }

    // Every way out leaves no trace of the calculator.
    void expectClosed() const {
        EXPECT_FALSE(platform.calculatorOpen);
        EXPECT_EQ(app.calc.CalcWndOnFlag, 0);
        EXPECT_EQ(app.flags.EditWndNum, 1);
        EXPECT_EQ(app.sheet.ExistScrollFlag, 1);
        EXPECT_EQ(app.sheet.PreExistScroll, 0);
        EXPECT_TRUE(usable(MenuNum::kFile, 5)); // Save
        EXPECT_TRUE(usable(MenuNum::kSort, 2));
    }

    test::FakePlatform platform;
    AppState app{platform};
};

} // namespace kestrune::test
