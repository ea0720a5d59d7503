#include "sheet/sheet_redraw.h"

#include "model/app_state.h"
#include "model/kept_number.h"
#include "runtime/number_field.h"
#include "runtime/number_text.h"
#include "sheet/cell_text.h"
#include "sheet/parameter_checks.h"
#include "sheet/selection_rect.h"

#include <algorithm>
#include <optional>

namespace kestrune {
namespace {

// The sheet column of Dia; Fp to Mms follow.
constexpr std::int32_t kFirstParamCell = 3;

bool isNumericColumn(std::int32_t cellH) {
    return cellH >= 3 && cellH <= 10;
}

Param paramOfColumn(std::int32_t cellH) {
    return static_cast<Param>(cellH - 3);
}

void scrollForKeys(AppState& app) {
    Selection& sel = app.sel;
    SheetState& sh = app.sheet;
    if (sh.Key == SheetKey::kUp) {
        if (sel.cellV <= sh.PreDownScrollValue) {
            sel.ScrollValue = std::max(sel.ScrollValue - 1, 0);
            if (sh.ExistScrollFlag != 0) {
                sh.scrollBarValue = sel.ScrollValue;
            }
        }
        sh.PreDownScrollValue = sel.ScrollValue;
    } else if (sh.Key == SheetKey::kDown) {
        if (sel.cellV > sh.dispNum + sel.ScrollValue) {
            sel.ScrollValue += 1;
            if (sh.ExistScrollFlag != 0 && sel.ScrollValue >= 1) {
                sh.scrollBarValue = std::min(sel.ScrollValue, sh.ScrollNum);
            }
        }
        sel.ScrollValue = std::min(sel.ScrollValue, sh.ScrollNum);
        sh.PreDownScrollValue = sel.ScrollValue;
    }
}

// True when a numeric cell's field holds text the user typed that is not a
// number. A field left as it was given is never refused, whatever it shows.
bool typedTextRefused(const AppState& app, std::int32_t row, std::int32_t column,
                      const Str255& text) {
    if (!isNumericColumn(column) || row < 1 || row > app.table.fNum) {
        return false;
    }
    return text != ShownEditText(app, row, column) &&
           !ReadNumberField(text.view(), DecimalMarks::PointOrComma);
}

enum class Commit { Unchanged, Stored, NotANumber };

std::string_view trimmedLeft(std::string_view text) {
    while (!text.empty() && text.front() == ' ') {
        text.remove_prefix(1);
    }
    return text;
}

// A selection that moved to another row, or one a command asks to show (a
// sort), brings its row into view; scrolling alone never moves it back.
void revealSelection(AppState& app) {
    Selection& sel = app.sel;
    SheetState& sh = app.sheet;
    const bool moved = sel.cellVscroll != app.snap.preCellV;
    const bool asked = sh.RevealSelection != 0;
    sh.RevealSelection = 0;
    if (!moved && !asked) {
        return;
    }
    const std::int32_t lines = std::max(sh.dispNum, 1);
    std::int32_t value = sel.ScrollValue;
    if (sel.cellV <= value) {
        value = sel.cellV - 1;
    } else if (sel.cellV > value + lines) {
        value = sel.cellV - lines;
    }
    value = std::clamp(value, 0, std::max(sh.ScrollNum, 0));
    if (value == sel.ScrollValue) {
        return;
    }
    sel.ScrollValue = value;
    sh.PreDownScrollValue = value;
    if (sh.ExistScrollFlag != 0) {
        sh.scrollBarValue = value;
    }
}

// Stores the edit field's text into the cell it was showing, when the user
// changed it: a field left as it was given changes nothing, so visiting a
// cell never rounds its value. Text in a numeric cell that is not one
// finite number is not stored; an empty field is 0.
Commit commitEditField(AppState& app) {
    const std::int32_t row = app.snap.preCellV;
    const std::int32_t column = app.snap.preCellH;
    if (column == 0 || row < 1 || row > app.table.fNum) {
        return Commit::Unchanged;
    }
    const Str255& text = app.sheet.s_edit1;
    if (text == ShownEditText(app, row, column)) {
        return Commit::Unchanged;
    }
    if (column == 1) {
        app.table.Manufacturer.set(row, text.view());
    } else if (column == 2) {
        app.table.ModelName.set(row, text.view());
    } else if (isNumericColumn(column)) {
        const std::optional<double> value =
            ReadNumberField(text.view(), DecimalMarks::PointOrComma);
        if (!value) {
            return Commit::NotANumber;
        }
        app.table.setGivenValue(paramOfColumn(column), row, *value);
    }
    return Commit::Stored;
}

} // namespace

Str255 CellText(const AppState& app, std::int32_t row, std::int32_t cellH) {
    if (cellH == 1) {
        return Str255(app.table.Manufacturer.get(row));
    }
    if (cellH == 2) {
        return Str255(app.table.ModelName.get(row));
    }
    if (isNumericColumn(cellH)) {
        return Str255(PSstr(app.table.value(paramOfColumn(cellH), row)));
    }
    return {};
}

Str255 ShownEditText(const AppState& app, std::int32_t row, std::int32_t cellH) {
    if (isNumericColumn(cellH)) {
        return Str255(KeptNumberText(app.table, paramOfColumn(cellH), row));
    }
    return CellText(app, row, cellH);
}

bool CommitEditFieldNow(AppState& app) {
    if (app.flags.MainWndOpenFlag == 0 || app.snap.preCellH == 0 || app.edit.CalcOnFlag != 0) {
        return true;
    }
    app.sheet.s_edit1 = app.platform().readEditField();
    const bool kept = commitEditField(app) != Commit::NotANumber;
    if (!kept) {
        // The command goes on with the cell as it was; the field shows it again.
        const std::int32_t row = app.snap.preCellV;
        const std::int32_t column = app.snap.preCellH;
        app.platform().SysBeep();
        app.sheet.editFieldText = ShownEditText(app, row, column);
        app.platform().setEditFieldText(app.sheet.editFieldText);
        app.notice = {};
        app.platform().showNote("A typed text was not kept.",
                                NotANumberText(app.sheet.s_edit1.view()) + ": the " +
                                    std::string(HeaderOfColumn(column)->label) + " of row " +
                                    std::to_string(row) + " keeps " +
                                    std::string(trimmedLeft(app.sheet.editFieldText.view())) + ".");
    }
    app.DetectSnapshotChanges();
    app.TakeSnapshot();
    return kept;
}

std::string NotANumberText(std::string_view typed) {
    return "\u201C" + std::string(typed) + "\u201D is not a number";
}

bool EditFieldBlocksMove(AppState& app) {
    const std::int32_t row = app.snap.preCellV;
    const std::int32_t column = app.snap.preCellH;
    const Str255 typed = app.platform().readEditField();
    if (app.edit.CalcOnFlag != 0 || !isNumericColumn(column) ||
        !typedTextRefused(app, row, column, typed)) {
        return false;
    }
    app.platform().SysBeep();
    app.notice = {NotANumberText(typed.view()), row, column};
    app.sheet.editFieldText = typed; // the field keeps what was typed
    app.platform().updateToolArea(BuildToolArea(app));
    app.platform().selectEditFieldText();
    return true;
}

bool RevertEditField(AppState& app) {
    const std::int32_t row = app.snap.preCellV;
    const std::int32_t column = app.snap.preCellH;
    if (app.flags.MainWndOpenFlag == 0 || column == 0 || row < 1 || row > app.table.fNum ||
        app.edit.CalcOnFlag != 0) {
        return false;
    }
    const Str255 stored = ShownEditText(app, row, column);
    if (app.platform().readEditField() == stored) {
        return false;
    }
    app.sheet.editFieldText = stored;
    app.platform().setEditFieldText(stored);
    app.notice = {};
    app.platform().updateToolArea(BuildToolArea(app));
    return true;
}

void SetInstallScrollButton(AppState& app) {
    SheetState& sh = app.sheet;
    sh.wndHeight = app.platform().contentHeight();
    sh.dispNum = (sh.wndHeight - kSheetHeaderBottom) / kRowHeight;
    sh.ScrollNum = std::max(app.table.fNum - sh.dispNum, 0);
    sh.scrollBarValue = 0;
    sh.ExistScrollFlag = sh.ScrollNum >= 1 ? 1 : 0;
    app.platform().updateScrollBar(BuildScrollBar(app));
}

ScrollBarView BuildScrollBar(const AppState& app) {
    const SheetState& sh = app.sheet;
    ScrollBarView view;
    view.exists = sh.ScrollNum >= 1;
    view.maximum = sh.ScrollNum;
    view.value = std::clamp(sh.scrollBarValue, 0, std::max(sh.ScrollNum, 0));
    view.pageStep = sh.dispNum;
    view.bottom = sh.wndHeight - 15;
    return view;
}

ToolAreaView BuildToolArea(const AppState& app) {
    const Selection& sel = app.sel;
    const bool rowMode = sel.cellH == 0;
    ToolAreaView view;
    view.editFieldShown = !rowMode;
    view.editText = app.sheet.editFieldText;
    view.editHelp = "Move the Cursor : Control + F/B";
    if (sel.cellH >= kFirstParamCell) {
        const auto p = static_cast<Param>(sel.cellH - kFirstParamCell);
        const std::optional<ParameterCheck> check = CheckParameter(app.table, sel.cellV, p);
        if (check && check->marked) {
            view.editHelp = ComputedValueText(app.table, sel.cellV, p);
        }
    }
    view.modelNameShown = rowMode;
    view.modelName = Str255(app.table.ModelName.get(sel.cellV));
    if (sel.cellV == app.notice.row && sel.cellH == app.notice.column) {
        view.notice = app.notice.text;
    }
    view.rowCounter = std::to_string(sel.cellV) + "/" + std::to_string(app.table.fNum);
    view.columnLabel = ColumnLabel(sel.cellH);
    view.columnHelp = ColumnHelp(sel.cellH);
    view.sendTitle = SendButtonTitle(app.prefs.TransMethodCheck);
    view.sendHelp = SendButtonHelp(app.prefs.TransMethodCheck, rowMode);
    view.sendDefault = rowMode;
    view.sendEnabled = !(app.link.TarnBusyFlag != 0 ||
                         (app.prefs.TransMethodCheck == 1 && app.link.TarnLaunchFlag == 0));
    view.addNewModelEnabled = true;
    view.moveUpEnabled = rowMode && sel.cellVscroll != 1;
    view.moveDownEnabled = rowMode && sel.cellVscroll != app.table.fNum;
    view.sortMenuEnabled = true;
    view.calcMenuEnabled = true;
    return view;
}

void DrawSheet(AppState& app) {
    Selection& sel = app.sel;
    SheetState& sh = app.sheet;
    RowSnapshot& snap = app.snap;

    sel.cellVshift = sel.cellV;
    if (sh.MouseClickOnSheet != 0) {
        sel.cellV = std::min(sel.cellV + sel.ScrollValue, app.table.fNum);
        sel.cellVshift = sel.cellV;
        sh.PreDownScrollValue = sel.ScrollValue;
    }
    sel.cellVscroll = sel.cellV;
    if (app.flags.AddNewModel != 0) {
        sel.ScrollValue = sh.ScrollNum;
        sh.scrollBarValue = sh.ScrollNum;
    }
    scrollForKeys(app);
    revealSelection(app);
    ComputeSelectionRect(app);

    // The field's text as the user left it; it existed only in cell mode.
    sh.s_edit1 = snap.preCellH != 0 ? app.platform().readEditField() : Str255();
    if (sel.cellH != 0) {
        if (app.edit.CalcOnFlag != 0) {
            sh.editFieldText = app.edit.s_PASS;
        } else if (sel.cellVscroll == snap.preCellV && sel.cellH == snap.preCellH) {
            sh.editFieldText = sh.s_edit1; // typing survives redraws
        } else if (app.flags.NewFileFlag != 0) {
            sh.editFieldText = Str255("n/a");
        } else {
            sh.editFieldText = ShownEditText(app, sel.cellVscroll, sel.cellH);
        }
    }
    if (app.edit.CalcOnFlag == 0 && commitEditField(app) == Commit::NotANumber &&
        !(sel.cellVscroll == snap.preCellV && sel.cellH == snap.preCellH)) {
        // The selection left a cell whose text is not a number by a way that
        // did not ask EditFieldBlocksMove first: the text is dropped.
        app.platform().SysBeep();
    }
    app.DetectSnapshotChanges();
    app.TakeSnapshot();

    // Drawing a sheet makes the Sort and Calculate menus usable again.
    app.menus.enableSheetMenus();
    app.platform().updateMenus(app.menus.menus());
    // A word about a cell's typed text goes once the selection leaves the
    // cell (its text was stored or given up); one about a row stays with it.
    if (app.notice.column != 0 &&
        (app.notice.row != sel.cellV || app.notice.column != sel.cellH)) {
        app.notice = {};
    }
    app.platform().updateToolArea(BuildToolArea(app));
    app.platform().updateScrollBar(BuildScrollBar(app));
    app.platform().repaintSheet();

    snap.preCellH = sel.cellH;
    snap.preCellV = sel.cellVscroll;
    sh.Key = 0;
    sh.MouseClickOnSheet = 0;
    app.flags.AddNewModel = 0;
    app.flags.NewFileFlag = 0;
    app.edit.CalcOnFlag = 0;
}

} // namespace kestrune
