#pragma once
// Clicks, the wheel, the scroll bar, keys and resizing of the data sheet.

#include <cstdint>

namespace kestrune {

class AppState;

struct KeyModifiers {
    bool option = false;
    bool shift = false;
    bool command = false;
    bool control = false;
};

// The column under a content x: 0 row numbers, 1 Manufacturer ... 10 Mms.
std::int32_t ColumnAtX(std::int32_t mouseH);

void SheetMouseDown(AppState& app, std::int32_t mouseH, std::int32_t mouseV, int clickCount);
void SheetWheel(AppState& app, std::int32_t deltaLines);
void SheetScrollThumb(AppState& app, std::int32_t value);
void SheetScrollLineUp(AppState& app);
void SheetScrollLineDown(AppState& app);
// Returns true when the key was one of the six the sheet acts on (consumed).
bool SheetKeyDown(AppState& app, std::int32_t charCode, KeyModifiers modifiers);
// Selects the cell as a far move does (the sheet scrolls to show it) and
// redraws; false, with nothing changed, when the edit field refuses to let
// the selection go.
bool SelectCell(AppState& app, std::int32_t cellH, std::int32_t cellV);
void SheetResized(AppState& app);

// A calculator window suspends the scroll bar while it is open.
void SuspendSheetScrolling(AppState& app);
void ResumeSheetScrolling(AppState& app);

} // namespace kestrune
