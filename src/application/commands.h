#pragma once
// Where menu commands, control hits and window events of the data-sheet
// window go. The window calls these and nothing decides in the window.

#include "sheet/sheet_input.h"

#include <cstdint>

namespace kestrune {

class AppState;
struct WindowBounds;

// A chosen menu item by menu number and 1-based item position. Returns
// false for an item no menu names (the desktop may treat it).
bool DispatchMenuCommand(AppState& app, int menu, int item);

// A key the sheet or its edit field did not take for text. Delete on a
// whole-row selection is the Edit menu's Delete; the others move the
// selection. Returns false for a key the edit field should have.
bool SheetKeyCommand(AppState& app, std::int32_t charCode, KeyModifiers modifiers);

// Controls of the data-sheet window's top bar.
void AddNewModelCommand(AppState& app); // "Add New Model"
void SendButtonCommand(AppState& app);  // "Send" / "Copy"
void MoveUpCommand(AppState& app);      // the up arrow button
void MoveDownCommand(AppState& app);    // the down arrow button

// Window events of the data-sheet window.
void SheetWindowActivated(AppState& app, bool active);
// Moved or resized: the content bounds are remembered; a size change
// re-lays the sheet out (unless a calculator is open) and scrolls to the top.
void SheetWindowBoundsChanged(AppState& app, const WindowBounds& content, bool sizeChanged);

} // namespace kestrune
