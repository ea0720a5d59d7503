#pragma once
// The Mms and Add Mass windows as they are laid out, and what their
// display puts into their fields from the working set.

#include "model/working_set.h"
#include "ports/window_views.h"
#include "runtime/str255.h"

#include <cstdint>

namespace kestrune {

// Fp, Vap and Sd in, Mms out; 300 × 301 points.
void MmsWindow(CalculatorView& view, const Str255& modelName);
// The radiator, the target (a free-air resonance or a box) and the
// results, with Copy Results; 340 × 596 points.
void AddMassWindow(CalculatorView& view, const Str255& modelName);

void ShowMmsTexts(CalculatorView& view, const CalcWorkingSet& calc);
// Every field, the kind of target and the results.
void ShowAddMassTexts(CalculatorView& view, const CalcWorkingSet& calc);
// The kind of target chosen (AddMassRadioID): only its fields can be
// typed into. The typed texts stay as they are.
void ShowAddMassTarget(CalculatorView& view, std::int32_t radioID);
void ShowAddMassResults(CalculatorView& view, const CalcWorkingSet& calc);

} // namespace kestrune
