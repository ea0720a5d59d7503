#include "exchange/open_sheet.h"
#include "exchange/sheet_context_menu.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace kestrune;

namespace {

class SheetContextMenu : public test::OpenSheet {
protected:
    int menusShown() const {
        return static_cast<int>(
            std::count_if(platform.calls.begin(), platform.calls.end(),
                          [](const std::string& c) { return c.rfind("showContextMenu", 0) == 0; }));
    }
};

TEST_F(SheetContextMenu, OpensOnTheSheetBodyAndOnTheLeftOfTheEditField) {
    openSheet(5);
    SheetContextClick(app, 300, 80); // header band
    SheetContextClick(app, 250, 25); // edit field place, row mode
    SheetContextClick(app, 300, 81); // first row
    EXPECT_EQ(platform.calls.back(), "showContextMenu(300,61)");
    ASSERT_EQ(platform.contextMenu.size(), 5U);
    EXPECT_EQ(platform.contextMenu[2].title, "Past");

    select(2, 3);
    SheetContextClick(app, 208, 17);
    SheetContextClick(app, 330, 25); // right part of the edit field
    SheetContextClick(app, 100, 40); // tool area
    EXPECT_EQ(menusShown(), 2);
}

TEST_F(SheetContextMenu, ActsOnTheSelectionNotOnTheClickedRow) {
    openSheet(5);
    select(2, 0);
    platform.contextMenuAnswer = 2; // Copy, clicked on row 4
    SheetContextClick(app, 100, 80 + 16 * 3 + 5);
    EXPECT_EQ(platform.clipboard->substr(0, 9), "Maker 2  ");
    EXPECT_EQ(app.sel.cellV, 2);
    platform.contextMenuAnswer = 4; // Delete
    SheetContextClick(app, 100, 200);
    EXPECT_EQ(maker(2), "Maker 3");
    platform.contextMenuAnswer = 3; // Past
    SheetContextClick(app, 100, 200);
    EXPECT_EQ(maker(3), "Maker 2");

    // Dismissed: nothing changes.
    const int repaints = platform.repaints;
    SheetContextClick(app, 100, 120);
    EXPECT_EQ(app.table.fNum, 5);
    EXPECT_EQ(app.sel.cellV, 3);
    EXPECT_EQ(platform.repaints, repaints);
}

} // namespace
