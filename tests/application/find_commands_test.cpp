// Find and Check Parameters on an open sheet: what they select, what the
// bar says, and that the selection does not move when nothing is found.

#include "application/find_commands.h"

#include "../exchange/open_sheet.h"

#include <vector>

using namespace kestrune;

namespace {

class FindCommands : public test::OpenSheet {};

TEST_F(FindCommands, FindNextWalksTheMatchesAndSaysWhenThereIsNone) {
    openSheet(40); // "Maker r" / "PR-r"
    select(5, 3);
    struct Step {
        const char* text;
        std::int32_t row;
        std::int32_t column;
        const char* notice;
        int beeps;
    };
    const Step steps[] = {
        {"pr-1", 10, 2, "", 0},          // after row 5: PR-10 is next
        {"pr-1", 11, 2, "", 0},          //
        {"maker 4", 40, 1, "", 0},       // "Maker 4" is row 4, before; "Maker 40" after
        {"MAKER 4", 4, 1, "", 0},        // wraps past the last row
        {"PR-99", 4, 1, "Not found", 1}, // the selection stays
    };
    int beeps = platform.beeps;
    for (const Step& s : steps) {
        FindNext(app, s.text);
        EXPECT_EQ(app.sel.cellV, s.row) << s.text;
        EXPECT_EQ(app.sel.cellH, s.column) << s.text;
        EXPECT_EQ(platform.findBar.notice, s.notice) << s.text;
        EXPECT_TRUE(platform.findBar.shown);
        EXPECT_EQ(platform.beeps - beeps, s.beeps) << s.text;
        beeps = platform.beeps;
    }
    // The found name is what the edit field shows.
    EXPECT_EQ(app.sheet.editFieldText.view(), "Maker 4");

    const std::uint32_t focus = platform.findBar.focusRequest;
    OpenFindBar(app);
    EXPECT_EQ(platform.findBar.focusRequest, focus + 1);
    EXPECT_EQ(platform.findBar.text, "PR-99");
    CloseFindBar(app);
    EXPECT_FALSE(platform.findBar.shown);
}

TEST_F(FindCommands, CheckParametersWalksExactlyTheMarkedRows) {
    openSheet(6);
    const auto consistent = [this](std::int32_t r) {
        app.table.setValue(Param::Fp, r, 20.0);
        app.table.setValue(Param::Mms, r, 100.0);
        app.table.setValue(Param::Sd, r, 500.0);
        app.table.setValue(Param::Xmax, r, 10.0);
        app.table.setValue(Param::Vap, r, 222.35);
        app.table.setValue(Param::Vd, r, 500.0);
    };
    for (std::int32_t r = 1; r <= 6; ++r) {
        consistent(r);
    }
    CheckParametersCommand(app);
    EXPECT_EQ(platform.findBar.notice,
              "No row is marked: every Vap and Vd agrees with the values it follows from.");
    EXPECT_EQ(app.sel.cellV, 1);

    app.table.setValue(Param::Vap, 2, 150.0);
    app.table.setValue(Param::Vd, 5, 700.0);
    select(3, 0);
    app.doc.DirtyFlag = 0; // the values above were set behind the sheet's back
    std::vector<std::pair<std::int32_t, std::int32_t>> visited;
    for (int k = 0; k < 3; ++k) {
        CheckParametersCommand(app);
        visited.emplace_back(app.sel.cellV, app.sel.cellH);
    }
    EXPECT_EQ(visited,
              (std::vector<std::pair<std::int32_t, std::int32_t>>{{5, 9}, {2, 5}, {5, 9}}));
    EXPECT_EQ(platform.findBar.notice, "Row 5: 2 rows are marked.");
    // Nothing of it is written: the document stays unchanged.
    EXPECT_EQ(app.doc.DirtyFlag, 0);
}

} // namespace
