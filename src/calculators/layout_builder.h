#pragma once
// The pieces every calculator window is built from: controls in the house
// font, parameter names that end where their fields begin, the title line
// that names the model, and the Cancel, Calc. and OK row.

#include "ports/window_views.h"
#include "runtime/str255.h"

#include <cstdint>
#include <string>

namespace kestrune::layout {

// Appends a control in the calculators' font, styled by its kind.
ControlView& add(CalculatorView& view, std::int32_t number, ControlKind kind, std::string text,
                 std::string help, ControlRect rect, std::int32_t parent = 0);

// A static text, such as a unit after its field.
void label(CalculatorView& view, std::int32_t number, const char* text, const char* help,
           ControlRect rect, std::int32_t parent = 0);

// A parameter's name in front of its field.
void name(CalculatorView& view, std::int32_t number, const char* text, const char* help,
          ControlRect rect, std::int32_t parent = 0);

// An empty input or result field.
void field(CalculatorView& view, std::int32_t number, ControlKind kind, ControlRect rect,
           std::int32_t parent = 0);

// The title line: the window's title text, the model's name and "''".
void titleLine(CalculatorView& view, std::int32_t number, const char* title,
               const Str255& modelName, ControlRect rect);

// The title line and the separator under it, for a window 300 points wide.
void header(CalculatorView& view, const char* title, const Str255& modelName);

// Cancel, Calc. and OK along the bottom, 70 points wide each.
void buttons(CalculatorView& view, std::int32_t left, std::int32_t top);

// A control's text from a working text; nothing when the
// window has no such control.
void setText(CalculatorView& view, std::int32_t number, const Str255& text);

// Chooses the radio button of that value in a radio group: the group's
// value and its buttons' marks.
void chooseRadio(CalculatorView& view, std::int32_t group, std::int32_t value);

} // namespace kestrune::layout
