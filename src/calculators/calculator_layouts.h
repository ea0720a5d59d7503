#pragma once
// The calculator windows as they are laid out: every control by number
// with its kind, text, help tag, rectangle in points and font; and what each
// window's display puts into its fields from the working set.

#include "model/working_set.h"
#include "ports/window_views.h"
#include "runtime/str255.h"

#include <cstdint>

namespace kestrune {

// The calculators by their Calculate menu item.
namespace CalcItem {
constexpr std::int32_t kVap = 1;
constexpr std::int32_t kSd = 2;
constexpr std::int32_t kVd = 3;
constexpr std::int32_t kFeetToMetric = 4;
constexpr std::int32_t kMms = 5;
constexpr std::int32_t kAddMass = 6;
} // namespace CalcItem

// Control numbers; the same number has the same role in every window.
namespace CalcCtl {
constexpr std::int32_t kOK = 24;
constexpr std::int32_t kCancel = 25;
constexpr std::int32_t kCalc = 26;
constexpr std::int32_t kVdUnit = 27; // radio group: 1 cm², 2 m²
constexpr std::int32_t kUnitCm2 = 28;
constexpr std::int32_t kUnitM2 = 29;
constexpr std::int32_t kTabs = 30;      // Feet to Metric quantities
constexpr std::int32_t kFirstPane = 31; // panes 31 to 35, one per tab
constexpr std::int32_t kEnterGroup = 36;
constexpr std::int32_t kSolutionGroup = 37;
constexpr std::int32_t kTransferGroup = 38;
constexpr std::int32_t kFeetTitle = 42;
constexpr std::int32_t kTitle = 45;
constexpr std::int32_t kQuantityName = 48; // and 49
constexpr std::int32_t kQuantityResultName = 49;
constexpr std::int32_t kImperialUnit = 50;
constexpr std::int32_t kMetricUnit = 51;
constexpr std::int32_t kSdUnit = 53;        // in the Vd window
constexpr std::int32_t kFirstTransfer = 69; // transfer toggles 69 to 73
constexpr std::int32_t kField74 = 74;
constexpr std::int32_t kField75 = 75;
constexpr std::int32_t kField76 = 76;
constexpr std::int32_t kField78 = 78;
constexpr std::int32_t kField79 = 79;
constexpr std::int32_t kResult80 = 80;
constexpr std::int32_t kResult83 = 83;
// The Add Mass window, numbered after every other window's controls.
constexpr std::int32_t kMassMode = 105; // radio group: 1 free air, 2 box
constexpr std::int32_t kModeFreeAir = 106;
constexpr std::int32_t kModeBox = 107;
constexpr std::int32_t kField108 = 108;  // target Fp
constexpr std::int32_t kField109 = 109;  // box volume Vb
constexpr std::int32_t kField110 = 110;  // passive radiators N
constexpr std::int32_t kField111 = 111;  // box tuning Fb
constexpr std::int32_t kField112 = 112;  // the driver's Vd, may stay empty
constexpr std::int32_t kResult113 = 113; // N × Vd
constexpr std::int32_t kResult114 = 114; // N × Vd over the driver's Vd
constexpr std::int32_t kResultLine = 115;
constexpr std::int32_t kCopyResults = 116;
constexpr std::int32_t kTargetGroup = 117;
} // namespace CalcCtl

// What the Feet to Metric window names for a quantity (tabItem 1 to 5).
struct FeetQuantityTexts {
    const char* name;
    const char* help;
    const char* imperialUnit;
    const char* metricUnit;
};
// Quantities outside 1 to 5 read as Dia.
const FeetQuantityTexts& FeetQuantityText(std::int32_t tabItem);

// The window of calculator calcItemID (1 to 6) with empty fields; its title
// line names the model. Anything else gives an empty view.
CalculatorView CalculatorLayout(std::int32_t calcItemID, const Str255& modelName);

ControlView* FindCalcControl(CalculatorView& view, std::int32_t number);
const ControlView* FindCalcControl(const CalculatorView& view, std::int32_t number);

// The window's display: the working texts into its fields, and for the Vd
// window the unit, for the Feet to Metric window the selected quantity's
// tab, pane, names and units and the transfer toggles' marks, for the Add
// Mass window the kind of target and the fields it uses. Which transfer
// toggles are active is the window's own state and stays.
void ShowWorkingTexts(CalculatorView& view, const CalcWorkingSet& calc);

} // namespace kestrune
