#include "calculators/mass_formulas.h"

#include "model/app_state.h"
#include "support/fake_platform.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>

using namespace kestrune;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

AddMassInput freeAir(double fp, double mms, double target) {
    AddMassInput in;
    in.fp = fp;
    in.mms = mms;
    in.vap = 40.0;
    in.targetFp = target;
    return in;
}

AddMassInput inBox(double fp, double mms, double vap, double vb, double count, double fb) {
    AddMassInput in;
    in.box = true;
    in.fp = fp;
    in.mms = mms;
    in.vap = vap;
    in.vb = vb;
    in.count = count;
    in.fb = fb;
    return in;
}

template <typename Change> AddMassInput with(AddMassInput in, Change change) {
    change(in);
    return in;
}

// Every case either is refused or must reach its target: the radiator with
// the mass added resonates at the target in free air, or, stiffened by the
// box's air, at the box tuning. Where the numbers are round the mass is
// known by hand too.
TEST(MassFormulas, AddedMassReachesTheTargetAndUnfitInputIsRefused) {
    struct Case {
        const char* what;
        AddMassInput in;
        CalcOutcome outcome;
        double mass; // by hand; NaN where only the target is checked
        bool below;
    };
    const AddMassInput base = freeAir(25.0, 80.0, 12.5);
    const AddMassInput box = inBox(20.0, 100.0, 50.0, 50.0, 1.0, 20.0);
    const Case cases[] = {
        {"half the Fp takes three times the mass", base, CalcOutcome::Computed, 240.0, false},
        {"one radiator with Vap = Vb doubles the stiffness", box, CalcOutcome::Computed, 100.0,
         false},
        {"two radiators on a box of twice their Vap, half the Fp",
         inBox(20.0, 100.0, 25.0, 50.0, 2.0, 10.0), CalcOutcome::Computed, 700.0, false},
        {"eight radiators", inBox(30.0, 50.0, 10.0, 40.0, 8.0, 25.0), CalcOutcome::Computed, kNaN,
         false},
        {"a free-air target above Fp", freeAir(25.0, 80.0, 30.0), CalcOutcome::Computed, kNaN,
         true},
        {"a box tuning above what the box gives", inBox(20.0, 100.0, 50.0, 50.0, 1.0, 40.0),
         CalcOutcome::Computed, kNaN, true},
        {"less than the tenth of a gram shown is no removal",
         freeAir(100.0, 1.0, 100.0 / std::sqrt(0.97)), CalcOutcome::Computed, -0.03, false},
        {"the target itself adds nothing", freeAir(25.0, 80.0, 25.0), CalcOutcome::Computed, 0.0,
         false},
        {"a decimal count is no count of radiators", with(box, [](auto& i) { i.count = 2.5; }),
         CalcOutcome::Refused, kNaN, false},
        {"no radiator", with(box, [](auto& i) { i.count = 0.0; }), CalcOutcome::Refused, kNaN,
         false},
        {"nine radiators", with(box, [](auto& i) { i.count = 9.0; }), CalcOutcome::Refused, kNaN,
         false},
        {"Fp 0", with(base, [](auto& i) { i.fp = 0.0; }), CalcOutcome::Refused, kNaN, false},
        {"Mms below 0", with(base, [](auto& i) { i.mms = -80.0; }), CalcOutcome::Refused, kNaN,
         false},
        {"Vap not a number", with(base, [](auto& i) { i.vap = kNaN; }), CalcOutcome::Refused, kNaN,
         false},
        {"target Fp 0", with(base, [](auto& i) { i.targetFp = 0.0; }), CalcOutcome::Refused, kNaN,
         false},
        {"box volume 0", with(box, [](auto& i) { i.vb = 0.0; }), CalcOutcome::Refused, kNaN, false},
        {"box tuning not a number", with(box, [](auto& i) { i.fb = kNaN; }), CalcOutcome::Refused,
         kNaN, false},
        {"the box's numbers do not count in free air", with(base, [](auto& i) { i.vb = -1.0; }),
         CalcOutcome::Computed, 240.0, false},
        {"the free-air target does not count in a box",
         with(box, [](auto& i) { i.targetFp = kNaN; }), CalcOutcome::Computed, 100.0, false},
        {"a driver's Vd below 0", with(base, [](auto& i) { i.driverVd = -1.0; }),
         CalcOutcome::Refused, kNaN, false},
        {"a driver's Vd that is not a number", with(base, [](auto& i) { i.driverVd = kNaN; }),
         CalcOutcome::Refused, kNaN, false},
        {"a target far out of the doubles", freeAir(1e300, 80.0, 1e-300), CalcOutcome::NotFinite,
         kNaN, false},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        AddMassResult out;
        out.addedMass = 12345.0;
        ASSERT_EQ(AddMassFormula(k.in, out), k.outcome);
        if (k.outcome != CalcOutcome::Computed) {
            EXPECT_EQ(out.addedMass, 12345.0); // nothing of a refusal comes out
            continue;
        }
        if (!std::isnan(k.mass)) {
            EXPECT_NEAR(out.addedMass, k.mass, 1e-9);
        }
        EXPECT_EQ(out.alreadyBelow(), k.below);
        EXPECT_EQ(out.addedMass < 0.0, k.below || k.mass < 0.0);
        const double loaded = k.in.fp * std::sqrt(k.in.mms / (k.in.mms + out.addedMass));
        EXPECT_NEAR(out.resultingFp, loaded, 1e-9);
        if (k.in.box) {
            EXPECT_NEAR(loaded * std::sqrt(1.0 + k.in.count * k.in.vap / k.in.vb), k.in.fb, 1e-9);
        } else {
            EXPECT_NEAR(loaded, k.in.targetFp, 1e-9);
        }
    }
}

