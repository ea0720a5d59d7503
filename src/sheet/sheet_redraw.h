#pragma once
// The sheet's single redraw: the bookkeeping that scrolls the selection into
// view, commits the edit field, notices changes and refreshes the controls,
// then a repaint through the Canvas.

#include "sheet/tool_area.h"

#include <cstdint>

namespace kestrune {

class AppState;

void DrawSheet(AppState& app);

// Stores what the user typed into the edit field now, instead of at the next
// redraw, so that a command that saves, closes, sorts or exports sees it.
void CommitEditFieldNow(AppState& app);

// Recomputes the visible rows and the scroll bar from the window's height.
// ScrollValue stays as it is.
void SetInstallScrollButton(AppState& app);

// The text of a cell: Manufacturer, Model Name or PSstr of the value.
Str255 CellText(const AppState& app, std::int32_t row, std::int32_t cellH);

// What the edit field shows for a cell's current value.
Str255 ShownEditText(const AppState& app, std::int32_t row, std::int32_t cellH);

// The controls as the last bookkeeping left them.
ToolAreaView BuildToolArea(const AppState& app);
ScrollBarView BuildScrollBar(const AppState& app);

} // namespace kestrune
