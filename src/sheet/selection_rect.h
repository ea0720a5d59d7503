#pragma once
// The rectangle the sheet highlights for the current selection.

namespace kestrune {

class AppState;

// selX0/selX1 from the selected column (0 to 728 in row mode); selY0/selY1
// the selected row's band in sheet coordinates, 16 high. The row is on
// screen below the header exactly when selY0 > 16.
void ComputeSelectionRect(AppState& app);

} // namespace kestrune
