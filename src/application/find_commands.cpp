#include "application/find_commands.h"

#include "model/app_state.h"
#include "sheet/find_rows.h"
#include "sheet/parameter_checks.h"
#include "sheet/sheet_input.h"

#include <string>

namespace kestrune {
namespace {

// The sheet columns of Vap and Vd.
constexpr std::int32_t kVapColumn = 5;
constexpr std::int32_t kVdColumn = 9;

void showBar(AppState& app) {
    const FindState& f = app.find;
    app.platform().updateFindBar({f.barShown, f.text, f.notice, f.focusRequest});
}

bool sheetOpen(const AppState& app) {
    return app.flags.MainWndOpenFlag != 0;
}

std::string markedRowsText(std::int32_t count) {
    return count == 1 ? "1 row is marked." : std::to_string(count) + " rows are marked.";
}

} // namespace

void OpenFindBar(AppState& app) {
    if (!sheetOpen(app)) {
        return;
    }
    app.find.barShown = true;
    app.find.notice.clear();
    ++app.find.focusRequest;
    showBar(app);
}

void FindNext(AppState& app, std::string_view text) {
    if (!sheetOpen(app)) {
        return;
    }
    FindState& f = app.find;
    f.text = std::string(text);
    if (f.text.empty()) {
        OpenFindBar(app);
        return;
    }
    f.barShown = true;
    const FoundName found = FindNextName(app.table, f.text, app.sel.cellV);
    if (found.row == 0) {
        app.platform().SysBeep();
        f.notice = "Not found";
    } else if (SelectCell(app, found.column, found.row)) {
        f.notice.clear();
    }
    showBar(app);
}

void CloseFindBar(AppState& app) {
    app.find.barShown = false;
    app.find.notice.clear();
    showBar(app);
}

void CheckParametersCommand(AppState& app) {
    if (!sheetOpen(app)) {
        return;
    }
    FindState& f = app.find;
    const std::int32_t count = CountMarkedRows(app.table);
    f.barShown = true;
    if (count == 0) {
        f.notice = "No row is marked: every Vap and Vd agrees with the values it follows from.";
        showBar(app);
        return;
    }
    const std::int32_t row = NextMarkedRow(app.table, app.sel.cellV);
    const std::int32_t column = CheckVap(app.table, row).marked ? kVapColumn : kVdColumn;
    if (SelectCell(app, column, row)) {
        f.notice = "Row " + std::to_string(row) + ": " + markedRowsText(count);
    }
    showBar(app);
}

} // namespace kestrune