// Mms undoes the Vap calculator: Vap from Fp, Mms and Sd, then Mms from Fp,
// that Vap and Sd, gives the mass back. What is not a positive number is
// refused with a beep, and so is a mass beyond the doubles.
TEST(MassFormulas, MmsGivesBackTheMassOfTheVapFormulaAndRefusesUnfitInput) {
    test::FakePlatform platform;
    AppState app{platform};
    for (const auto& [fp, mms, sd] : {std::array{22.0, 95.0, 220.0}, std::array{15.0, 420.0, 855.0},
                                      std::array{41.5, 12.3, 53.0}}) {
        ASSERT_EQ(VasCalc(app, {std::to_string(fp).c_str(), std::to_string(mms).c_str(),
                                std::to_string(sd).c_str(), "1", "1"}),
                  CalcOutcome::Computed);
        EXPECT_NEAR(MmsFromVap(fp, app.calc.VAS5, sd), mms, 1e-9 * mms);
    }
    ASSERT_EQ(MmsCalc(app, {"21,5", "61.36", "340"}), CalcOutcome::Computed); // a decimal comma
    EXPECT_FALSE(app.calc.UncalcFlag);
    EXPECT_NEAR(app.calc.MMS5, MmsFromVap(21.5, 61.36, 340.0), 1e-12);

    struct Case {
        CalcFields fields;
        CalcOutcome outcome;
    };
    const Case refused[] = {{{"0", "50", "500"}, CalcOutcome::Refused},
                            {{"25", "-50", "500"}, CalcOutcome::Refused},
                            {{"25", "50", "abc"}, CalcOutcome::Refused},
                            {{"25", "", "500"}, CalcOutcome::Refused},
                            {{"1e-200", "50", "500"}, CalcOutcome::NotFinite}};
    for (const Case& k : refused) {
        SCOPED_TRACE(k.fields.field74.str() + " " + k.fields.field75.str() + " " +
                     k.fields.field76.str());
        platform.beeps = 0;
        app.calc.MMS5 = 1.0;
        EXPECT_EQ(MmsCalc(app, k.fields), k.outcome);
        EXPECT_EQ(platform.beeps, 1);
        EXPECT_TRUE(app.calc.UncalcFlag);
        EXPECT_EQ(app.calc.MMS5, 1.0);
    }
}

} // namespace
