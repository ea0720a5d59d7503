#include "calculators/layout_builder.h"

#include "calculators/calculator_layouts.h"

namespace kestrune::layout {
namespace {

using Kind = ControlKind;

constexpr const char* kFontName = "Lucida Grande";
constexpr double kTitleFontSize = 15.0;
constexpr double kFontSize = 13.0;
// Small controls: the tabs, the radio buttons and the transfer toggles.
constexpr double kSmallFontSize = 11.0;

constexpr const char* kCalcHelp = "Shortcut is 'Optio + Enter'";

} // namespace

ControlView& add(CalculatorView& view, std::int32_t number, Kind kind, std::string text,
                 std::string help, ControlRect rect, std::int32_t parent) {
    ControlView c = MakeControl(number, kind, rect, std::move(text), parent);
    c.help = std::move(help);
    c.fontName = kFontName;
    c.fontSize = kFontSize;
    switch (kind) {
    case Kind::Title:
        c.fontSize = kTitleFontSize;
        c.centred = true;
        break;
    case Kind::Input:
        c.centred = true;
        break;
    case Kind::Result:
        c.centred = true;
        c.enabled = false;
        break;
    case Kind::TabControl:
    case Kind::TabPane:
    case Kind::RadioButton:
        c.fontSize = kSmallFontSize;
        break;
    case Kind::BevelToggle:
        c.fontSize = kSmallFontSize;
        c.enabled = false; // active only after a conversion of its quantity
        break;
    default:
        break;
    }
    view.controls.push_back(std::move(c));
    return view.controls.back();
}

void label(CalculatorView& view, std::int32_t number, const char* text, const char* help,
           ControlRect rect, std::int32_t parent) {
    add(view, number, Kind::Label, text, help, rect, parent);
}

void name(CalculatorView& view, std::int32_t number, const char* text, const char* help,
          ControlRect rect, std::int32_t parent) {
    add(view, number, Kind::Label, text, help, rect, parent).alignRight = true;
}

void field(CalculatorView& view, std::int32_t number, Kind kind, ControlRect rect,
           std::int32_t parent) {
    add(view, number, kind, "", "", rect, parent);
}

void titleLine(CalculatorView& view, std::int32_t number, const char* title,
               const Str255& modelName, ControlRect rect) {
    add(view, number, Kind::Title, title + modelName.str() + "''", "", rect);
}

void header(CalculatorView& view, const char* title, const Str255& modelName) {
    titleLine(view, CalcCtl::kTitle, title, modelName, {10, 5, 290, 25});
    add(view, 67, Kind::Separator, "", "", {0, 25, 300, 35});
}

void buttons(CalculatorView& view, std::int32_t left, std::int32_t top) {
    const std::int32_t bottom = top + 20;
    add(view, CalcCtl::kCancel, Kind::PushButton, "Cancel", "", {left, top, left + 70, bottom});
    add(view, CalcCtl::kCalc, Kind::PushButton, "Calc.", kCalcHelp,
        {left + 95, top, left + 165, bottom});
    add(view, CalcCtl::kOK, Kind::DefaultButton, "OK", "", {left + 190, top, left + 260, bottom});
}

void setText(CalculatorView& view, std::int32_t number, const Str255& text) {
    if (ControlView* c = FindCalcControl(view, number)) {
        c->text = text.str();
    }
}

void chooseRadio(CalculatorView& view, std::int32_t group, std::int32_t value) {
    for (ControlView& c : view.controls) {
        if (c.number == group) {
            c.value = value;
        } else if (c.parent == group && c.kind == Kind::RadioButton) {
            c.checked = c.value == value;
        }
    }
}

} // namespace kestrune::layout
