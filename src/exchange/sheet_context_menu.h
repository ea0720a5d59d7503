#pragma once
// The pop-up menu of a contextual click on the data sheet or its edit field:
// five Edit commands acting on the current selection, not on the place
// clicked.

#include <cstdint>

namespace kestrune {

class AppState;

// Whether a contextual click at this content position opens the menu: on
// the sheet below the header band, and while a cell is selected also on the
// left part of the edit field.
bool SheetContextMenuOpensAt(const AppState& app, std::int32_t x, std::int32_t y);

// A contextual click at a content position of the data-sheet window. The
// menu opens 20 points above the click; a chosen item is carried out as the
// Edit-menu command of the same name. The click never moves the selection.
void SheetContextClick(AppState& app, std::int32_t x, std::int32_t y);

} // namespace kestrune
