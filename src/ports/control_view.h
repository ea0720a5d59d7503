#pragma once
// One control of a window the core describes and the desktop mirrors (the
// calculators, Preferences, the update window): its number, kind, text, help
// tag, rectangle and state.
//
// A tab control's panes are its children of kind TabPane, in tab order; a
// pane's text is its tab's title. Other children of the tab control lie
// above whichever pane is shown.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace kestrune {

enum class ControlKind : std::uint8_t {
    Title,
    Separator,
    GroupBox,
    Label,
    Input,  // editable text field
    Result, // inactive text field
    PushButton,
    DefaultButton,
    RadioButton,
    TabControl,
    TabPane,
    BevelToggle, // checkable bevel-style button
    RadioGroup,  // value: the number (1, 2 ...) of the chosen radio button inside it
    CheckBox,    // checked: ticked
    Icon,        // the program's icon
    ProgressBar, // value: the part done, in thousandths; -1 while the whole is unknown
};

// A rectangle in points: left, top, right, bottom, relative to the window
// (or to the enclosing control when parent is not 0).
struct ControlRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
};

struct ControlView {
    std::int32_t number = 0;
    ControlKind kind = ControlKind::Label;
    std::string text; // UTF-8
    std::string help;
    ControlRect rect;
    std::int32_t parent = 0; // enclosing control number, 0 for the window
    std::string fontName;
    double fontSize = 0.0;
    bool centred = false;
    bool bold = false;
    // The text's colour as 0xRRGGBB; -1 for the desktop's own.
    std::int32_t color = -1;
    // A parameter name that ends where its field begins: right-aligned, so a
    // wider stand-in font grows it away from the field.
    bool alignRight = false;
    bool visible = true;
    bool enabled = true;
    bool checked = false;   // radio and bevel toggles; the tab control's pane by value
    std::int32_t value = 0; // tab control: the selected tab, 1-based; radio button: its number
};

// A control of the desktop's own look, the rest of its description left as declared.
inline ControlView MakeControl(std::int32_t number, ControlKind kind, ControlRect rect,
                               std::string text = {}, std::int32_t parent = 0) {
    ControlView c;
    c.number = number;
    c.kind = kind;
    c.rect = rect;
    c.text = std::move(text);
    c.parent = parent;
    return c;
}

} // namespace kestrune
