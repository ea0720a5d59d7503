#pragma once
// The Sort menu's commands.

#include "ports/menu_view.h"

namespace kestrune {

class AppState;

// A Sort menu command (a key, Ascending or Descending): sets the key or the
// direction, sorts, selects row 1 (the selected column stays), hands row 1's
// text of the selected column to the edit field through s_PASS and
// CalcOnFlag, and marks the document modified. The caller redraws the sheet
// afterwards. Returns false, changing nothing, for any other command. Out of
// memory it throws std::bad_alloc, having changed nothing either.
bool SortMenuCommand(AppState& app, MenuCommand command);

} // namespace kestrune
