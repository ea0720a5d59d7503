#include "calculators/calculator_window.h"

#include "calculators/calculator_layouts.h"
#include "calculators/formulas.h"
#include "calculators/mass_formulas.h"
#include "calculators/mass_layouts.h"
#include "model/app_state.h"
#include "model/menu_states.h"
#include "sheet/sheet_redraw.h"

#include <array>

namespace kestrune {
namespace {

constexpr std::int32_t kEscape = 27;
constexpr std::int32_t kSpace = 32;

bool calculatorOpen(const AppState& app) {
    return app.calc.CalcWndOnFlag != 0 && app.calc.window.calcItemID != 0;
}

bool feetToMetricOpen(const AppState& app) {
    return calculatorOpen(app) && app.calc.window.calcItemID == CalcItem::kFeetToMetric;
}

bool exactlyOption(KeyModifiers m) {
    return m.option && !m.shift && !m.command && !m.control;
}

bool isInputField(const AppState& app, std::int32_t control) {
    const ControlView* c = FindCalcControl(app.calc.window, control);
    return c != nullptr && c->kind == ControlKind::Input;
}

// The texts of the window's input fields as they stand now.
CalcFields readFields(AppState& app) {
    CalcFields fields;
    const auto read = [&app](std::int32_t control, Str255& into) {
        if (isInputField(app, control)) {
            into = app.platform().readCalculatorField(control);
        }
    };
    read(CalcCtl::kField74, fields.field74);
    read(CalcCtl::kField75, fields.field75);
    read(CalcCtl::kField76, fields.field76);
    read(CalcCtl::kField78, fields.field78);
    read(CalcCtl::kField79, fields.field79);
    read(CalcCtl::kField108, fields.field108);
    read(CalcCtl::kField109, fields.field109);
    read(CalcCtl::kField110, fields.field110);
    read(CalcCtl::kField111, fields.field111);
    read(CalcCtl::kField112, fields.field112);
    return fields;
}

// What the user typed lives in the window. Taking it into the view first
// keeps an update that shows nothing new from undoing the typing.
void takeTypedTexts(AppState& app) {
    for (ControlView& c : app.calc.window.controls) {
        if (c.kind == ControlKind::Input) {
            c.text = app.platform().readCalculatorField(c.number).str();
        }
    }
}

void showWindow(AppState& app) {
    app.platform().updateCalculatorWindow(app.calc.window);
}

// The display of every calculator: the working texts into the fields, then
// the keyboard focus to field 74 with its text selected.
void CalcDisp(AppState& app) {
    CalculatorView& view = app.calc.window;
    ShowWorkingTexts(view, app.calc);
    view.focusedField = CalcCtl::kField74;
    ++view.focusRequest;
    app.editMenu.edtFldID = CalcCtl::kField74;
}

ControlView* transferToggle(AppState& app, std::int32_t tabItem) {
    return FindCalcControl(app.calc.window, CalcCtl::kFirstTransfer + tabItem - 1);
}

std::int32_t& transferMark(CalcWorkingSet& c, std::int32_t tabItem) {
    const std::array<std::int32_t*, 5> marks = {&c.keepBtn1, &c.keepBtn2, &c.keepBtn3, &c.keepBtn4,
                                                &c.keepBtn5};
    return *marks[static_cast<std::size_t>(tabItem - 1)];
}

bool anyTransferMarked(CalcWorkingSet& c) {
    for (std::int32_t tab = 1; tab <= 5; ++tab) {
        if (transferMark(c, tab) == 1) {
            return true;
        }
    }
    return false;
}

// Converts the input of the selected quantity; a success activates the
// quantity's transfer toggle, which shows its new mark.
CalcOutcome convertFeetToMetric(AppState& app) {
    const CalcOutcome outcome = CalcFtToMet(app, readFields(app));
    if (outcome == CalcOutcome::Computed) {
        if (ControlView* toggle = transferToggle(app, app.calc.tabItem)) {
            toggle->enabled = true;
        }
    }
    return outcome;
}

// Calculates by the open calculator.
CalcOutcome calculate(AppState& app) {
    switch (app.calc.window.calcItemID) {
    case CalcItem::kVap:
        return VasCalc(app, readFields(app));
    case CalcItem::kSd:
        return SdCalc(app, readFields(app));
    case CalcItem::kVd:
        return VdCalc(app, readFields(app));
    case CalcItem::kFeetToMetric:
        return convertFeetToMetric(app);
    case CalcItem::kMms:
        return MmsCalc(app, readFields(app));
    case CalcItem::kAddMass: {
        AddMassRun run;
        return AddMassCalc(app, readFields(app), run);
    }
    default:
        return CalcOutcome::Refused;
    }
}

// Writes the results of the open calculator into the selected row; false
// when nothing was written.
bool transferResults(AppState& app, CalcOutcome outcome) {
    CalcWorkingSet& c = app.calc;
    if (c.window.calcItemID == CalcItem::kFeetToMetric) {
        // A refused conversion here beeps and the marked quantities still go.
        TransToSheetFtToMet(app);
        return anyTransferMarked(c);
    }
    if (outcome != CalcOutcome::Computed) {
        return false;
    }
    switch (c.window.calcItemID) {
    case CalcItem::kVap:
        TransToSheetVas(app);
        return true;
    case CalcItem::kSd:
        TransToSheetSd(app);
        return true;
    case CalcItem::kVd:
        TransToSheetVd(app);
        return true;
    case CalcItem::kMms:
        TransToSheetMms(app);
        return true;
    default:
        return false;
    }
}

// The window goes; the sheet gets its scroll bar and the Edit menu back.
void closeSheet(AppState& app) {
    app.platform().closeCalculatorWindow();
    app.flags.EditWndNum = 1;
    ResumeSheetScrolling(app);
    app.calc.CalcWndOnFlag = 0;
    app.calc.window = CalculatorView{};
}

} // namespace

bool CalculateMenuCommand(AppState& app, MenuCommand command) {
    switch (command.command) {
    case Command::Calculator:
        if (command.arg < CalcItem::kVap || command.arg > CalcItem::kFeetToMetric) {
            return false;
        }
        OpenCalculator(app, command.arg);
        return true;
    case Command::MmsCalculator:
        OpenCalculator(app, CalcItem::kMms);
        return true;
    case Command::AddMassCalculator:
        OpenCalculator(app, CalcItem::kAddMass);
        return true;
    default:
        return false;
    }
}

void OpenCalculator(AppState& app, std::int32_t calcItemID) {
    if (calcItemID < CalcItem::kVap || calcItemID > CalcItem::kAddMass) {
        return;
    }
    if (app.flags.MainWndOpenFlag == 0 || app.calc.CalcWndOnFlag != 0) {
        return;
    }
    CalcWorkingSet& c = app.calc;
    c.CalcWndOnFlag = 1;
    SetMenuState(app, MenuState::MenuDisable); // Edit stays enabled
    if (calcItemID == CalcItem::kFeetToMetric) {
        c.tabItem = 1;
        c.FTMCancelFlag = 0;
        c.keepBtn1 = c.keepBtn2 = c.keepBtn3 = c.keepBtn4 = c.keepBtn5 = 0;
    }
    CalcParaChang(app);
    if (calcItemID == CalcItem::kVd) {
        CalcParaChangVd(app);
    } else if (calcItemID == CalcItem::kFeetToMetric) {
        FtToMetParaCang(app);
    } else if (calcItemID == CalcItem::kAddMass) {
        ClearAddMassResults(app);
    }

    c.window = CalculatorLayout(calcItemID, c.s_SP5);
    if (calcItemID == CalcItem::kSd) {
        c.s_EFDIA5 = Str255(" 0");
    }
    app.flags.EditWndNum = 2;
    SuspendSheetScrolling(app);
    CalcDisp(app);
    app.platform().openCalculatorWindow(c.window);
}

void CalculateCommand(AppState& app) {
    if (!calculatorOpen(app)) {
        return;
    }
    const bool computed = calculate(app) == CalcOutcome::Computed;
    // Feet to Metric shows the input as read and the earlier result even
    // when the conversion was refused; the others keep the window as it is.
    if (computed || app.calc.window.calcItemID == CalcItem::kFeetToMetric) {
        CalcDisp(app);
        showWindow(app);
    }
    app.calc.FTMCancelFlag = 1;
}

void CalculateWndOkReturn(AppState& app) {
    if (!calculatorOpen(app)) {
        return;
    }
    CalcWorkingSet& c = app.calc;
    if (c.window.calcItemID == CalcItem::kAddMass) {
        CloseCalculatorWindow(app); // the row describes the radiator as sold
        return;
    }
    // Feet to Metric converts only what Calc. has not converted yet.
    const bool converts =
        c.window.calcItemID != CalcItem::kFeetToMetric || !c.convertedSinceQuantityChange();
    const CalcOutcome outcome = converts ? calculate(app) : CalcOutcome::Computed;
    if (outcome == CalcOutcome::NotFinite) {
        // A result beyond the doubles only beeps; the window stays.
        return;
    }
    SetMenuState(app, MenuState::MenuEnable);
    const bool transferred = transferResults(app, outcome);
    closeSheet(app);
    if (!transferred) {
        return;
    }
    app.DirtyFlagTrue();
    PassParamAfterCalculate(app);
    app.edit.CalcOnFlag = 1;
    DrawSheet(app);
}

void CloseCalculatorWindow(AppState& app) {
    if (!calculatorOpen(app)) {
        return;
    }
    closeSheet(app);
    SetMenuState(app, MenuState::MenuEnable);
}

void SelectFeetQuantity(AppState& app, std::int32_t tabItem) {
    if (!feetToMetricOpen(app) || tabItem < 1 || tabItem > 5) {
        return;
    }
    CalcWorkingSet& c = app.calc;
    c.tabItem = tabItem;
    if (ControlView* toggle = transferToggle(app, tabItem)) {
        toggle->enabled = false;
    }
    FtToMetParaCang(app);
    CalcDisp(app);
    c.FTMCancelFlag = 0;
    showWindow(app);
}

void ToggleTransfer(AppState& app, std::int32_t control) {
    const std::int32_t tabItem = control - CalcCtl::kFirstTransfer + 1;
    if (!feetToMetricOpen(app) || tabItem < 1 || tabItem > 5) {
        return;
    }
    ControlView* toggle = transferToggle(app, tabItem);
    if (toggle == nullptr || !toggle->enabled) {
        return;
    }
    std::int32_t& mark = transferMark(app.calc, tabItem);
    mark = mark == 0 ? 1 : 0;
    toggle->checked = mark == 1;
    takeTypedTexts(app);
    showWindow(app);
}

void ChooseVdUnit(AppState& app, std::int32_t unit) {
    if (!calculatorOpen(app) || app.calc.window.calcItemID != CalcItem::kVd ||
        (unit != 1 && unit != 2)) {
        return;
    }
    app.calc.VdRadioID = unit;
    VdCalc2(app, readFields(app));
    CalcParaChangVdUnitSwitch(app);
    // The fields are refreshed whatever an earlier calculation left in
    // UncalcFlag: the Sd field must show the unit just chosen.
    CalcDisp(app);
    showWindow(app);
}

void ChooseAddMassTarget(AppState& app, std::int32_t radioID) {
    if (!calculatorOpen(app) || app.calc.window.calcItemID != CalcItem::kAddMass ||
        (radioID != 1 && radioID != 2)) {
        return;
    }
    takeTypedTexts(app);
    app.calc.AddMassRadioID = radioID;
    ClearAddMassResults(app);
    ShowAddMassTarget(app.calc.window, radioID);
    ShowAddMassResults(app.calc.window, app.calc);
    showWindow(app);
}

void CopyAddMassResults(AppState& app) {
    if (!calculatorOpen(app) || app.calc.window.calcItemID != CalcItem::kAddMass) {
        return;
    }
    AddMassRun run;
    if (AddMassCalc(app, readFields(app), run) != CalcOutcome::Computed) {
        return;
    }
    // The keyboard focus stays where the user left it.
    ShowWorkingTexts(app.calc.window, app.calc);
    showWindow(app);
    app.platform().setClipboardText(AddMassResultsText(run, app));
}

void CalculatorFieldFocused(AppState& app, std::int32_t control) {
    if (!calculatorOpen(app) || !isInputField(app, control)) {
        return;
    }
    app.calc.window.focusedField = control;
    app.editMenu.edtFldID = control;
}

void CalculatorControlHit(AppState& app, std::int32_t control, std::int32_t value) {
    switch (control) {
    case CalcCtl::kOK:
        CalculateWndOkReturn(app);
        break;
    case CalcCtl::kCancel:
        CloseCalculatorWindow(app);
        break;
    case CalcCtl::kCalc:
        CalculateCommand(app);
        break;
    case CalcCtl::kVdUnit:
        ChooseVdUnit(app, value);
        break;
    case CalcCtl::kTabs:
        SelectFeetQuantity(app, value);
        break;
    case CalcCtl::kMassMode:
        ChooseAddMassTarget(app, value);
        break;
    case CalcCtl::kCopyResults:
        CopyAddMassResults(app);
        break;
    default:
        if (control >= CalcCtl::kFirstTransfer && control < CalcCtl::kFirstTransfer + 5) {
            ToggleTransfer(app, control);
        } else {
            CalculatorFieldFocused(app, control);
        }
        break;
    }
}

bool CalculatorKeyDown(AppState& app, std::int32_t charCode, KeyModifiers modifiers) {
    if (!calculatorOpen(app)) {
        return false;
    }
    if (exactlyOption(modifiers)) {
        CalculateCommand(app);
        return true;
    }
    switch (charCode) {
    case SheetKey::kReturn:
    case SheetKey::kEnter:
        CalculateWndOkReturn(app);
        return true;
    case kEscape:
        CloseCalculatorWindow(app);
        return true;
    case kSpace:
        if (app.calc.window.calcItemID == CalcItem::kFeetToMetric) {
            SelectFeetQuantity(app, app.calc.tabItem % 5 + 1);
        }
        return true;
    default:
        return false;
    }
}

} // namespace kestrune
