// The Edit menu while a calculator is open: it works on the calculator field
// that has the keyboard focus.

#include "exchange/clipboard_routing.h"
#include "exchange/edit_menu.h"
#include "model/app_state.h"

namespace kestrune {
namespace {

constexpr std::int32_t kCalculatorWindow = 2;

void recordField(AppState& app, std::int32_t field) {
    UndoRecord& record = app.editMenu.undo;
    record = UndoRecord{};
    record.window = kCalculatorWindow;
    record.field = field;
}

// Giving a field its text again selects all of it, as moving the focus away
// and back does.
void refocus(AppState& app, std::int32_t field) {
    Platform& platform = app.platform();
    platform.setCalculatorFieldText(field, platform.readCalculatorField(field));
}

void cutOrDelete(AppState& app, Command command) {
    EditMenuState& em = app.editMenu;
    const std::int32_t field = em.edtFldID;
    // Delete leaves the Undo item as it is.
    if (command == Command::Cut) {
        app.menus.setUndo(UndoKind::Cut);
    }
    em.undoItemID = command;
    recordField(app, field);
    em.UndoText = app.platform().readCalculatorField(field);
    PutTextToClipboard(app, em.UndoText);
    em.undo.clip = em.UndoText.str();
    app.platform().setCalculatorFieldText(field, Str255());
}

void paste(AppState& app) {
    EditMenuState& em = app.editMenu;
    const std::int32_t field = em.edtFldID;
    const Str255 before = app.platform().readCalculatorField(field);
    if (!PasteToEditFieldFromClipboard(app)) {
        return;
    }
    app.menus.setUndo(UndoKind::Paste);
    em.undoItemID = Command::Paste;
    em.UndoText = before;
    recordField(app, field);
}

// Undo acts on the field where the Cut or Paste happened, even when the
// focus has moved on since.
void undo(AppState& app) {
    EditMenuState& em = app.editMenu;
    const UndoRecord& record = em.undo;
    if (!UndoAvailable(app)) {
        return;
    }
    if (record.window != kCalculatorWindow) {
        app.platform().SysBeep();
        return;
    }
    if (em.undoItemID == Command::Cut) {
        const std::optional<std::string> clip = app.platform().clipboardText();
        const std::optional<Str255> text = clip && *clip == record.clip
                                               ? std::optional<Str255>(Str255(*clip))
                                               : ReadClipText(app.platform());
        if (!text) {
            app.platform().SysBeep();
            return;
        }
        app.platform().setCalculatorFieldText(record.field, *text);
    } else if (em.undoItemID == Command::Paste) {
        app.platform().setCalculatorFieldText(record.field, em.UndoText);
    } else {
        refocus(app, record.field);
    }
    app.menus.setUndo(UndoKind::None);
}

} // namespace

void EditMenuForCalcWnd(AppState& app, Command command) {
    switch (command) {
    case Command::Undo:
        undo(app);
        break;
    case Command::Cut:
    case Command::Delete:
        cutOrDelete(app, command);
        break;
    case Command::Copy:
        PutTextToClipboard(app, app.platform().readCalculatorField(app.editMenu.edtFldID));
        break;
    case Command::Paste:
        paste(app);
        break;
    case Command::SelectAll:
        refocus(app, app.editMenu.edtFldID);
        break;
    default:
        return;
    }
    app.platform().updateMenus(app.menus.menus());
}

} // namespace kestrune
