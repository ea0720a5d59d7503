#include "exchange/clipboard_routing.h"

#include "exchange/model_text.h"
#include "exchange/own_models.h"
#include "exchange/pasted_rows.h"
#include "exchange/row_html.h"
#include "model/app_state.h"
#include "runtime/utf8_text.h"
#include "sheet/sheet_redraw.h"

namespace kestrune {

std::optional<Str255> ReadClipText(Platform& platform) {
    const std::optional<std::string> text = platform.clipboardText();
    if (!text || text->empty() ||
        CutToCharacters(*text, Str255::kMaxLength).size() < text->size()) {
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

void PutRowToClipboard(AppState& app, std::int32_t row) {
    app.platform().setClipboard({ParameterValueToText(app.table, row).str(),
                                 RowHtml(app.table, row), OwnModelsText(app.table, row, row)});
}

void ShowInEditField(AppState& app, const Str255& text) {
    app.editMenu.UndoText = app.platform().readEditField();
    app.edit.s_PASS = text;
    app.edit.CalcOnFlag = 1;
}

bool PasteToEditFieldFromClipboard(AppState& app, PastePlace place) {
    if (app.flags.EditWndNum != 2 && app.sel.cellH == 0) {
        // Models a copy of this program offered come back to the digit.
        const std::optional<std::string> own = app.platform().clipboardModels();
        std::optional<std::vector<PasteBuffer>> ownModels =
            own ? ReadOwnModels(*own) : std::nullopt;
        PastedRows rows;
        if (ownModels) {
            rows.models = std::move(*ownModels);
        } else {
            const std::optional<std::string> text = app.platform().clipboardText();
            rows = ReadPastedRows(text.value_or(std::string()));
        }
        if (rows.models.empty()) {
            // The tool area says why while the row stays selected.
            app.notice = {rows.refusal, app.sel.cellV};
            if (app.flags.MainWndOpenFlag != 0) {
                app.platform().updateToolArea(BuildToolArea(app));
            }
            app.platform().SysBeep();
            return false;
        }
        app.notice = {}; // rows move: a word about one of them no longer fits
        PasteOnSheet(app, rows.models, place);
        return true;
    }
    const std::optional<Str255> clip = ReadClipText(app.platform());
    if (clip && app.flags.EditWndNum == 2) {
        app.platform().setCalculatorFieldText(app.editMenu.edtFldID, *clip);
        return true;
    }
    if (clip && CutToCharacters(clip->view(), kMaxCellPasteLength - 1).size() == clip->length()) {
        ShowInEditField(app, *clip);
        return true;
    }
    app.platform().SysBeep();
    return false;
}

} // namespace kestrune
