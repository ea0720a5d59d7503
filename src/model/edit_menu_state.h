#pragma once
// What the Edit menu remembers between commands: the one level of undo and
// the calculator field it works on.

#include "model/paste_buffer.h"
#include "ports/menu_view.h"
#include "runtime/str255.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kestrune {

// Where the command that Undo reverses took place and what it moved, so
// that Undo never acts on another window, cell or row than that one.
struct UndoRecord {
    std::int32_t window = 0; // EditWndNum at the time
    std::int32_t cellH = 0;  // 0: the whole row
    std::int32_t cellV = 0;
    std::int32_t field = 0; // the calculator field
    // What a Cut or Delete put on the clipboard.
    std::string clip;
    // The row a row Cut removed (exactly, not as rounded in its text) and
    // its Number.
    PasteBuffer model;
    std::int32_t number = 0;
    // The rows a row Paste inserted, in their order.
    std::vector<PasteBuffer> pasted;
    // The sheet before a row Paste: its row count and modified mark, so that
    // undoing a paste into an empty sheet gives the empty sheet back.
    std::int32_t rowsBefore = 0;
    std::int8_t dirtyBefore = 0;
};

struct EditMenuState {
    // The command Undo reverses: Cut, Paste or Delete.
    Command undoItemID = Command::None;
    // The command being carried out: Undo while an Undo runs, Paste while a
    // Paste runs.
    Command itemIDPass = Command::None;
    // The field or cell text a Paste, Cut or Delete replaced.
    Str255 UndoText;
    // The calculator field with the keyboard focus.
    std::int32_t edtFldID = 74;
    UndoRecord undo;
};

} // namespace kestrune
