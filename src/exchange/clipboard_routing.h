#pragma once
// Reading the clipboard and sending its text where the selection says: the
// focused calculator field, the selected cell's edit field, or a new row.

#include "exchange/cut_paste.h"
#include "runtime/str255.h"

#include <cstdint>
#include <optional>

namespace kestrune {

class AppState;
class Platform;

// A text pasted into a cell must have fewer characters than this.
constexpr std::int32_t kMaxCellPasteLength = 31;

// The clipboard's text, or nothing when it holds no text, an empty one, or
// one longer than 255 characters.
std::optional<Str255> ReadClipText(Platform& platform);

// What Copy takes: the focused calculator field's text while a calculator
// is open, the edit field's text while a cell is selected, otherwise the
// model text of row.
Str255 SelectionText(AppState& app, std::int32_t row);

void PutTextToClipboard(AppState& app, const Str255& text);

// A row for other programs: its model text, and beside it the row as an
// HTML table and in the program's own form (every digit kept).
void PutRowToClipboard(AppState& app, std::int32_t row);

// Pastes the clipboard into the calculator field, the cell (texts under 31
// bytes; the edit field's old text goes to UndoText and the cell shows the
// new one at the next redraw) or the sheet as new rows (the models in the
// program's own form, else a text whose every line reads as a model, placed
// as place says; see ReadOwnModels and ReadPastedRows). Anything else beeps
// and changes nothing, but for a refused row paste, whose reason the tool
// area shows; returns whether the paste was taken.
bool PasteToEditFieldFromClipboard(AppState& app, PastePlace place = PastePlace::BelowSelection);

// The cell paste on its own: UndoText keeps the edit field's text, which the
// next redraw replaces by text without storing the old one.
void ShowInEditField(AppState& app, const Str255& text);

} // namespace kestrune
