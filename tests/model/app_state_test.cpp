#include "model/app_state.h"
#include "support/fake_platform.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

using namespace kestrune;
using kestrune::test::FakePlatform;

namespace {

class AppStateTest : public ::testing::Test {
protected:
    // Rows 1 to n with Number r, names "M<r>"/"P<r>" and values r*10 + parameter.
    void fill(std::int32_t n) {
        app.table.fNum = n;
        for (std::int32_t r = 1; r <= n; ++r) {
            app.table.Number[r] = r;
            app.table.Manufacturer.set(r, "M" + std::to_string(r));
            app.table.ModelName.set(r, "P" + std::to_string(r));
            for (Param p : kAllParams) {
                app.table.setValue(p, r, r * 10.0 + static_cast<int>(p));
            }
        }
    }

    // The row's names and values; Number separately.
    std::string row(std::int32_t r) const {
        std::string s = std::string(app.table.Manufacturer.get(r)) + "/" +
                        std::string(app.table.ModelName.get(r));
        for (Param p : kAllParams) {
            s += "/" + std::to_string(static_cast<int>(app.table.value(p, r)));
        }
        return s;
    }
    static std::string filled(std::int32_t r) {
        std::string s = "M" + std::to_string(r) + "/P" + std::to_string(r);
        for (int p = 0; p < kParamCount; ++p) {
            s += "/" + std::to_string(r * 10 + p);
        }
        return s;
    }
    static std::string empty() { return "//0/0/0/0/0/0/0/0"; }
    static std::string notAvailable() { return "n/a/n/a/0/0/0/0/0/0/0/0"; }

    FakePlatform platform;
    AppState app{platform};
};

} // namespace

TEST_F(AppStateTest, ClearEmptiesRowsAndGuardsButKeepsNumbers) {
    fill(4);
    app.table.Manufacturer.set(5, "guard");
    app.snap.s_preManuf = "M2";
    app.snap.preDIA = 3.0;
    app.snap.prefNum = 4;
    app.snap.preCellV = 2;
    app.GPrintScale = 50.0;
    app.ClearParameterArraySheetFile();
    for (std::int32_t r = 0; r <= 5; ++r) {
        EXPECT_EQ(row(r), empty()) << r;
    }
    EXPECT_EQ(app.table.Number.get(3), 3);
    EXPECT_EQ(app.table.fNum, 4); // left to the caller
    EXPECT_TRUE(app.snap.s_preManuf.empty());
    EXPECT_EQ(app.snap.preDIA, 0.0);
    EXPECT_EQ(app.snap.prefNum, 0);
    EXPECT_EQ(app.snap.preCellV, 0);
    EXPECT_EQ(app.GPrintScale, 100.0);
}

TEST_F(AppStateTest, RemoveRowsClosesTheGap) {
    fill(6);
    app.sel.cellV = 6;
    app.sel.ScrollValue = 3;
    app.RemoveRows(2, 4);
    EXPECT_EQ(app.table.fNum, 3);
    EXPECT_EQ(row(1), filled(1));
    EXPECT_EQ(row(2), filled(5));
    EXPECT_EQ(row(3), filled(6));
    EXPECT_EQ(app.table.Number.get(2), 5);
    EXPECT_EQ(app.table.Number.get(3), 6);
    for (std::int32_t r = 4; r <= 7; ++r) {
        EXPECT_EQ(row(r), empty()) << r;
        EXPECT_EQ(app.table.Number.get(r), 0) << r;
    }
    EXPECT_EQ(app.sel.cellV, 3);
    EXPECT_EQ(app.sel.ScrollValue, 0);
    EXPECT_EQ(platform.beeps, 0);

    app.RemoveRows(3, 3); // the last row
    EXPECT_EQ(app.table.fNum, 2);
    EXPECT_EQ(row(2), filled(5));
    EXPECT_EQ(row(3), empty());
    EXPECT_EQ(app.sel.cellV, 2);
}

TEST_F(AppStateTest, RemovingEveryRowLeavesOneNotAvailableRowAndBeepsOnce) {
    fill(3);
    app.sel.cellV = 2;
    app.sel.cellH = 4;
    app.RemoveRows(1, 3);
    EXPECT_EQ(app.table.fNum, 1);
    EXPECT_EQ(row(1), notAvailable());
    EXPECT_EQ(app.table.Number.get(1), 0);
    EXPECT_EQ(row(2), empty());
    EXPECT_EQ(app.sel.cellV, 1);
    EXPECT_EQ(app.sel.cellH, 0);
    EXPECT_EQ(app.flags.SelectBtnFlag, 1);
    EXPECT_EQ(platform.beeps, 1);
}

TEST_F(AppStateTest, RemoveSelectedRowMovesTheRestUp) {
    fill(3);
    app.sel.cellV = 2;
    app.RemoveSelectedRow();
    EXPECT_EQ(app.table.fNum, 2);
    EXPECT_EQ(row(1), filled(1));
    EXPECT_EQ(row(2), filled(3));
    EXPECT_EQ(app.table.Number.get(2), 3);
    EXPECT_EQ(row(3), empty());
    EXPECT_EQ(app.table.Number.get(3), 0);
    EXPECT_EQ(app.sel.cellV, 2);

    app.RemoveSelectedRow(); // the last row: the selection follows the end
    EXPECT_EQ(app.table.fNum, 1);
    EXPECT_EQ(row(2), empty());
    EXPECT_EQ(app.sel.cellV, 1);
    EXPECT_EQ(platform.beeps, 0);
}

