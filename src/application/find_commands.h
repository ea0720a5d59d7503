#pragma once
// Find and Check Parameters: commands that select a row of the sheet by
// what it holds, and say in the bar below the sheet what they found.

#include <string_view>

namespace kestrune {

class AppState;

// Find...: shows the bar with its field focused and its text selected.
void OpenFindBar(AppState& app);
// Find Next, and Return in the bar: selects the next row after the
// selection (going on from the first past the last) whose Manufacturer or
// Model Name holds text (case and accents ignored), that name's cell, and
// shows it. No match beeps and says so. Without a text yet it opens the bar.
void FindNext(AppState& app, std::string_view text);
// Escape in the bar: the bar goes, the keyboard returns to the sheet.
void CloseFindBar(AppState& app);

// Check Parameters: selects the next row after the selection whose Vap or
// Vd disagrees with its other values, at that cell, and says how many rows
// are marked; with none it says so.
void CheckParametersCommand(AppState& app);

} // namespace kestrune
