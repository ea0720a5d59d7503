#include "calculators/mass_layouts.h"

#include "calculators/calculator_layouts.h"
#include "calculators/layout_builder.h"

#include <array>
#include <string>
#include <string_view>

namespace kestrune {
namespace {

using namespace layout;
using Kind = ControlKind;

// Names of the Add Mass window end at 164, its fields run from 172 to 238
// and its units start at 247; a row is 25 points below the one before.
constexpr std::int32_t kNameRight = 164;
constexpr std::int32_t kFieldLeft = 172;
constexpr std::int32_t kFieldRight = 238;
constexpr std::int32_t kUnitLeft = 247;

// One row of the Add Mass window: name, field and (when given) unit.
void row(CalculatorView& v, std::int32_t top, std::int32_t nameNo, const char* text,
         const char* help, std::int32_t fieldNo, Kind kind, std::int32_t unitNo = 0,
         const char* unit = "") {
    name(v, nameNo, text, help, {40, top, kNameRight, top + 16});
    field(v, fieldNo, kind, {kFieldLeft, top + 3, kFieldRight, top + 17});
    if (unitNo != 0) {
        label(v, unitNo, unit, "", {kUnitLeft, top, kUnitLeft + 60, top + 16});
    }
}

// The labels and fields of each kind of target: the free air's, the box's.
constexpr std::array<std::int32_t, 3> kFreeAirControls = {51, 57, CalcCtl::kField108};
constexpr std::array<std::int32_t, 6> kBoxControls = {
    52, 59, 60, 61, CalcCtl::kField109, CalcCtl::kField111};

void setEnabled(CalculatorView& view, std::int32_t number, bool enabled) {
    if (ControlView* c = FindCalcControl(view, number)) {
        c->enabled = enabled;
    }
}

} // namespace

void MmsWindow(CalculatorView& v, const Str255& modelName) {
    v.width = 300;
    v.height = 301;
    header(v, "Mms Calculate ''", modelName);
    add(v, CalcCtl::kEnterGroup, Kind::GroupBox, "Enter Parameters", "", {20, 40, 280, 149});
    add(v, CalcCtl::kSolutionGroup, Kind::GroupBox, "Solution", "", {20, 155, 280, 216});
    name(v, 47, "Fp or Fs", "Passive Radiator Free Air Resonance", {100, 67, 154, 83});
    name(v, 48, "Vap", "Passive Radiator Acoustic Volume", {127, 92, 154, 108});
    name(v, 49, "Effective Area ''Sd''", "Corn Effective Area ''Sd''", {32, 117, 154, 133});
    label(v, 53, "Hz", "", {237, 67, 272, 83});
    label(v, 54, "Liter", "", {237, 92, 272, 108});
    label(v, 55, "cm²", "", {237, 117, 278, 133});
    name(v, 58, "Mms", "Corn Effective Moving Mass", {120, 183, 154, 199});
    label(v, 63, "gram", "", {237, 183, 272, 199});
    field(v, CalcCtl::kField74, Kind::Input, {162, 70, 228, 84});
    field(v, CalcCtl::kField75, Kind::Input, {162, 95, 228, 109});
    field(v, CalcCtl::kField76, Kind::Input, {162, 120, 228, 134});
    field(v, CalcCtl::kResult80, Kind::Result, {162, 184, 228, 198});
    add(v, 68, Kind::Separator, "", "", {0, 231, 300, 241});
    buttons(v, 20, 256);
}

void AddMassWindow(CalculatorView& v, const Str255& modelName) {
    v.width = 340;
    v.height = 596;
    titleLine(v, CalcCtl::kTitle, "Add Mass Calculate ''", modelName, {10, 5, 330, 25});
    add(v, 67, Kind::Separator, "", "", {0, 25, 340, 35});

    add(v, CalcCtl::kEnterGroup, Kind::GroupBox, "Enter Parameters", "", {20, 40, 320, 174});
    row(v, 67, 47, "Fp or Fs", "Passive Radiator Free Air Resonance", CalcCtl::kField74,
        Kind::Input, 53, "Hz");
    row(v, 92, 48, "Mms or mo", "Corn Effective Moving Mass", CalcCtl::kField75, Kind::Input, 54,
        "gram");
    row(v, 117, 49, "Vap", "Passive Radiator Acoustic Volume", CalcCtl::kField76, Kind::Input, 55,
        "Liter");
    row(v, 142, 50, "Passive Radiators", "Passive radiators on the box, 1 to 8", CalcCtl::kField110,
        Kind::Input, 56, "(1 to 8)");

    add(v, CalcCtl::kTargetGroup, Kind::GroupBox, "Target", "", {20, 180, 320, 300});
    add(v, CalcCtl::kMassMode, Kind::RadioGroup, "", "", {10, 22, 290, 38}, CalcCtl::kTargetGroup);
    add(v, CalcCtl::kModeFreeAir, Kind::RadioButton, "Free Air Fp", "", {8, 1, 130, 15},
        CalcCtl::kMassMode)
        .value = 1;
    add(v, CalcCtl::kModeBox, Kind::RadioButton, "Box Tuning Fb", "", {140, 1, 280, 15},
        CalcCtl::kMassMode)
        .value = 2;
    row(v, 226, 51, "Target Fp", "Free air resonance to reach", CalcCtl::kField108, Kind::Input, 57,
        "Hz");
    row(v, 251, 52, "Box Volume Vb", "Net inner volume of the box", CalcCtl::kField109, Kind::Input,
        59, "Liter");
    row(v, 276, 60, "Box Tuning Fb", "Tuning of the box to reach", CalcCtl::kField111, Kind::Input,
        61, "Hz");

    add(v, CalcCtl::kSolutionGroup, Kind::GroupBox, "Solutions", "", {20, 306, 320, 516});
    row(v, 333, 58, "Added Mass", "Mass to add to each passive radiator", CalcCtl::kResult80,
        Kind::Result, 62, "gram");
    row(v, 358, 64, "Resulting Fp", "Free air resonance with the mass added", CalcCtl::kResult83,
        Kind::Result, 65, "Hz");
    row(v, 383, 119, "Total Vd", "Displacement of all passive radiators, N × Vd",
        CalcCtl::kResult113, Kind::Result, 120, "cm³");
    row(v, 408, 121, "Driver Vd (Option)", "Displacement volume of the active driver",
        CalcCtl::kField112, Kind::Input, 122, "cm³");
    row(v, 433, 123, "Vd Ratio", "Total Vd over the driver's Vd", CalcCtl::kResult114,
        Kind::Result);
    // Two lines: a sentence too long for one breaks after its colon.
    add(v, CalcCtl::kResultLine, Kind::Label, "", "", {24, 450, 316, 482}).centred = true;
    add(v, CalcCtl::kCopyResults, Kind::PushButton, "Copy Results",
        "Puts the parameters and the results on the clipboard", {210, 486, 310, 506});

    add(v, 68, Kind::Separator, "", "", {0, 526, 340, 536});
    buttons(v, 40, 551);
}

void ShowMmsTexts(CalculatorView& view, const CalcWorkingSet& calc) {
    setText(view, CalcCtl::kField74, calc.s_FS5);
    setText(view, CalcCtl::kField75, calc.s_VAS5);
    setText(view, CalcCtl::kField76, calc.s_SD5);
    setText(view, CalcCtl::kResult80, calc.s_MMS5);
}

void ShowAddMassTexts(CalculatorView& view, const CalcWorkingSet& calc) {
    setText(view, CalcCtl::kField74, calc.s_FS5);
    setText(view, CalcCtl::kField75, calc.s_MMS5);
    setText(view, CalcCtl::kField76, calc.s_VAS5);
    setText(view, CalcCtl::kField108, calc.s_TGFP5);
    setText(view, CalcCtl::kField109, calc.s_VB5);
    setText(view, CalcCtl::kField110, calc.s_NPR5);
    setText(view, CalcCtl::kField111, calc.s_FB5);
    setText(view, CalcCtl::kField112, calc.s_DRVD5);
    ShowAddMassTarget(view, calc.AddMassRadioID);
    ShowAddMassResults(view, calc);
}

void ShowAddMassTarget(CalculatorView& view, std::int32_t radioID) {
    const bool box = radioID == 2;
    chooseRadio(view, CalcCtl::kMassMode, box ? 2 : 1);
    for (std::int32_t number : kFreeAirControls) {
        setEnabled(view, number, !box);
    }
    for (std::int32_t number : kBoxControls) {
        setEnabled(view, number, box);
    }
}

void ShowAddMassResults(CalculatorView& view, const CalcWorkingSet& calc) {
    setText(view, CalcCtl::kResult80, calc.s_ADDM5);
    setText(view, CalcCtl::kResult83, calc.s_NEWFP5);
    setText(view, CalcCtl::kResult113, calc.s_TOTVD5);
    setText(view, CalcCtl::kResult114, calc.s_VDRAT5);
    std::string line(calc.s_ADDMSG5.view());
    if (const auto colon = line.find(": "); colon != std::string::npos) {
        line.replace(colon, 2, ":\n");
    }
    setText(view, CalcCtl::kResultLine, Str255(std::string_view(line)));
}

} // namespace kestrune
