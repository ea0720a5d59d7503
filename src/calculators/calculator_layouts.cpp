#include "calculators/calculator_layouts.h"

#include "calculators/layout_builder.h"
#include "calculators/mass_layouts.h"

#include <array>
#include <string>

namespace kestrune {
namespace {

using Kind = ControlKind;

using namespace layout;

constexpr const char* kTabHelp = "Tab Change is 'Space Key'";

constexpr std::array<FeetQuantityTexts, 5> kFeetQuantities = {{
    {"Dia", "Passive Radiator Nominal Diameter", "inch", "cm"},
    {"Vap", "Passive Radiator Acoustic Volume", "feet³", "Liter"},
    {"Sd", "Corn Effective Area", "inch²", "cm²"},
    {"Xmax", "Corn Peak Liner Displacement", "inch", "mm"},
    {"Vd", "Corn Displacement Volume", "inch³", "cm³"},
}};

constexpr std::array<const char*, 5> kTabTitles = {" Dia ", " Vap ", " Sd   ", "Xmax", "Vd   "};

void vapWindow(CalculatorView& v, const Str255& modelName) {
    v.width = 300;
    v.height = 370;
    header(v, "Vap Calculate ''", modelName);
    add(v, CalcCtl::kEnterGroup, Kind::GroupBox, "Enter Parameters", "", {20, 40, 280, 199});
    add(v, CalcCtl::kSolutionGroup, Kind::GroupBox, "Solutions", "", {20, 205, 280, 288});
    name(v, 47, "Fp or Fs", "Passive Radiator Free Air Resonance", {100, 67, 154, 83});
    name(v, 48, "Mms or mo", "Corn Effective Moving Mass", {78, 92, 154, 108});
    name(v, 49, "Effective Area ''Sd''", "Corn Effective Area ''Sd''", {32, 117, 154, 133});
    name(v, 51, "Qmp or Qms", "Passive Radiator Mechanical Q", {68, 142, 154, 158});
    name(v, 52, "Xmax (Option)", "Corn Peak Liner Displacement", {60, 167, 154, 183});
    label(v, 53, "Hz", "", {237, 67, 272, 83});
    label(v, 54, "gram", "", {237, 92, 272, 108});
    label(v, 55, "cm²", "", {237, 117, 278, 133});
    label(v, 56, "mm", "", {237, 167, 272, 183});
    name(v, 58, "Vap", "Passive Radiator Acoustic Volume", {127, 232, 154, 248});
    name(v, 61, "Vd", "Corn Displacement Volume", {132, 257, 154, 273});
    label(v, 63, "Liter", "", {237, 232, 272, 248});
    label(v, 65, "cm³", "", {237, 257, 278, 273});
    field(v, CalcCtl::kField74, Kind::Input, {162, 70, 228, 84});
    field(v, CalcCtl::kField75, Kind::Input, {162, 95, 228, 109});
    field(v, CalcCtl::kField76, Kind::Input, {162, 120, 228, 134});
    field(v, CalcCtl::kField78, Kind::Input, {162, 145, 228, 159});
    field(v, CalcCtl::kField79, Kind::Input, {162, 170, 228, 184});
    field(v, CalcCtl::kResult80, Kind::Result, {162, 234, 228, 248});
    field(v, CalcCtl::kResult83, Kind::Result, {162, 259, 228, 273});
    add(v, 68, Kind::Separator, "", "", {0, 300, 300, 310});
    buttons(v, 20, 325);
}

void sdWindow(CalculatorView& v, const Str255& modelName) {
    v.width = 300;
    v.height = 255;
    header(v, "Sd Calculate ''", modelName);
    add(v, CalcCtl::kEnterGroup, Kind::GroupBox, "Enter Parameters", "", {20, 41, 280, 102});
    add(v, CalcCtl::kSolutionGroup, Kind::GroupBox, "Solution", "", {20, 109, 280, 170});
    name(v, 47, "Corn Effective Dia.", "Corn Effective Diameter", {35, 67, 154, 83});
    label(v, 53, "mm", "", {237, 67, 276, 83});
    name(v, 58, "Sd", "Corn Effective Area", {133, 137, 154, 153});
    label(v, 63, "cm²", "", {237, 137, 276, 153});
    field(v, CalcCtl::kField74, Kind::Input, {162, 70, 228, 86});
    field(v, CalcCtl::kResult80, Kind::Result, {162, 138, 228, 154});
    add(v, 68, Kind::Separator, "", "", {0, 185, 300, 195});
    buttons(v, 20, 210);
}

void vdWindow(CalculatorView& v, const Str255& modelName) {
    v.width = 300;
    v.height = 280;
    header(v, "Vd Calculate ''", modelName);
    add(v, CalcCtl::kEnterGroup, Kind::GroupBox, "Enter Parameters", "", {20, 38, 280, 127});
    add(v, CalcCtl::kSolutionGroup, Kind::GroupBox, "Solution", "", {20, 133, 280, 197});
    add(v, CalcCtl::kVdUnit, Kind::RadioGroup, "", "", {6, 30, 115, 52}, CalcCtl::kEnterGroup);
    add(v, CalcCtl::kUnitCm2, Kind::RadioButton, "cm²", "", {8, 3, 62, 15}, CalcCtl::kVdUnit)
        .value = 1;
    add(v, CalcCtl::kUnitM2, Kind::RadioButton, "m²", "", {60, 3, 110, 15}, CalcCtl::kVdUnit)
        .value = 2;
    name(v, 47, "Sd", "Corn Effective Area", {136, 67, 154, 83});
    label(v, CalcCtl::kSdUnit, "cm²", "", {237, 67, 276, 83});
    name(v, 48, "Xmax", "Corn Peak Liner Displacement", {117, 92, 154, 108});
    label(v, 54, "mm", "", {237, 92, 274, 108});
    name(v, 58, "Vd", "Corn Displacement Volume", {135, 162, 154, 178});
    label(v, 63, "cm³", "", {237, 162, 276, 178});
    field(v, CalcCtl::kField74, Kind::Input, {162, 70, 228, 84});
    field(v, CalcCtl::kField75, Kind::Input, {162, 95, 228, 109});
    field(v, CalcCtl::kResult80, Kind::Result, {162, 164, 228, 178});
    add(v, 68, Kind::Separator, "", "", {0, 210, 300, 220});
    buttons(v, 20, 235);
}

void feetToMetricWindow(CalculatorView& v, const Str255& modelName) {
    v.width = 340;
    v.height = 370;
    titleLine(v, CalcCtl::kFeetTitle, "Feet to Metric Calculate ''", modelName, {5, 5, 335, 25});
    add(v, 67, Kind::Separator, "", "", {0, 25, 340, 35});
    add(v, CalcCtl::kTabs, Kind::TabControl, "", kTabHelp, {20, 40, 320, 220}).value = 1;
    // The panes fill the tab control's body, 23, 72, 317, 217 in the window.
    for (std::int32_t i = 0; i < 5; ++i) {
        ControlView& pane =
            add(v, CalcCtl::kFirstPane + i, Kind::TabPane, kTabTitles[static_cast<std::size_t>(i)],
                "", {3, 32, 297, 177}, CalcCtl::kTabs);
        pane.visible = i == 0;
    }
    const std::int32_t tabs = CalcCtl::kTabs;
    add(v, CalcCtl::kEnterGroup, Kind::GroupBox, "Enter Feet Units", "", {20, 35, 280, 99}, tabs);
    add(v, CalcCtl::kSolutionGroup, Kind::GroupBox, "Metric Solution", "", {20, 105, 280, 165},
        tabs);
    const FeetQuantityTexts& dia = kFeetQuantities[0];
    name(v, CalcCtl::kQuantityName, dia.name, dia.help, {70, 64, 110, 80}, tabs);
    name(v, CalcCtl::kQuantityResultName, dia.name, dia.help, {70, 134, 110, 150}, tabs);
    label(v, CalcCtl::kImperialUnit, dia.imperialUnit, "", {192, 64, 252, 80}, tabs);
    label(v, CalcCtl::kMetricUnit, dia.metricUnit, "", {192, 134, 252, 150}, tabs);
    field(v, CalcCtl::kField74, Kind::Input, {117, 66, 183, 80}, tabs);
    field(v, CalcCtl::kResult80, Kind::Result, {117, 134, 183, 148}, tabs);
    add(v, CalcCtl::kTransferGroup, Kind::GroupBox, "Transfer ON/OFF", "", {20, 230, 320, 293});
    for (std::int32_t i = 0; i < 5; ++i) {
        const FeetQuantityTexts& q = kFeetQuantities[static_cast<std::size_t>(i)];
        const std::int32_t left = 20 + 56 * i;
        add(v, CalcCtl::kFirstTransfer + i, Kind::BevelToggle, q.name, q.help,
            {left, 28, left + 36, 48}, CalcCtl::kTransferGroup);
    }
    add(v, 68, Kind::Separator, "", "", {0, 305, 340, 315});
    buttons(v, 40, 330);
}

void setLabel(CalculatorView& view, std::int32_t number, const char* text, const char* help) {
    if (ControlView* c = FindCalcControl(view, number)) {
        c->text = text;
        c->help = help;
    }
}

void showVdUnit(CalculatorView& view, std::int32_t unit) {
    const bool squareMetres = unit == 2;
    setLabel(view, CalcCtl::kSdUnit, squareMetres ? "m²" : "cm²", "");
    chooseRadio(view, CalcCtl::kVdUnit, squareMetres ? 2 : 1);
}

void showFeetQuantity(CalculatorView& view, const CalcWorkingSet& calc) {
    const std::int32_t tab = calc.tabItem >= 1 && calc.tabItem <= 5 ? calc.tabItem : 1;
    if (ControlView* tabs = FindCalcControl(view, CalcCtl::kTabs)) {
        tabs->value = tab;
    }
    for (std::int32_t i = 1; i <= 5; ++i) {
        if (ControlView* pane = FindCalcControl(view, CalcCtl::kFirstPane + i - 1)) {
            pane->visible = i == tab;
        }
    }
    const FeetQuantityTexts& q = FeetQuantityText(tab);
    setLabel(view, CalcCtl::kQuantityName, q.name, q.help);
    setLabel(view, CalcCtl::kQuantityResultName, q.name, q.help);
    setLabel(view, CalcCtl::kImperialUnit, q.imperialUnit, "");
    setLabel(view, CalcCtl::kMetricUnit, q.metricUnit, "");
    const std::array<std::int32_t, 5> marks = {calc.keepBtn1, calc.keepBtn2, calc.keepBtn3,
                                               calc.keepBtn4, calc.keepBtn5};
    for (std::int32_t i = 0; i < 5; ++i) {
        if (ControlView* toggle = FindCalcControl(view, CalcCtl::kFirstTransfer + i)) {
            toggle->checked = marks[static_cast<std::size_t>(i)] == 1;
        }
    }
}

} // namespace

const FeetQuantityTexts& FeetQuantityText(std::int32_t tabItem) {
    const bool known = tabItem >= 1 && tabItem <= 5;
    return kFeetQuantities[known ? static_cast<std::size_t>(tabItem - 1) : 0];
}

CalculatorView CalculatorLayout(std::int32_t calcItemID, const Str255& modelName) {
    CalculatorView view;
    switch (calcItemID) {
    case CalcItem::kVap:
        vapWindow(view, modelName);
        break;
    case CalcItem::kSd:
        sdWindow(view, modelName);
        break;
    case CalcItem::kVd:
        vdWindow(view, modelName);
        break;
    case CalcItem::kFeetToMetric:
        feetToMetricWindow(view, modelName);
        break;
    case CalcItem::kMms:
        MmsWindow(view, modelName);
        break;
    case CalcItem::kAddMass:
        AddMassWindow(view, modelName);
        break;
    default:
        return view;
    }
    view.calcItemID = calcItemID;
    view.focusedField = CalcCtl::kField74;
    return view;
}

ControlView* FindCalcControl(CalculatorView& view, std::int32_t number) {
    for (ControlView& c : view.controls) {
        if (c.number == number) {
            return &c;
        }
    }
    return nullptr;
}

const ControlView* FindCalcControl(const CalculatorView& view, std::int32_t number) {
    for (const ControlView& c : view.controls) {
        if (c.number == number) {
            return &c;
        }
    }
    return nullptr;
}

void ShowWorkingTexts(CalculatorView& view, const CalcWorkingSet& calc) {
    switch (view.calcItemID) {
    case CalcItem::kVap:
        setText(view, CalcCtl::kField74, calc.s_FS5);
        setText(view, CalcCtl::kField75, calc.s_MMS5);
        setText(view, CalcCtl::kField76, calc.s_SD5);
        setText(view, CalcCtl::kField78, calc.s_QMS5);
        setText(view, CalcCtl::kField79, calc.s_XMAX5);
        setText(view, CalcCtl::kResult80, calc.s_VAS5);
        setText(view, CalcCtl::kResult83, calc.s_VD5);
        break;
    case CalcItem::kSd:
        setText(view, CalcCtl::kField74, calc.s_EFDIA5);
        setText(view, CalcCtl::kResult80, calc.s_SD5);
        break;
    case CalcItem::kVd:
        showVdUnit(view, calc.VdRadioID);
        setText(view, CalcCtl::kField74, calc.s_SD5);
        setText(view, CalcCtl::kField75, calc.s_XMAX5);
        setText(view, CalcCtl::kResult80, calc.s_VD5);
        break;
    case CalcItem::kFeetToMetric:
        showFeetQuantity(view, calc);
        setText(view, CalcCtl::kField74, calc.s_FTMin);
        setText(view, CalcCtl::kResult80, calc.s_FTMout);
        break;
    case CalcItem::kMms:
        ShowMmsTexts(view, calc);
        break;
    case CalcItem::kAddMass:
        ShowAddMassTexts(view, calc);
        break;
    default:
        break;
    }
}

} // namespace kestrune
