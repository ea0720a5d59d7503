#pragma once
// The arithmetic of the calculators Vap, Sd, Vd and Feet to Metric (Mms and
// Add Mass are in mass_formulas.h) and the small operations that move values
// between the selected row and the calculators' working set. The windows own
// the field widgets; they hand the texts of their input fields in as
// CalcFields and read the results back from app.calc.
//
// A field holds one number, with a decimal point or comma; text that is not
// a number is refused wherever a value is read. A calculation that refuses
// its input, or whose result is not a finite number, beeps, sets UncalcFlag
// and changes nothing beyond the texts and numbers it has just read from the
// fields; the windows decide from UncalcFlag whether to show and transfer
// the results, and from the outcome whether OK may close the window.

#include "runtime/str255.h"

#include <cstdint>

namespace kestrune {

class AppState;

// The texts of a calculator's input fields, by field number. What each field
// holds depends on the window:
//   Vap:  74 Fp, 75 Mms (grams), 76 Sd (cm²), 78 Qmp, 79 Xmax (mm)
//   Sd:   74 effective diameter (mm)
//   Vd:   74 Sd (cm² or m²), 75 Xmax (mm)
//   Feet to Metric: 74 the imperial value of the selected quantity
//   Mms:  74 Fp, 75 Vap (Liter), 76 Sd (cm²)
//   Add Mass: 74 Fp, 75 Mms (grams), 76 Vap (Liter), 108 target Fp,
//         109 box volume (Liter), 110 passive radiators, 111 box tuning (Hz),
//         112 the driver's Vd (cm³, may be empty)
// Fields a window does not have stay empty.
struct CalcFields {
    Str255 field74{};
    Str255 field75{};
    Str255 field76{};
    Str255 field78{};
    Str255 field79{};
    Str255 field108{};
    Str255 field109{};
    Str255 field110{};
    Str255 field111{};
    Str255 field112{};
};

// How a calculation ended: computed, input refused, or a result beyond the
// doubles (an overflow), which is refused too.
enum class CalcOutcome { Computed, Refused, NotFinite };

// The Vap formula's constant, for Liter from m², Hz and kg.
constexpr double kVapConstant = 3557630.0;

// Opening a calculator: every working text from row cellV, the five imperial
// inputs back to 0.
void CalcParaChang(AppState& app);
// After a sort: every working text from row 1; the imperial inputs stay.
void CalcParaChangBeforeSort(AppState& app);
// Opening the Vd calculator: s_SD5 from the row's Sd in the unit VdRadioID
// (cm² to 1/10, or m² from Sd rounded to 0.1 cm²).
void CalcParaChangVd(AppState& app);
// The Vd calculator's unit switch: as CalcParaChangVd, but cm² to 1/100.
void CalcParaChangVdUnitSwitch(AppState& app);

// Vap and Vd from Fp, Mms, Sd and Xmax; Qmp must be positive too although the
// formula does not use it. Leaves MMS5 in kilograms.
CalcOutcome VasCalc(AppState& app, const CalcFields& fields);
// Sd from the cone's effective diameter.
CalcOutcome SdCalc(AppState& app, const CalcFields& fields);
// Vd from Sd (in the unit VdRadioID) and Xmax.
CalcOutcome VdCalc(AppState& app, const CalcFields& fields);
// Reads Sd and Xmax without checking them; UncalcFlag stays as it is.
void VdCalc2(AppState& app, const CalcFields& fields);
// Converts the imperial value of the quantity tabItem to metric and marks the
// quantity for transfer.
CalcOutcome CalcFtToMet(AppState& app, const CalcFields& fields);
// Selecting a quantity in the Feet to Metric calculator: the result shows the
// quantity's working text, the input starts again at " 0".
void FtToMetParaCang(AppState& app);

// Transfers into row cellV. They write whatever the working set holds; the
// caller checks UncalcFlag first.
void TransToSheetVas(AppState& app);     // Fp, Vap, Qmp, Sd, Xmax, Vd (never Mms)
void TransToSheetSd(AppState& app);      // Sd
void TransToSheetVd(AppState& app);      // Vd, Sd (always in cm²), Xmax
void TransToSheetFtToMet(AppState& app); // the columns whose transfer mark is 1

// s_PASS := the working name of the selected column cellH (1 or 2), or the
// number of the selected row as the edit field shows it (3 to 10); for the
// Number column it stays as it was. The caller then sets CalcOnFlag.
void PassParamAfterCalculate(AppState& app);

} // namespace kestrune
