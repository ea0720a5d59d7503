#pragma once
// The sheet's text routines: the column header, the selection's white header
// and row number, and one whole row. The screen sheet and the printed table
// both draw through them, each with its own xSft/ySft and grey level. They
// leave the drawing state at its last values.

#include <cstdint>

namespace kestrune {

class AppState;
class Canvas;
class ModelTable;

// Every header label and unit line in grey level `grey`, then the two
// superscripts; leaves fontSize at 9.
void DrawAllTopLabel(Canvas& canvas, double grey);

// The selected column's header and, when the selected row is below the first
// scrolled-off row, its row number, both in white; leaves fontSize at 13.
void DrawOneTopWhiteLabel(Canvas& canvas, const AppState& app);

// Row `row` of the table on line lineNo, moved up by yShift: its number in
// grey level `grey`, its names and values in black. Leaves black, font 5, 12.
void DrawLongCell(Canvas& canvas, const ModelTable& table, double grey, std::int32_t lineNo,
                  std::int32_t row, std::int32_t yShift);

} // namespace kestrune
