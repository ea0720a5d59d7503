#pragma once
// Reading a calculator's fields and answering what cannot be calculated:
// the small steps every calculation shares.

#include "calculators/formulas.h"
#include "runtime/str255.h"

namespace kestrune {

class AppState;

// The number a field holds, with a decimal point or comma; NaN for text
// that is not one finite number, which no check lets pass.
double fieldNumber(const Str255& text);

// Reading a field: the text becomes the working text, its value the number.
void readField(const Str255& field, Str255& text, double& number);

// NaN, the mark of a field that is not a number, is not positive either.
inline bool positive(double x) {
    return x > 0.0;
}

// A refusal beeps and sets UncalcFlag; the outcome says why.
CalcOutcome refuse(AppState& app, CalcOutcome why = CalcOutcome::Refused);

// x rounded to 1/scale as its number text (" 12.5").
Str255 roundedText(double x, int scale);

} // namespace kestrune
