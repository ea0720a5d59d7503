#include "application/sort_command.h"

#include "calculators/formulas.h"
#include "model/app_state.h"
#include "sheet/sorting.h"

namespace kestrune {

namespace {

// Sets the key or the direction and sorts; false for any other item.
bool sortBy(AppState& app, int item) {
    SortState& s = app.sort;
    if (item == kSortByNumber) {
        s.sortItmID = kSortByNumber;
        AscendSort(app.table, kSortByNumber);
    } else if (item > kSortByNumber && item <= kLastSortKey) {
        s.sortItmID = item;
        SelectSort(app);
    } else if (item == kSortAscendingItem || item == kSortDescendingItem) {
        s.sendItmID = item == kSortAscendingItem ? 1 : 2;
        SelectSort(app);
    } else {
        return false;
    }
    return true;
}

} // namespace

bool SortMenuCommand(AppState& app, int item) {
    const SortState before = app.sort;
    try {
        if (!sortBy(app, item)) {
            return false;
        }
    } catch (...) {
        app.sort = before; // the table is as it was too
        throw;
    }
    if (app.table.fNum >= 1) {
        app.sel.cellV = 1;
    }
    app.sheet.RevealSelection = 1;
    CalcParaChangBeforeSort(app);
    PassParamAfterCalculate(app);
    app.edit.CalcOnFlag = 1;
    app.DirtyFlagTrue();
    return true;
}

} // namespace kestrune
