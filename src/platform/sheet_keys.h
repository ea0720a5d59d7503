#pragma once
// The keyboard as the sheet sees it: the keys it acts on as their
// character codes, and the desktop's modifiers as the sheet's (Alt is
// Option, Ctrl is Command, Meta is Control).

#include "sheet/sheet_input.h"

#include <cstdint>
#include <optional>

class QEvent;
class QKeyEvent;

namespace kestrune {

struct SheetKeyPress {
    std::int32_t charCode = 0;
    KeyModifiers modifiers;
};

// A press of Tab or Shift+Tab, which the sheet takes before the window's
// focus chain would.
bool isTabKey(const QEvent& event);

// The sheet key a key event stands for; nothing for any other key.
std::optional<SheetKeyPress> sheetKeyOf(const QKeyEvent& event);

// True when the key event is the shortcut of a menu item: such keys belong
// to the menu bar, never to a text field.
bool isMenuShortcut(const QKeyEvent& event);

} // namespace kestrune
