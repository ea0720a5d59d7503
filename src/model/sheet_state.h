#pragma once
// Scrolling, keys and edit-field bookkeeping of the data sheet.

#include "runtime/str255.h"

#include <cstdint>
#include <string>

namespace kestrune {

// The header band ends at this content y; rows begin below it.
constexpr std::int32_t kSheetHeaderBottom = 80;

// Character codes of the keys the sheet acts on.
namespace SheetKey {
constexpr std::int32_t kHome = 1; // with Ctrl: the first row
constexpr std::int32_t kEnter = 3;
constexpr std::int32_t kEnd = 4; // with Ctrl: the last row
constexpr std::int32_t kTab = 9; // with Shift: backwards
constexpr std::int32_t kPageUp = 11;
constexpr std::int32_t kPageDown = 12;
constexpr std::int32_t kReturn = 13;
constexpr std::int32_t kEscape = 27; // puts a changed field's cell value back
constexpr std::int32_t kLeft = 28;
constexpr std::int32_t kRight = 29;
constexpr std::int32_t kUp = 30;
constexpr std::int32_t kDown = 31;
constexpr std::int32_t kDelete = 127; // forward delete
} // namespace SheetKey

struct SheetState {
    std::int32_t wndHeight = 0;
    std::int32_t dispNum = 0;
    std::int32_t ScrollNum = 0;
    std::int32_t PreDownScrollValue = 0;
    // 1 while the scroll bar is in use (rows below the window) and no
    // calculator has suspended it.
    std::int8_t ExistScrollFlag = 0;
    std::int8_t PreExistScroll = 0;
    std::int8_t MouseClickOnSheet = 0;
    // 1 means the window is NOT the active one: clicks on the sheet wait.
    std::int8_t WndDeactiveFlag = 0;
    std::int32_t Key = 0;
    // Set by a command that puts the selection somewhere new (a sort): the
    // next redraw brings the selected row into view.
    std::int8_t RevealSelection = 0;
    std::int32_t mouseH = 0;
    std::int32_t mouseV = 0;
    std::int32_t cellHbak = 0;
    // The edit field's text as taken at the start of the last redraw.
    Str255 s_edit1;
    // What the edit field was given at the last redraw.
    Str255 editFieldText;
    // The scroll bar's own value (a control keeps it within 0 to ScrollNum).
    std::int32_t scrollBarValue = 0;
    // The selection rectangle the last redraw computed (sheet coordinates).
    std::int32_t selX0 = 0;
    std::int32_t selX1 = 0;
    std::int32_t selY0 = 0;
    std::int32_t selY1 = 0;

    bool windowActive() const { return WndDeactiveFlag == 0; }
};

// A value handed to the edit field from outside (calculator OK, sort, paste,
// undo): the next redraw shows it and does not commit the old edit text.
struct EditOverride {
    Str255 s_PASS;
    // 1 from such a command to the next redraw, which clears it.
    std::int8_t CalcOnFlag = 0;
};

struct SortState {
    std::int32_t sortItmID =
        1; // 1 Unsort (Number), 2 Dia ... 9 Mms, 10 Manufacturer, 11 Model Name
    std::int32_t sendItmID = 1; // 1 ascending, 2 descending
};

// Find's text and the bar below the sheet.
struct FindState {
    std::string text; // as last looked for
    bool barShown = false;
    std::string notice; // UTF-8
    std::uint32_t focusRequest = 0;
};

// A short word to the user in the tool area (UTF-8), about the cell of row
// `row` in sheet column `column` (0: the whole row): it shows while that
// is selected. One about a cell goes once the selection leaves it.
struct ToolNotice {
    std::string text;
    std::int32_t row = 0;
    std::int32_t column = 0;
};

// The link to the sibling box-design application.
struct LinkState {
    // 1 while Tarnwell says it is busy: nothing is sent.
    std::int8_t TarnBusyFlag = 0;
    // 1 while Tarnwell runs, as it said at its start or in its answer to
    // our query; 0 once it says it has closed.
    std::int8_t TarnLaunchFlag = 0;
};

struct Preferences {
    std::int32_t BoundsCheck = 1;
    std::int32_t SoundCheck = 1;
    std::int32_t UpdateForCheck = 1;
    // 1 send directly, 2 copy to the clipboard.
    std::int32_t TransMethodCheck = 1;
};

} // namespace kestrune
