#pragma once
// The Edit menu: Undo, Redo, Cut, Copy, Paste, Delete and Select All on the
// focused calculator field while a calculator is open, otherwise on the
// sheet's edit field (a cell selected) or on the selected row.

#include "ports/menu_view.h"

namespace kestrune {

class AppState;

// A chosen Edit command (Undo, Redo, Cut, Copy, Paste, Delete, Select All)
// for the window that owns the Edit menu now. Other commands, and the
// data-sheet commands while no sheet is open, do nothing.
void EditMenuCommand(AppState& app, Command command);

// The same commands for each window on its own.
void EditMenuForMainWnd(AppState& app, Command command);
void EditMenuForCalcWnd(AppState& app, Command command);

// Whether Undo is offered now (the Undo item is enabled).
bool UndoAvailable(const AppState& app);

} // namespace kestrune
