#pragma once
// A data sheet open in the main window: rows "Maker r" / "PR-r", Number r.

#include "model/app_state.h"
#include "sheet/sheet_redraw.h"
#include "support/fake_platform.h"

#include <gtest/gtest.h>

#include <string>

namespace kestrune::test {

class OpenSheet : public ::testing::Test {
protected:
    void openSheet(std::int32_t rows) {
        app.table.fNum = rows;
        app.table.ensureRows(rows + 1);
        for (std::int32_t r = 1; r <= rows; ++r) {
            app.table.Number[r] = r;
            app.table.Manufacturer.set(r, "Maker " + std::to_string(r));
            app.table.ModelName.set(r, "PR-" + std::to_string(r));
            for (Param p : kAllParams) {
                app.table.setValue(p, r, 100.5 + r);
            }
        }
        app.flags.MainWndOpenFlag = 1;
        app.menus.InitMenu2(app.sort);
        app.snap.prefNum = rows;
        select(1, 0);
    }
    void select(std::int32_t row, std::int32_t column) {
        app.sel.cellV = row;
        app.sel.cellH = column;
        DrawSheet(app);
    }
    std::string maker(std::int32_t row) const {
        return std::string(app.table.Manufacturer.get(row));
    }
    const MenuItem& undoItem() const { return *app.menus.findItem(MenuNum::kEdit, 1); }

    FakePlatform platform;
    AppState app{platform};
};

} // namespace kestrune::test
