#include "application/sort_command.h"

#include "application/long_work.h"
#include "calculators/formulas.h"
#include "model/app_state.h"
#include "sheet/sorting.h"

namespace kestrune {

namespace {

bool isSortCommand(MenuCommand command) {
    const std::int32_t key = command.arg;
    return (command.command == Command::SortKey && key >= kSortByNumber && key <= kLastSortKey) ||
           command.command == Command::SortAscending || command.command == Command::SortDescending;
}

// Sets the key or the direction and sorts.
void sortBy(AppState& app, MenuCommand command, WorkProgress& progress) {
    SortState& s = app.sort;
    const std::int32_t key = command.arg;
    if (command.command == Command::SortKey && key == kSortByNumber) {
        s.sortItmID = kSortByNumber;
        AscendSort(app.table, kSortByNumber, &progress);
        return;
    }
    if (command.command == Command::SortKey) {
        s.sortItmID = key;
    } else {
        s.sendItmID = command.command == Command::SortAscending ? 1 : 2;
    }
    SelectSort(app, &progress);
}

} // namespace

bool SortMenuCommand(AppState& app, MenuCommand command) {
    if (!isSortCommand(command)) {
        return false;
    }
    const SortState before = app.sort;
    try {
        RunLongWork(app, SortingView(),
                    [&](WorkProgress& progress) { sortBy(app, command, progress); });
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
