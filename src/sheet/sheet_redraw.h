#pragma once
// The sheet's single redraw: the bookkeeping that scrolls the selection into
// view, commits the edit field, notices changes and refreshes the controls,
// then a repaint through the Canvas.

#include "sheet/tool_area.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace kestrune {

class AppState;

void DrawSheet(AppState& app);

// Stores what the user typed into the edit field now, instead of at the next
// redraw, so that a command that saves, closes, sorts or exports sees it.
// Text in a numeric cell that is not a number beeps and is not kept: the
// cell keeps its value, the field shows it again, a note says which text
// went, and false tells the command (Close and Quit stop once for it).
bool CommitEditFieldNow(AppState& app);

// Asked before anything moves the selection away from the edited cell. True
// when a numeric cell's field holds text that is not a number: the move is
// refused with a beep, the tool area says why, and the field gets the focus
// with its text selected, so it can be corrected. The selection, the scroll
// position and the text stay as they are.
bool EditFieldBlocksMove(AppState& app);

// What the tool area says of typed text that is not a number.
std::string NotANumberText(std::string_view typed);

// Escape in the edit field: a field the user changed shows the cell's
// stored value again. False when there was nothing to put back.
bool RevertEditField(AppState& app);

// Recomputes the visible rows and the scroll bar from the window's height.
// ScrollValue stays as it is.
void SetInstallScrollButton(AppState& app);

// The text of a cell: Manufacturer, Model Name or PSstr of the value.
Str255 CellText(const AppState& app, std::int32_t row, std::int32_t cellH);

// What the edit field shows for a cell's current value: a name as it
// stands, a number as a document keeps it (every digit it was given).
Str255 ShownEditText(const AppState& app, std::int32_t row, std::int32_t cellH);

// The controls as the last bookkeeping left them.
ToolAreaView BuildToolArea(const AppState& app);
ScrollBarView BuildScrollBar(const AppState& app);

} // namespace kestrune
