#pragma once
// What a calculator window shows, described by the core and mirrored by the
// window: its controls by number with their kinds, texts, help tags,
// rectangles and states.
//
// A tab control's panes are its children of kind TabPane, in tab order; a
// pane's text is its tab's title. Other children of the tab control lie
// above whichever pane is shown.

#include <cstdint>
#include <string>
#include <vector>

namespace kestrune {

enum class CalcControlKind : std::uint8_t {
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
struct CalcRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
};

struct CalcControl {
    std::int32_t number = 0;
    CalcControlKind kind = CalcControlKind::Label;
    std::string text; // UTF-8 (Mac OS Roman texts converted at the window's edge)
    std::string help;
    CalcRect rect;
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

struct CalculatorView {
    std::int32_t calcItemID = 0; // 1 Vap, 2 Sd, 3 Vd, 4 Feet to Metric
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<CalcControl> controls;
    std::int32_t focusedField = 74;
    // Raised each time the program moves the keyboard focus to focusedField
    // (its whole text selected); the window applies a change once. Focus the
    // user moves is reported back and leaves this alone.
    std::uint32_t focusRequest = 0;
};

} // namespace kestrune
