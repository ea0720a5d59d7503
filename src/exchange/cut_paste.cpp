#include "exchange/cut_paste.h"

#include "model/app_state.h"

#include <algorithm>

namespace kestrune {

void CutAnyModelParameterArray(AppState& app, std::int32_t first, std::int32_t last) {
    app.RemoveRows(first, last);
}

void CutOneModel(AppState& app) {
    if (app.table.fNum <= 1) {
        // The last row goes the way of any cut, which leaves an "n/a" row.
        CutAnyModelParameterArray(app, app.sel.cellV, app.sel.cellV);
        return;
    }
    app.RemoveSelectedRow();
}

std::int32_t PasteOnSheet(AppState& app, const PasteBuffer& model, PastePlace place) {
    const std::int32_t selected = app.sel.cellV;
    const std::int32_t above = place == PastePlace::BelowSelection ? selected : selected - 1;
    // Into an empty sheet the model becomes row 1.
    const std::int32_t row = app.InsertRowAfter(std::clamp(above, 0, app.table.fNum));
    StoreModel(app.table, row, model);
    app.table.Number[row] = selected + 1;
    app.sel.cellV = row;
    return row;
}

} // namespace kestrune
