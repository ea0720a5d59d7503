#include "application/sort_command.h"

#include "calculators/formulas.h"
#include "model/app_state.h"
#include "sheet/sorting.h"

namespace kestrune {

namespace {

// Sets the key or the direction and sorts; false for any other command.
bool sortBy(AppState& app, MenuCommand command) {
    SortState& s = app.sort;
    const std::int32_t key = command.arg;
    if (command.command == Command::SortKey && key == kSortByNumber) {
        s.sortItmID = kSortByNumber;
        AscendSort(app.table, kSortByNumber);
    } else if (command.command == Command::SortKey && key > kSortByNumber && key <= kLastSortKey) {
        s.sortItmID = key;
        SelectSort(app);
    } else if (command.command == Command::SortAscending ||
               command.command == Command::SortDescending) {
        s.sendItmID = command.command == Command::SortAscending ? 1 : 2;
        SelectSort(app);
    } else {
        return false;
    }
    return true;
}

} // namespace

bool SortMenuCommand(AppState& app, MenuCommand command) {
    const SortState before = app.sort;
    try {
        if (!sortBy(app, command)) {
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
