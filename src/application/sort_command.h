#pragma once
// The Sort menu's commands.

namespace kestrune {

class AppState;

// A Sort menu command (items 1 .. 9, 11, 12): sets the key or the direction,
// sorts, selects row 1 (the selected column stays), hands row 1's text of the
// selected column to the edit field through s_PASS and CalcOnFlag, and marks
// the document modified. The caller redraws the sheet afterwards. Returns
// false, changing nothing, for any other item. Out of memory it throws
// std::bad_alloc, having changed nothing either.
bool SortMenuCommand(AppState& app, int item);

} // namespace kestrune
