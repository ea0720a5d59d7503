#pragma once
// The sheet's text routines: the column header, the selection's white header
// and row number, and one whole row. The screen sheet and the printed table
// both draw through them, each with its own xSft/ySft and grey level. They
// leave the drawing state at its last values.

#include <cstdint>
#include <string_view>

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
// grey level `grey`, its names and values in black. Numbers and values too
// long for their column are narrowed to fit it; names too long for their
// cell are cut at its edge with an ellipsis.
// Leaves black, font 5, 12.
void DrawLongCell(Canvas& canvas, const ModelTable& table, double grey, std::int32_t lineNo,
                  std::int32_t row, std::int32_t yShift);

// The tool area's row counter ("12/345") in black, centred in its field,
// whose top-left corner is the origin; narrowed and made smaller when it is
// too long for the field. It is written in the tool area's control font.
constexpr double kRowCounterWidth = 59.0;
void DrawRowCounter(Canvas& canvas, std::string_view counter);

} // namespace kestrune