TEST_F(AppStateTest, InsertRowAfterOpensAnEmptyRow) {
    fill(3);
    EXPECT_EQ(app.InsertRowAfter(1), 2);
    EXPECT_EQ(app.table.fNum, 4);
    EXPECT_EQ(row(1), filled(1));
    EXPECT_EQ(row(2), empty());
    EXPECT_EQ(app.table.Number.get(2), 0);
    EXPECT_EQ(row(3), filled(2));
    EXPECT_EQ(row(4), filled(3));
    EXPECT_EQ(app.table.Number.get(4), 3);
    EXPECT_EQ(row(5), empty());

    EXPECT_EQ(app.InsertRowAfter(4), 5); // after the last row
    EXPECT_EQ(app.table.fNum, 5);
    EXPECT_EQ(row(4), filled(3));
    EXPECT_EQ(row(5), empty());
    EXPECT_EQ(app.InsertRowAfter(0), 1); // before the first
    EXPECT_EQ(row(1), empty());
    EXPECT_EQ(row(2), filled(1));
}

TEST_F(AppStateTest, DataSwapExchangesWholeRowsAndSelectsTheFirst) {
    fill(3);
    app.sel.cellV = 3;
    app.DataSwap(3);
    EXPECT_EQ(row(2), filled(3));
    EXPECT_EQ(row(3), filled(2));
    EXPECT_EQ(app.table.Number.get(2), 3);
    EXPECT_EQ(app.table.Number.get(3), 2);
    EXPECT_EQ(app.sel.cellV, 1);
    EXPECT_EQ(platform.beeps, 0);
}

TEST_F(AppStateTest, AddModelAtEndAppendsAModifiedNotAvailableRow) {
    fill(3);
    app.ClearParameterArraySheetFile();
    app.table.fNum = 1; // a new sheet over slots that held an earlier one
    app.NewOrAddModelInit();
    app.AddModelAtEnd();
    EXPECT_EQ(app.table.fNum, 2);
    EXPECT_EQ(row(2), notAvailable());
    EXPECT_EQ(app.table.Number.get(2), 2); // the slot's earlier Number stays
    EXPECT_EQ(row(3), empty());
    EXPECT_EQ(app.sel.cellV, 2);
    EXPECT_EQ(app.sel.cellH, 1);
    EXPECT_EQ(app.doc.DirtyFlag, 1);
    EXPECT_TRUE(platform.windowModified);
    EXPECT_EQ(app.flags.AddNewModel, 1);
    EXPECT_EQ(app.flags.SelectBtnFlag, 1);
}

TEST_F(AppStateTest, ChangeDetectionComparesTheSnapshotRow) {
    fill(3);
    app.sel.cellVscroll = 2;
    app.TakeSnapshot();
    app.snap.preCellV = 2;
    app.DetectSnapshotChanges();
    EXPECT_EQ(app.doc.DirtyFlag, 0);

    // Moving a whole-row selection elsewhere changes nothing.
    app.sel.cellVscroll = 3;
    app.TakeSnapshot();
    app.snap.preCellV = 3;
    app.DetectSnapshotChanges();
    EXPECT_EQ(app.doc.DirtyFlag, 0);
    EXPECT_FALSE(platform.windowModified);

    const auto changes = [&](const auto& edit) {
        app.sel.cellVscroll = 2;
        app.TakeSnapshot();
        app.snap.preCellV = 2;
        edit();
        app.doc.DirtyFlag = 0;
        app.DetectSnapshotChanges();
        return app.doc.DirtyFlag == 1;
    };
    EXPECT_TRUE(changes([&] { app.table.Manufacturer.set(2, "M2 "); }));
    EXPECT_TRUE(changes([&] { app.table.ModelName.set(2, "p2"); }));
    EXPECT_TRUE(changes([&] { app.table.setValue(Param::Mms, 2, 27.000001); }));
    EXPECT_TRUE(changes([&] { app.table.fNum = 4; }));
    EXPECT_FALSE(
        changes([&] { app.table.setValue(Param::Dia, 2, app.table.value(Param::Dia, 2)); }));
    EXPECT_FALSE(changes([&] { app.table.setValue(Param::Qmp, 3, -1.0); })); // not the snapshot row
    app.table.setValue(Param::Vd, 2, 0.0);
    EXPECT_FALSE(changes([&] { app.table.setValue(Param::Vd, 2, -0.0); }));
    // NaN never equals itself, so it always counts as a change.
    app.table.setValue(Param::Fp, 2, std::numeric_limits<double>::quiet_NaN());
    EXPECT_TRUE(changes([] {}));
    EXPECT_TRUE(platform.windowModified);
}

TEST_F(AppStateTest, FileErrorsAndFatalErrorsReachThePlatform) {
    app.files.FileInputItem(3);
    ASSERT_EQ(platform.fileErrors.size(), 1u);
    EXPECT_EQ(platform.fileErrors[0].fileNumber, 3);
    const std::string head = "The program returned a file error.\nFile ref:3\n";
    EXPECT_EQ(platform.fileErrors[0].message.rfind(head, 0), 0u);
    EXPECT_GT(platform.fileErrors[0].message.size(), head.size()); // a description follows
    EXPECT_EQ(app.files.LastFileError(), -38);

    EXPECT_THROW(app.table.setValue(Param::Fp, -1, 1.0), std::out_of_range);
    EXPECT_THROW(app.table.Number[-1], std::out_of_range);
    EXPECT_EQ(platform.fatalMessages,
              (std::vector<std::string>{"Bad index -1 for dynamic array (ref 6)",
                                        "Bad index -1 for dynamic array (ref 1)"}));
}
