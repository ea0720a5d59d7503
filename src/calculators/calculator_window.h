#pragma once
// The calculator windows as a model. The Calculate menu opens one; it is a
// window-modal sheet on the data sheet that mirrors app.calc.window and
// reports its control hits, keys and focus changes to the functions below.
// Its fields are read back through Platform::readCalculatorField.
//
// While a calculator is open the other menus are disabled (Edit stays, for
// the fields), the sheet's scroll bar is suspended and EditWndNum is 2; every
// way of closing it undoes all three and clears CalcWndOnFlag.

#include "ports/menu_view.h"
#include "sheet/sheet_input.h"

#include <cstdint>

namespace kestrune {

class AppState;

// A Calculate menu command: Calculator with calcItemID 1 Vap, 2 Sd, 3 Vd or
// 4 Feet to Metric, "Mms..." and "Add Mass Calculator..." open their
// calculator. False for any other command.
bool CalculateMenuCommand(AppState& app, MenuCommand command);

// Opens calculator calcItemID (1 to 6) on the selected row. Nothing happens
// without a sheet or while a calculator is open.
void OpenCalculator(AppState& app, std::int32_t calcItemID);

// A control of the open calculator was hit. value is the tab now selected
// for the tab control 30 (1 to 5) and the unit now chosen for the radio
// group 27 (1 cm², 2 m²) and for the Add Mass target's radio group 105 (1
// free air, 2 box); it is not read for other controls.
void CalculatorControlHit(AppState& app, std::int32_t control, std::int32_t value);

// A key went down in the calculator window. True when it was consumed and
// must not reach the field: a key with exactly Option calculates; Return
// or Enter is OK; Escape closes; Space is never typed, and in Feet to Metric
// selects the next quantity.
bool CalculatorKeyDown(AppState& app, std::int32_t charCode, KeyModifiers modifiers);

// An input field took the keyboard focus (a click or the Tab key): it is
// the field the Edit menu works on.
void CalculatorFieldFocused(AppState& app, std::int32_t control);

// "Calc." (26): calculates from the fields and shows the results; refused
// input only beeps.
void CalculateCommand(AppState& app);
// "OK" (24): calculates once more from the fields, writes the results into
// the selected row, closes the window and redraws the sheet; refused input
// closes the window and leaves the row as it was. The Add Mass window
// describes a change to the radiator, not the radiator as sold: its OK
// only closes.
void CalculateWndOkReturn(AppState& app);
// "Cancel" (25) and Escape: closes the window, nothing is written.
void CloseCalculatorWindow(AppState& app);

// Feet to Metric: selects quantity tabItem (1 to 5); its input starts
// again at " 0" and its transfer toggle becomes inactive (its mark stays).
void SelectFeetQuantity(AppState& app, std::int32_t tabItem);
// Feet to Metric: a transfer toggle (69 to 73) flips its quantity's mark.
void ToggleTransfer(AppState& app, std::int32_t control);
// Vd: the unit of Sd, 1 cm² or 2 m². The fields are shown afresh, with Sd
// taken from the row in the new unit.
void ChooseVdUnit(AppState& app, std::int32_t unit);

// Add Mass: the kind of target, 1 a free-air resonance or 2 a box tuning.
// Only that target's fields can be typed into; the results clear, what was
// typed stays.
void ChooseAddMassTarget(AppState& app, std::int32_t radioID);
// Add Mass, "Copy Results": calculates from the fields as they stand, shows
// the results and puts the inputs and results on the clipboard as plain
// text; refused input only beeps and the clipboard stays as it was.
void CopyAddMassResults(AppState& app);

} // namespace kestrune
