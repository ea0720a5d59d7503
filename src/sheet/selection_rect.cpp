#include "sheet/selection_rect.h"

#include "model/app_state.h"
#include "sheet/cell_text.h"

namespace kestrune {

void ComputeSelectionRect(AppState& app) {
    const ColumnExtent extent = SelectionColumnExtent(app.sel.cellH);
    app.sheet.selX0 = extent.x0;
    app.sheet.selX1 = extent.x1;
    app.sheet.selY0 = kRowHeight * (app.sel.cellV - app.sel.ScrollValue) + kRowHeight;
    app.sheet.selY1 = app.sheet.selY0 + kRowHeight;
}

} // namespace kestrune
