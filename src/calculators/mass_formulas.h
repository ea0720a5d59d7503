#pragma once
// The Mms calculator and the Add Mass calculator.
//
// Mms is the moving mass the Vap formula implies: solved for the mass,
// Vap = kVapConstant × Sd² / (Fp² × Mms) gives
//   Mms (g) = 1000 × kVapConstant × (Sd / 10000)² / (Fp² × Vap)
// with Sd in cm², Vap in Liter and Fp in Hz.
//
// Add Mass finds the mass that tunes a passive radiator lower. Its
// resonance goes as 1 / sqrt(mass), so reaching a free-air resonance Fp'
// takes Mms × ((Fp / Fp')² − 1). In a box of net volume Vb the enclosed air
// is a spring too: the N radiators push on the same air, which stiffens
// each of them by N × Vap / Vb of its own suspension's stiffness (Vap is the
// air volume as stiff as that suspension). So the box tuning Fb takes
//   Mms × (1 + N × Vap / Vb) × (Fp / Fb)² − Mms.
// A negative mass means the radiator already tunes below the target.

#include "calculators/formulas.h"

#include <optional>
#include <string>

namespace kestrune {

class AppState;

// Mms in grams from Fp (Hz), Vap (Liter) and Sd (cm²).
double MmsFromVap(double fp, double vap, double sd);

// What the Add Mass calculator works from.
struct AddMassInput {
    bool box = false; // false: reach targetFp in free air; true: reach fb in the box
    double fp = 0.0;
    double mms = 0.0; // grams
    double vap = 0.0; // Liter
    double targetFp = 0.0;
    double vb = 0.0; // Liter
    double fb = 0.0;
    double count = 1.0;             // passive radiators, a whole number 1 to 8
    double vd = 0.0;                // cm³ of one radiator, from the row
    std::optional<double> driverVd; // cm³; none when the field is empty
};

struct AddMassResult {
    double addedMass = 0.0;        // grams per radiator; negative: mass to take off
    double resultingFp = 0.0;      // the radiator's free-air Fp with that mass
    double totalVd = 0.0;          // count × vd
    std::optional<double> vdRatio; // totalVd over the driver's Vd, when that is above 0
    // True when the target needs mass taken off: at least 0.05 g, the
    // least the one decimal shown can tell.
    bool alreadyBelow() const;
};

// Refused when Fp, Mms or Vap, or the target's numbers (target Fp, or Vb and
// Fb) are not above 0, when the count is not a whole number from 1 to 8, or
// when the driver's Vd is given but is not a number or is below 0 (0 counts
// as not given). NotFinite when a result leaves the doubles. out is set only
// when Computed.
CalcOutcome AddMassFormula(const AddMassInput& in, AddMassResult& out);

// The Mms window: Fp, Vap and Sd from fields 74, 75 and 76 into the
// working set; Mms (grams, MMS5) and its text to 0.1 g.
CalcOutcome MmsCalc(AppState& app, const CalcFields& fields);
// Writes Mms into row cellV to 0.1 g, as the column keeps it, and takes the
// working texts afresh from the row: nothing else of the row changes.
void TransToSheetMms(AppState& app);

// One calculation of the Add Mass window, kept for Copy Results.
struct AddMassRun {
    AddMassInput in;
    AddMassResult out;
};
// The Add Mass window: every field into its working text, the kind of
// target from AddMassRadioID, and the results into their texts.
CalcOutcome AddMassCalc(AppState& app, const CalcFields& fields, AddMassRun& run);
// The results' texts emptied, as when the kind of target changes.
void ClearAddMassResults(AppState& app);
// The inputs and results as plain text, one "name: value
// unit" line each, after a line naming the model.
std::string AddMassResultsText(const AddMassRun& run, const AppState& app);

} // namespace kestrune
