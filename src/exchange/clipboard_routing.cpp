#include "exchange/clipboard_routing.h"

#include "exchange/model_text.h"
#include "model/app_state.h"

namespace kestrune {

std::optional<Str255> ReadClipText(Platform& platform) {
    const std::optional<std::string> text = platform.clipboardText();
    if (!text || text->empty() || text->size() > Str255::kMaxLength) {
        return std::nullopt;
    }
    return Str255(*text);
}

Str255 SelectionText(AppState& app, std::int32_t row) {
    if (app.flags.EditWndNum == 2) {
        return app.platform().readCalculatorField(app.editMenu.edtFldID);
    }
    if (app.sel.cellH != 0) {
        return app.platform().readEditField();
    }
    return ParameterValueToText(app.table, row);
}

void PutTextToClipboard(AppState& app, const Str255& text) {
    app.platform().setClipboardText(text.str());
}

void ShowInEditField(AppState& app, const Str255& text) {
    app.editMenu.UndoText = app.platform().readEditField();
    app.edit.s_PASS = text;
    app.edit.CalcOnFlag = 1;
}

bool PasteToEditFieldFromClipboard(AppState& app, PastePlace place) {
    const std::optional<Str255> clip = ReadClipText(app.platform());
    const std::int32_t length = clip ? clip->length() : 0;
    if (clip && app.flags.EditWndNum == 2) {
        app.platform().setCalculatorFieldText(app.editMenu.edtFldID, *clip);
        return true;
    }
    if (clip && app.sel.cellH == 0 && length >= kMinModelTextLength) {
        PasteOnSheet(app, TextToParameterValue(*clip), place);
        return true;
    }
    if (clip && app.sel.cellH != 0 && length < kMaxCellPasteLength) {
        ShowInEditField(app, *clip);
        return true;
    }
    app.platform().SysBeep();
    return false;
}

} // namespace kestrune
