#pragma once
// The Edit menu: Undo, Redo, Cut, Copy, Paste, Delete and Select All on the
// focused calculator field while a calculator is open, otherwise on the
// sheet's edit field (a cell selected) or on the selected row.

namespace kestrune {

class AppState;

// A chosen Edit item (1 Undo, 2 Redo, 4 Cut, 5 Copy, 6 Paste, 7 Delete,
// 8 Select All) for the window that owns the Edit menu now. Other items,
// and the data-sheet items while no sheet is open, do nothing.
void EditMenuCommand(AppState& app, int item);

// The same items for each window on its own.
void EditMenuForMainWnd(AppState& app, int item);
void EditMenuForCalcWnd(AppState& app, int item);

// Whether Undo is offered now (the Undo item is enabled).
bool UndoAvailable(const AppState& app);

} // namespace kestrune
