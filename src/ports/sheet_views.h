#pragma once
// The controls above the sheet, described by the core and mirrored by the
// window: the edit field or the model name, the row counter, the column
// label, the Send button, and the enabling the redraw decides; and the
// sheet's scroll bar.

#include "runtime/str255.h"

#include <cstdint>
#include <string>

namespace kestrune {

struct ToolAreaView {
    // Cell mode: the edit field (UTF-8, like every text below), focused.
    bool editFieldShown = false;
    Str255 editText;
    std::string editHelp;
    // Row mode: the model name on its background.
    bool modelNameShown = false;
    Str255 modelName;
    // A short word to the user about the selected row, shown in place of
    // the model name; empty: none.
    std::string notice;
    std::string rowCounter;
    std::string columnLabel;
    std::string columnHelp;
    bool sendShown = true;
    std::string sendTitle;
    std::string sendHelp;
    bool sendDefault = false;
    bool sendEnabled = true;
    bool addNewModelEnabled = true;
    bool moveUpEnabled = false;
    bool moveDownEnabled = false;
    bool sortMenuEnabled = true;
    bool calcMenuEnabled = true;
};

struct ScrollBarView {
    bool exists = false; // in use: there are rows to scroll
    std::int32_t maximum = 0;
    std::int32_t value = 0;
    std::int32_t pageStep = 0;
    // Left, top, right, bottom in content pixels.
    std::int32_t left = 730;
    std::int32_t top = 81;
    std::int32_t right = 745;
    std::int32_t bottom = 0;
};

// The bar below the sheet where Find takes its text and short notices (a
// match not found, how many rows are marked) are shown.
struct FindBarView {
    bool shown = false;
    std::string text;   // UTF-8
    std::string notice; // UTF-8; empty: none
    // Raised each time the bar's field is to take the keyboard focus with
    // its text selected; the window applies a change once.
    std::uint32_t focusRequest = 0;
    friend bool operator==(const FindBarView&, const FindBarView&) = default;
};

// What the window shows of work that takes long (opening a large document,
// say): a line saying what is done, its progress, and whether the user may
// stop it (Escape or a Cancel button).
struct LongWorkView {
    std::string text; // UTF-8
    bool cancellable = false;
};

} // namespace kestrune
