#include "exchange/cut_paste.h"

#include "model/app_state.h"

#include <algorithm>

namespace kestrune {

void CutAnyModelParameterArray(AppState& app, std::int32_t first, std::int32_t last) {
    app.RemoveRows(first, last);
}

void CutPastedModels(AppState& app, std::int32_t count) {
    ModelTable& table = app.table;
    const std::int32_t first = app.sel.cellV - count + 1;
    if (table.fNum <= count) {
        // The last rows go the way of any cut, which leaves an "n/a" row.
        CutAnyModelParameterArray(app, first, app.sel.cellV);
        return;
    }
    for (std::int32_t r = first; r + count <= table.fNum; ++r) {
        table.copyRow(r + count, r);
    }
    for (std::int32_t r = table.fNum - count + 1; r <= table.fNum; ++r) {
        table.emptyRow(r, true);
    }
    table.fNum -= count;
    app.sel.cellV = std::min(first, table.fNum);
}

std::int32_t PasteOnSheet(AppState& app, std::span<const PasteBuffer> models, PastePlace place) {
    ModelTable& table = app.table;
    const std::int32_t selected = app.sel.cellV;
    // Into an empty sheet the models become rows 1 on.
    const std::int32_t above =
        std::clamp(place == PastePlace::BelowSelection ? selected : selected - 1, 0, table.fNum);
    const auto count = static_cast<std::int32_t>(models.size());
    table.ensureRows(table.fNum + count + 1);
    for (std::int32_t r = table.fNum; r > above; --r) {
        table.copyRow(r, r + count);
    }
    table.fNum += count;
    table.emptyRow(table.fNum + 1, true);
    for (std::int32_t i = 0; i < count; ++i) {
        const std::int32_t row = above + 1 + i;
        StoreModel(table, row, models[static_cast<std::size_t>(i)]);
        table.Number[row] = selected + 1 + i;
    }
    app.sel.cellV = above + count;
    return above + 1;
}

} // namespace kestrune
