#include "sheet/sheet_labels.h"

#include "model/app_state.h"
#include "support/fake_platform.h"
#include "support/recording_canvas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

using namespace kestrune;
using kestrune::test::DrawCall;
using kestrune::test::RecordingCanvas;

namespace {

const Colour kGrey122{0.122, 0.122, 0.122};
const Colour kWhite{1.0, 1.0, 1.0};
const Colour kBlack{0.0, 0.0, 0.0};

// The first call that draws `text`, with all it was drawn with.
void expectText(const RecordingCanvas& canvas, const std::string& text, double x, double y,
                double size, Colour colour, std::int32_t font = 8) {
    const auto c = std::find_if(canvas.calls.begin(), canvas.calls.end(),
                                [&](const DrawCall& call) { return call.text == text; });
    ASSERT_NE(c, canvas.calls.end()) << '"' << text << '"';
    EXPECT_EQ(*c, (DrawCall{DrawCall::Kind::Text,
                            {},
                            x,
                            y,
                            0,
                            0,
                            colour,
                            0,
                            font,
                            std::string(QuartzFontName(font)),
                            size,
                            text,
                            1.0}));
}

class SheetLabels : public testing::Test {
protected:
    SheetLabels() { canvas.st.ySft = 48; }

    void select(std::int32_t cellH, std::int32_t cellV, std::int32_t scroll) {
        app.sel.cellH = cellH;
        app.sel.cellV = cellV;
        app.sel.cellVscroll = cellV;
        app.sel.ScrollValue = scroll;
    }

    kestrune::test::FakePlatform platform;
    AppState app{platform};
    RecordingCanvas canvas;
};

TEST_F(SheetLabels, HeaderLabelsUnitsAndSuperscripts) {
    DrawAllTopLabel(canvas, 0.122);
    ASSERT_EQ(canvas.calls.size(), 20u); // 11 labels, 7 unit lines, 2 superscripts
    expectText(canvas, "No", 6, 61, 13, kGrey122);
    expectText(canvas, "Dia", 298, 61, 13, kGrey122);
    expectText(canvas, "(grams)", 676, 76, 13, kGrey122);
    expectText(canvas, "(cm  )", 516, 76, 13, kGrey122); // the blanks take the superscript
    EXPECT_EQ(canvas.calls[15].text, "(cm  )");
    EXPECT_EQ(canvas.calls[15].x0, 628.0);
    // The superscripts come last.
    expectText(canvas, "2", 540, 72, 9, kGrey122);
    EXPECT_EQ(canvas.calls[19].text, "3");
    EXPECT_EQ(canvas.calls[19].x0, 652.0);
    EXPECT_EQ(canvas.st.fontSize, 9.0);
}

TEST_F(SheetLabels, WhiteLabelOfASuperscriptColumnAndTheSelectedRow) {
    select(7, 5, 0);
    DrawOneTopWhiteLabel(canvas, app);
    ASSERT_EQ(canvas.calls.size(), 4u);
    expectText(canvas, "Sd", 524, 61, 13, kWhite);
    expectText(canvas, "(cm  )", 516, 76, 13, kWhite);
    expectText(canvas, "2", 540, 72, 9, kWhite);
    expectText(canvas, " 5", 14, 48 + 29 + 16 * 5, 13, kWhite);
    EXPECT_EQ(canvas.st.fontSize, 13.0);
}

TEST_F(SheetLabels, WhiteRowNumberFollowsTheScrollAndVanishesAboveTheFirstLine) {
    select(0, 120, 118);
    DrawOneTopWhiteLabel(canvas, app);
    ASSERT_EQ(canvas.calls.size(), 2u);
    expectText(canvas, "No", 6, 61, 13, kWhite);
    expectText(canvas, " 120", 0, 48 + 29 + 16 * 2, 13, kWhite);

    canvas.calls.clear();
    select(0, 120, 120); // the selected row is the last one scrolled off
    DrawOneTopWhiteLabel(canvas, app);
    ASSERT_EQ(canvas.calls.size(), 1u);
    EXPECT_EQ(canvas.calls[0].text, "No");
}

TEST_F(SheetLabels, LongCellDrawsNumberNamesAndValuesOnOneBaseline) {
    app.table.fNum = 42;
    app.table.ensureRows(43);
    app.table.Manufacturer.set(42, "Borealis");
    app.table.setValue(Param::Dia, 42, 12.34);
    app.table.setValue(Param::Xmax, 42, 3.0);
    DrawLongCell(canvas, app.table, 0.122, 42, 42, 16 * 40);
    const double y = 48 + 29 + 16 * 2;
    ASSERT_EQ(canvas.calls.size(), 11u);
    expectText(canvas, " 42", 7, y, 13, kGrey122);
    expectText(canvas, "Borealis", 34, y, 12, kBlack, 5);
    expectText(canvas, "", 146, y, 12, kBlack, 5); // an empty name shows nothing
    expectText(canvas, " 12.3", 297, y, 12, kBlack, 5);
    expectText(canvas, " 3.00", 574, y, 12, kBlack, 5);
    expectText(canvas, " 0.0", 363, y, 12, kBlack, 5); // Fp; Mms comes last
    EXPECT_EQ(canvas.calls[10].x0, 698.0);
    EXPECT_EQ(canvas.st.QzFontNum, 5);
    EXPECT_EQ(canvas.st.GrnCol, 0.0);
}

// A name too long for its cell is cut at the cell's edge with an ellipsis,
// keeping as much of its start as fits; on screen and in print alike.
TEST_F(SheetLabels, LongNamesAreCutAtTheirCellsEdge) {
    const std::string manufacturer = "Borealis Audio Engineering GmbH & Co. KG";
    const std::string model = "PR-250 Passive Radiator, black anodised, 25 cm  ";
    app.table.fNum = 1;
    app.table.ensureRows(2);
    app.table.Manufacturer.set(1, manufacturer);
    app.table.ModelName.set(1, model);
    DrawLongCell(canvas, app.table, 0.0, 1, 1, 0);
    const struct {
        const std::string& name;
        double x;
        double right; // the next column's grid line
    } cells[] = {{manufacturer, 34, 140}, {model, 146, 280}};
    for (const auto& cell : cells) {
        const auto drawn = std::find_if(canvas.calls.begin(), canvas.calls.end(),
                                        [&](const DrawCall& c) { return c.x0 == cell.x; });
        ASSERT_NE(drawn, canvas.calls.end());
        const std::string& text = drawn->text;
        ASSERT_GE(text.size(), 2u);
        ASSERT_TRUE(text.ends_with("\u2026")) << text;
        const std::string kept = text.substr(0, text.size() - 3);
        EXPECT_TRUE(cell.name.starts_with(kept)) << text;
        EXPECT_LE(cell.x + canvas.TextWidth(text, 5, 12.0), cell.right);
        // One more character would not have fitted.
        const std::string more = cell.name.substr(0, kept.size() + 1) + "\u2026";
        EXPECT_GT(cell.x + canvas.TextWidth(more, 5, 12.0), cell.right - 3.0);
    }
}

TEST_F(SheetLabels, PrintedPageUsesItsOriginAndLinePosition) {
    app.table.fNum = 41;
    app.table.ensureRows(42);
    canvas.st.xSft = 54;
    canvas.st.ySft = 32;
    DrawAllTopLabel(canvas, 0.0);
    DrawLongCell(canvas, app.table, 0.0, 1, 41, 0);
    expectText(canvas, "(Liter)", 457, 60, 13, kBlack);
    expectText(canvas, " 41", 61, 32 + 29 + 16, 13, kBlack);
}

} // namespace
