#pragma once
// Removing and inserting whole rows for Cut, Paste and their Undo.

#include "exchange/model_text.h"

#include <cstdint>
#include <span>

namespace kestrune {

class AppState;

// Where pasted models go: below the selected row (Paste), or at it,
// pushing the selected row down (the Undo of a Cut).
enum class PastePlace { BelowSelection, AtSelection };

// Removes rows first to last; the rows below move up and keep their
// Numbers. The sheet scrolls to the top. A sheet never ends up without a
// row: the last one removed leaves a single "n/a" row and a beep.
void CutAnyModelParameterArray(AppState& app, std::int32_t first, std::int32_t last);

// Removes the selected row and the count - 1 rows above it (the Undo of a
// row Paste); the row that follows them is selected.
void CutPastedModels(AppState& app, std::int32_t count);

// Inserts models as new rows in their order, in one pass over the rows
// below, and selects the last of them. The first gets the Number one more
// than the selected row's position, the next ones count on from it.
// Returns the first new row.
std::int32_t PasteOnSheet(AppState& app, std::span<const PasteBuffer> models, PastePlace place);

} // namespace kestrune
