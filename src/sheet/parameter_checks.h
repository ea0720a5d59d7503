#pragma once
// Published values that disagree with the row's other values. Vap follows
// from Fp, Mms and Sd, and Vd from Sd and Xmax; a published Vap more than 10 %
// or a Vd more than 5 % away from what they give is marked, once every value
// it is computed from is above zero. Nothing of this is stored.

#include "model/model_table.h"

#include <cstdint>
#include <optional>
#include <string>

namespace kestrune {

// Vap in liters from Fp in Hz, Mms in grams and Sd in cm².
double ExpectedVap(double fp, double mmsGrams, double sdCm2);
// Vd in cm³ from Sd in cm² and Xmax in mm.
double ExpectedVd(double sdCm2, double xmaxMm);

// What a row's Vap or Vd should be, when it can be told.
struct ParameterCheck {
    bool known = false;  // every value it is computed from is above zero
    bool marked = false; // the published value is too far from it
    double expected = 0.0;
};

ParameterCheck CheckVap(const ModelTable& table, std::int32_t row);
ParameterCheck CheckVd(const ModelTable& table, std::int32_t row);
// The check of a parameter column; nothing for columns that are not checked.
std::optional<ParameterCheck> CheckParameter(const ModelTable& table, std::int32_t row, Param p);

// A row's Vap or Vd is marked.
bool RowMarked(const ModelTable& table, std::int32_t row);
// Marked rows of 1 .. fNum, in one pass.
std::int32_t CountMarkedRows(const ModelTable& table);
// The first marked row after `after`, going on from row 1 past the last;
// `after` itself comes last. 0 when no row is marked.
std::int32_t NextMarkedRow(const ModelTable& table, std::int32_t after);

// The help text of a checked cell: "Computed from Fp, Mms and Sd: 29.74 L"
// (UTF-8); empty when the value cannot be told.
std::string ComputedValueText(const ModelTable& table, std::int32_t row, Param p);

} // namespace kestrune
