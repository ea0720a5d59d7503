#pragma once
// Removing and inserting whole rows for Cut, Paste and their Undo.

#include "exchange/model_text.h"

#include <cstdint>

namespace kestrune {

class AppState;

// Where a pasted model goes: below the selected row (Paste), or at it,
// pushing the selected row down (the Undo of a Cut).
enum class PastePlace { BelowSelection, AtSelection };

// Removes rows first to last; the rows below move up and keep their
// Numbers. The sheet scrolls to the top. A sheet never ends up without a
// row: the last one removed leaves a single "n/a" row and a beep.
void CutAnyModelParameterArray(AppState& app, std::int32_t first, std::int32_t last);

// Removes the selected row (the Undo of a row Paste).
void CutOneModel(AppState& app);

// Inserts a model as a new row and selects it. Its Number is one more than
// the selected row's position. Returns the new row.
std::int32_t PasteOnSheet(AppState& app, const PasteBuffer& model, PastePlace place);

} // namespace kestrune
