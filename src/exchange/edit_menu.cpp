#include "exchange/edit_menu.h"

#include "exchange/clipboard_routing.h"
#include "exchange/cut_paste.h"
#include "exchange/model_text.h"
#include "model/app_state.h"
#include "sheet/sheet_redraw.h"

#include <span>
#include <vector>

namespace kestrune {
namespace {

constexpr std::int32_t kMainWindow = 1;
constexpr std::int32_t kCalculatorWindow = 2;

bool rowMode(const AppState& app) {
    return app.sel.cellH == 0;
}

void recordPlace(AppState& app) {
    UndoRecord& record = app.editMenu.undo;
    record = UndoRecord{};
    record.window = kMainWindow;
    record.cellH = app.sel.cellH;
    record.cellV = app.sel.cellV;
}

bool clipboardStillHolds(AppState& app, const std::string& text) {
    const std::optional<std::string> clip = app.platform().clipboardText();
    return clip && *clip == text;
}

bool refuse(AppState& app) {
    app.platform().SysBeep();
    return false;
}

// What Copy, Cut and Delete put on the clipboard: a row also as a table.
Str255 copySelection(AppState& app) {
    const Str255 text = SelectionText(app, app.sel.cellV);
    if (rowMode(app)) {
        PutRowToClipboard(app, app.sel.cellV);
    } else {
        PutTextToClipboard(app, text);
    }
    return text;
}

// Cut and Delete differ only in the Undo title they leave. Both put what
// they remove on the clipboard.
void cutOrDelete(AppState& app, Command command) {
    EditMenuState& em = app.editMenu;
    app.menus.setUndo(command == Command::Cut ? UndoKind::Cut : UndoKind::Delete);
    em.undoItemID = command;
    em.itemIDPass = command;
    recordPlace(app);
    const std::int32_t row = app.sel.cellV;
    em.undo.clip = copySelection(app).str();
    if (!rowMode(app)) {
        // The redraw stores the emptied field into the cell.
        app.platform().setEditFieldText(Str255());
    } else {
        em.undo.model = ModelOfRow(app.table, row);
        em.undo.number = app.table.Number.get(row);
        CutAnyModelParameterArray(app, row, row);
        SetInstallScrollButton(app);
    }
    DrawSheet(app);
}

void paste(AppState& app) {
    EditMenuState& em = app.editMenu;
    em.itemIDPass = Command::Paste;
    const std::int32_t rowsBefore = app.table.fNum;
    const std::int8_t dirtyBefore = app.doc.DirtyFlag;
    if (!PasteToEditFieldFromClipboard(app, PastePlace::BelowSelection)) {
        return;
    }
    app.menus.setUndo(UndoKind::Paste);
    em.undoItemID = Command::Paste;
    recordPlace(app);
    em.undo.rowsBefore = rowsBefore;
    em.undo.dirtyBefore = dirtyBefore;
    if (rowMode(app)) {
        const std::int32_t count = app.table.fNum - rowsBefore;
        em.undo.pasted.reserve(static_cast<std::size_t>(count));
        for (std::int32_t row = app.sel.cellV - count + 1; row <= app.sel.cellV; ++row) {
            em.undo.pasted.push_back(ModelOfRow(app.table, row));
        }
        app.DirtyFlagTrue();
    }
    SetInstallScrollButton(app);
    DrawSheet(app);
}

// While the clipboard still holds what the Cut put there, the Undo brings
// back exactly what was cut: the row with its unrounded values and its
// Number, or a cell text of any length. Otherwise it pastes what the
// clipboard holds now, as a Paste would.
bool undoCut(AppState& app) {
    const UndoRecord& record = app.editMenu.undo;
    const bool unchanged = clipboardStillHolds(app, record.clip);
    if (rowMode(app)) {
        if (!unchanged) {
            return PasteToEditFieldFromClipboard(app, PastePlace::AtSelection);
        }
        const std::int32_t row =
            PasteOnSheet(app, std::span(&record.model, 1), PastePlace::AtSelection);
        app.table.Number[row] = record.number;
        return true;
    }
    if (!unchanged) {
        return PasteToEditFieldFromClipboard(app);
    }
    ShowInEditField(app, Str255(record.clip));
    return true;
}

// Whether the selected row and the rows above it still hold the pasted
// models, the last of them selected.
bool pastedRowsInPlace(const AppState& app, const std::vector<PasteBuffer>& pasted) {
    const auto count = static_cast<std::int32_t>(pasted.size());
    const std::int32_t first = app.sel.cellV - count + 1;
    if (count == 0 || first < 1) {
        return false;
    }
    for (std::int32_t i = 0; i < count; ++i) {
        if (!RowHoldsModel(app.table, first + i, pasted[static_cast<std::size_t>(i)])) {
            return false;
        }
    }
    return true;
}

// A paste is taken back only where it happened: the pasted rows while the
// last of them is selected and all are unchanged in place, the pasted cell
// while it is selected.
bool undoPaste(AppState& app) {
    if (rowMode(app)) {
        const UndoRecord& record = app.editMenu.undo;
        const auto count = static_cast<std::int32_t>(record.pasted.size());
        if (!pastedRowsInPlace(app, record.pasted)) {
            return refuse(app);
        }
        if (record.rowsBefore == 0 && app.table.fNum == count) {
            // The sheet was empty: it is again, as it was.
            for (std::int32_t row = 1; row <= count; ++row) {
                app.table.emptyRow(row, true);
            }
            app.table.fNum = 0;
            app.sel.cellV = 1;
            app.TakeSnapshot();
            if (record.dirtyBefore == 0) {
                app.doc.DirtyFlag = 0;
                app.platform().setWindowModified(false);
            }
            return true;
        }
        CutPastedModels(app, count);
        return true;
    }
    app.edit.s_PASS = app.editMenu.UndoText;
    app.edit.CalcOnFlag = 1;
    return true;
}

void undo(AppState& app) {
    EditMenuState& em = app.editMenu;
    if (!UndoAvailable(app)) {
        return;
    }
    const UndoRecord& record = em.undo;
    const bool sameMode = rowMode(app) == (record.cellH == 0);
    const bool sameCell =
        rowMode(app) || (record.cellH == app.sel.cellH && record.cellV == app.sel.cellV);
    if (record.window != kMainWindow || !sameMode || !sameCell) {
        refuse(app);
        return;
    }
    em.itemIDPass = Command::Undo;
    const bool cellPaste = em.undoItemID == Command::Paste && !rowMode(app);
    const bool done = em.undoItemID == Command::Paste ? undoPaste(app) : undoCut(app);
    if (!done) {
        return;
    }
    app.menus.setUndo(UndoKind::None);
    if (!cellPaste) {
        SetInstallScrollButton(app);
    }
    DrawSheet(app);
}

} // namespace

bool UndoAvailable(const AppState& app) {
    const MenuItem* item = app.menus.findItem(MenuCommand{Command::Undo});
    return item != nullptr && item->enabled;
}

void EditMenuCommand(AppState& app, Command command) {
    if (app.flags.EditWndNum == kCalculatorWindow) {
        EditMenuForCalcWnd(app, command);
    } else if (app.flags.MainWndOpenFlag != 0) {
        EditMenuForMainWnd(app, command);
    }
}

void EditMenuForMainWnd(AppState& app, Command command) {
    switch (command) {
    case Command::Undo:
        undo(app);
        break;
    case Command::Cut:
    case Command::Delete:
        cutOrDelete(app, command);
        break;
    case Command::Copy:
        copySelection(app);
        break;
    case Command::Paste:
        paste(app);
        break;
    case Command::SelectAll:
        DrawSheet(app);
        break;
    default: // Redo, and anything else, does nothing
        break;
    }
}

} // namespace kestrune
