#include "sheet/sheet_painter.h"

#include "model/app_state.h"
#include "sheet/cell_text.h"
#include "sheet/selection_rect.h"
#include "sheet/sheet_redraw.h"
#include "support/fake_platform.h"
#include "support/recording_canvas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <string>

using namespace kestrune;
using kestrune::test::DrawCall;
using kestrune::test::RecordingCanvas;
using Kind = DrawCall::Kind;

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
const Colour kStripe{0.9451, 0.9608, 0.9804};
const Colour kSelectionBack{0.7725, 0.8706, 1.0};
const Colour kDark{0.4258, 0.4961, 0.5547};
const Colour kFrameBlue{0.5764, 0.7333, 0.8784};
const Colour kWhite{1.0, 1.0, 1.0};
const Colour kRowGrey{0.122, 0.122, 0.122};

Colour grey(double g) {
    return {g, g, g};
}

DrawCall shape(Kind kind, double x0, double y0, double x1, double y1, Colour colour) {
    DrawCall c;
    c.kind = kind;
    c.x0 = x0;
    c.y0 = y0;
    c.x1 = x1;
    c.y1 = y1;
    c.colour = colour;
    c.lineWidth = kind == Kind::Line || kind == Kind::FrameRect ? 1.0 : 0.0;
    return c;
}

std::size_t count(const std::vector<DrawCall>& calls, const DrawCall& wanted) {
    return static_cast<std::size_t>(std::count(calls.begin(), calls.end(), wanted));
}

std::vector<DrawCall> where(const std::vector<DrawCall>& calls, Kind kind, Colour colour) {
    std::vector<DrawCall> out;
    std::copy_if(calls.begin(), calls.end(), std::back_inserter(out),
                 [&](const DrawCall& c) { return c.kind == kind && c.colour == colour; });
    return out;
}

std::vector<std::string> textsIn(const std::vector<DrawCall>& calls, Colour colour) {
    std::vector<std::string> out;
    for (const DrawCall& c : where(calls, Kind::Text, colour)) {
        out.push_back(c.text);
    }
    return out;
}

// Whether `part` is `whole` with some calls left out.
bool isSubsequence(const std::vector<DrawCall>& part, const std::vector<DrawCall>& whole) {
    std::size_t i = 0;
    for (const DrawCall& c : whole) {
        if (i < part.size() && part[i] == c) {
            ++i;
        }
    }
    return i == part.size();
}

class PaintSheetTest : public testing::Test {
protected:
    void fillRows(std::int32_t rows) {
        app.table.fNum = rows;
        app.table.ensureRows(rows + 1);
        for (std::int32_t r = 1; r <= rows; ++r) {
            setRow(r);
        }
    }
    void setRow(std::int32_t r) {
        app.table.Manufacturer.set(r, "Maker " + std::to_string(r));
        app.table.ModelName.set(r, "PR-" + std::to_string(r));
        app.table.setValue(Param::Dia, r, 10.0 + r * 0.01);
        app.table.setValue(Param::Mms, r, 100.0 + r);
    }
    void select(std::int32_t cellH, std::int32_t cellV, std::int32_t scroll) {
        app.sel.cellH = cellH;
        app.sel.cellV = cellV;
        app.sel.cellVscroll = cellV;
        app.sel.ScrollValue = scroll;
        ComputeSelectionRect(app);
    }
    std::vector<DrawCall> paint(double top = -kInf, double bottom = kInf) {
        RecordingCanvas canvas;
        PaintSheet(canvas, app, top, bottom);
        left = canvas.st;
        measured = canvas.measurements;
        return canvas.calls;
    }

    kestrune::test::FakePlatform platform;
    AppState app{platform};
    DrawState left;            // the drawing state the last paint left behind
    std::int64_t measured = 0; // texts the last paint measured
};

TEST_F(PaintSheetTest, DrawsTheLayersInOrder) {
    fillRows(3);
    select(3, 2, 0);
    const std::vector<DrawCall> calls = paint();
    std::size_t i = 0;
    auto next = [&]() -> const DrawCall& { return calls.at(i++); };

    EXPECT_EQ(next(), shape(Kind::Erase, 0, 48, 730, 1600, kWhite));
    EXPECT_EQ(next(), shape(Kind::FillRect, 0.5, 48.5, 745.5, 80.5, grey(0.87)));
    EXPECT_EQ(next(), shape(Kind::FillRect, 0.5, 81.5, 28.5, 1520.5, grey(0.87)));
    for (double y = 80; y <= 1520; y += 32) {
        EXPECT_EQ(next(), shape(Kind::FillRect, 29.5, y + 0.5, 728.5, y + 16.5, kStripe));
    }
    for (int t = 0; t < 20; ++t) {
        const DrawCall& label = next();
        EXPECT_EQ(label.kind, Kind::Text);
        EXPECT_EQ(label.colour, kRowGrey);
    }
    // Row 2, column Dia: the background lies under the row texts.
    EXPECT_EQ(next(), shape(Kind::FillRect, 280.5, 96.5, 336.5, 112.5, kSelectionBack));
    for (std::int32_t r = 1; r <= 3; ++r) {
        const DrawCall& number = next();
        EXPECT_EQ(number.text, " " + std::to_string(r));
        EXPECT_EQ(number.y0, 77 + 16 * r);
        for (int t = 0; t < 10; ++t) {
            EXPECT_EQ(next().kind, Kind::Text);
        }
    }
    EXPECT_EQ(next(), shape(Kind::FillRect, 280, 48, 336, 80, kDark));
    EXPECT_EQ(next(), shape(Kind::FillRect, 0, 96, 28, 112, kDark));
    // The double frame: two outlines one pixel apart.
    EXPECT_EQ(next(), shape(Kind::FrameRect, 279.5, 95.5, 337.5, 113.5, kFrameBlue));
    EXPECT_EQ(next(), shape(Kind::FrameRect, 281.5, 97.5, 335.5, 111.5, kFrameBlue));
    EXPECT_EQ(next().text, "Dia");
    EXPECT_EQ(next().text, "(cm)");
    const DrawCall& whiteNumber = next();
    EXPECT_EQ(whiteNumber.text, " 2");
    EXPECT_EQ(whiteNumber.colour, kWhite);
    EXPECT_EQ(whiteNumber.y0, 109.0);

    // The grid comes last: darker lines in the header and number column,
    // lighter ones in the body.
    EXPECT_EQ(next(), shape(Kind::Line, 0, 48.5, 745, 48.5, grey(0.61)));
    EXPECT_EQ(next(), shape(Kind::Line, 0, 80.5, 745, 80.5, grey(0.61)));
    EXPECT_EQ(next(), shape(Kind::Line, 28.5, 48, 28.5, 1520, grey(0.61)));
    const std::vector<DrawCall> rest(calls.begin() + static_cast<std::ptrdiff_t>(i), calls.end());
    EXPECT_EQ(where(rest, Kind::Line, grey(0.61)).size(), 101u);
    EXPECT_EQ(where(rest, Kind::Line, grey(0.763)).size(), 100u);
    EXPECT_EQ(rest.size(), 201u);
    EXPECT_EQ(rest[101], shape(Kind::Line, 140.5, 81, 140.5, 1520, grey(0.763)));
    EXPECT_EQ(rest.back(), shape(Kind::Line, 728.5, 81, 728.5, 1520, grey(0.763)));
    EXPECT_EQ(count(rest, shape(Kind::Line, 0, 1520.5, 28, 1520.5, grey(0.61))), 1u);
    EXPECT_EQ(count(rest, shape(Kind::Line, 29, 96.5, 728, 96.5, grey(0.763))), 1u);

    EXPECT_EQ(left.xSft, 0);
    EXPECT_EQ(left.ySft, 48);
    EXPECT_EQ(left.RedCol, 0.763);
}

TEST_F(PaintSheetTest, ScrolledSheetStartsWithTheFirstRowBelowTheScroll) {
    fillRows(30);
    select(1, 15, 0);
    const std::vector<DrawCall> stripesAtTop = where(paint(), Kind::FillRect, kStripe);
    select(1, 15, 10);
    const std::vector<DrawCall> calls = paint();

    const std::vector<DrawCall> numbers = where(calls, Kind::Text, kRowGrey);
    const auto first = std::find_if(numbers.begin(), numbers.end(),
                                    [](const DrawCall& c) { return c.fontNum == 8 && c.y0 > 80; });
    ASSERT_NE(first, numbers.end());
    EXPECT_EQ(first->text, " 11");
    EXPECT_EQ(first->y0, 93.0);
    EXPECT_EQ(textsIn(calls, Colour{}).size(), 20u * 10u); // rows 11 to 30 only
    // The stripes belong to screen lines, not rows.
    EXPECT_EQ(where(calls, Kind::FillRect, kStripe), stripesAtTop);
}

TEST_F(PaintSheetTest, SelectionScrolledOutOfViewKeepsOnlyItsHeaderCell) {
    fillRows(30);
    select(5, 3, 10);
    const std::vector<DrawCall> calls = paint();
    EXPECT_TRUE(where(calls, Kind::FillRect, kSelectionBack).empty());
    EXPECT_TRUE(where(calls, Kind::FrameRect, kFrameBlue).empty());
    EXPECT_EQ(where(calls, Kind::FillRect, kDark),
              (std::vector<DrawCall>{shape(Kind::FillRect, 392, 48, 448, 80, kDark)}));
    EXPECT_EQ(textsIn(calls, kWhite), (std::vector<std::string>{"Vap", "(Liter)"}));
}

TEST_F(PaintSheetTest, EmptyTableShowsHeaderStripesGridAndHeaderHighlight) {
    select(4, 0, 0); // a click in an empty table selects row 0
    const std::vector<DrawCall> calls = paint();
    EXPECT_EQ(calls.front().kind, Kind::Erase);
    EXPECT_EQ(textsIn(calls, kRowGrey).size(), 20u);
    EXPECT_TRUE(textsIn(calls, Colour{}).empty());
    EXPECT_EQ(textsIn(calls, kWhite), (std::vector<std::string>{"Fp", "(Hz)"}));
    EXPECT_EQ(where(calls, Kind::FillRect, kStripe).size(), 46u);
    EXPECT_EQ(where(calls, Kind::FillRect, kDark),
              (std::vector<DrawCall>{shape(Kind::FillRect, 336, 48, 392, 80, kDark)}));
    EXPECT_TRUE(where(calls, Kind::FillRect, kSelectionBack).empty());
    EXPECT_EQ(calls.size(), 1u + 2u + 46u + 20u + 1u + 2u + 204u);
}

TEST_F(PaintSheetTest, RowModeHighlightsTheWholeRowAndTheNoCell) {
    fillRows(5);
    select(0, 1, 0);
    const std::vector<DrawCall> calls = paint();
    EXPECT_EQ(
        where(calls, Kind::FillRect, kSelectionBack),
        (std::vector<DrawCall>{shape(Kind::FillRect, 0.5, 80.5, 728.5, 96.5, kSelectionBack)}));
    EXPECT_EQ(where(calls, Kind::FillRect, kDark),
              (std::vector<DrawCall>{shape(Kind::FillRect, 0, 48, 28, 80, kDark),
                                     shape(Kind::FillRect, 0, 80, 28, 96, kDark)}));
    EXPECT_EQ(where(calls, Kind::FrameRect, kFrameBlue),
              (std::vector<DrawCall>{shape(Kind::FrameRect, -0.5, 79.5, 729.5, 97.5, kFrameBlue),
                                     shape(Kind::FrameRect, 1.5, 81.5, 727.5, 95.5, kFrameBlue)}));
    EXPECT_EQ(textsIn(calls, kWhite), (std::vector<std::string>{"No", " 1"}));
}

TEST_F(PaintSheetTest, PaintingARangeDrawsExactlyWhatMeetsItInTheSameOrder) {
    fillRows(60);
    select(9, 20, 5);
    const std::vector<DrawCall> full = paint();
    const struct {
        double top, bottom;
    } ranges[] = {{200, 400},   {0, 600},  {81, 97},   {599.5, 600.5},
                  {1000, 2000}, {-50, 10}, {300, 300}, {1519, 1521}};
    for (const auto& range : ranges) {
        SCOPED_TRACE(testing::Message() << "range " << range.top << ".." << range.bottom);
        const std::vector<DrawCall> part = paint(range.top, range.bottom);
        EXPECT_TRUE(isSubsequence(part, full));
        for (const DrawCall& c : full) {
            if (range.top < range.bottom && c.bottom() > range.top && c.top() < range.bottom) {
                EXPECT_EQ(count(part, c), count(full, c)) << testing::PrintToString(c);
            }
        }
    }
    EXPECT_LT(paint(200, 400).size(), full.size() / 2);
}

TEST_F(PaintSheetTest, AMillionRowsCostNoMoreThanTheRowsOnScreen) {
    fillRows(40);
    select(2, 3, 0);
    const std::vector<DrawCall> small = paint(0, 600);

    app.table.fNum = 1'000'000;
    app.table.ensureRows(app.table.fNum + 1);
    EXPECT_EQ(paint(0, 600), small);

    // At the end of the table the last rows fill the first lines.
    setRow(1'000'000);
    select(2, 999'995, 999'990);
    const std::vector<DrawCall> end = paint(0, 600);
    const std::vector<std::string> black = textsIn(end, Colour{});
    ASSERT_EQ(black.size(), 10u * 10u);
    EXPECT_EQ(black[black.size() - 10], "Maker 1000000");
    const auto firstNumber =
        std::find_if(end.begin(), end.end(), [](const DrawCall& c) { return c.text == " 999991"; });
    ASSERT_NE(firstNumber, end.end());
    EXPECT_EQ(firstNumber->y0, 93.0);
}

TEST_F(PaintSheetTest, NumbersTooLongForTheirCellsAreMeasuredOnScreenOnly) {
    app.table.fNum = 1'000'000;
    app.table.ensureRows(app.table.fNum + 1);
    for (std::int32_t r = 999'950; r <= 1'000'000; ++r) {
        for (const Param p : kAllParams) {
            app.table.setValue(p, r, 123'456.78);
        }
    }
    select(0, 1'000'000, 999'970);
    const std::vector<DrawCall> calls = paint(0, 600);
    const std::vector<DrawCall> narrowed = [&] {
        std::vector<DrawCall> out;
        std::copy_if(calls.begin(), calls.end(), std::back_inserter(out),
                     [](const DrawCall& c) { return c.kind == Kind::Text && c.stretch < 1.0; });
        return out;
    }();
    // Every number and value of the 30 rows on screen, and the white number.
    EXPECT_EQ(narrowed.size(), 30u * 9u + 1u);
    EXPECT_LT(measured, 30 * 9 * 10);
}

} // namespace

// A published Vap or Vd far from what the row gives is marked in its cell's
// corner, on screen and on the page alike, and the edit field says why.
TEST_F(PaintSheetTest, MarksValuesThatDisagreeWithTheRow) {
    fillRows(3);
    for (std::int32_t r = 1; r <= 3; ++r) {
        // Fp 20, Mms 100 g, Sd 500 cm², Xmax 10: Vap 222.35 L, Vd 500 cm³.
        app.table.setValue(Param::Fp, r, 20.0);
        app.table.setValue(Param::Mms, r, 100.0);
        app.table.setValue(Param::Sd, r, 500.0);
        app.table.setValue(Param::Xmax, r, 10.0);
        app.table.setValue(Param::Vap, r, r == 2 ? 30.0 : 222.35);
        app.table.setValue(Param::Vd, r, r == 3 ? 600.0 : 500.0);
    }
    select(5, 2, 0);
    const Colour orange{0.93, 0.42, 0.0};
    std::vector<std::pair<double, double>> corners; // right end and top of each mark
    for (const DrawCall& c : paint()) {
        if (c.kind == Kind::FillRect && c.colour == orange && c.x1 - c.x0 == 5.0) {
            corners.emplace_back(c.x1, c.y0);
        }
    }
    // Row 2's Vap cell (392 to 448) and row 3's Vd cell (616 to 672).
    const auto vap = SelectionColumnExtent(5);
    const auto vd = SelectionColumnExtent(9);
    EXPECT_EQ(corners, (std::vector<std::pair<double, double>>{{vap.x1, 96.0}, {vd.x1, 112.0}}));
    EXPECT_EQ(BuildToolArea(app).editHelp, "Computed from Fp, Mms and Sd: 222.35 L");
    select(5, 1, 0);
    EXPECT_EQ(BuildToolArea(app).editHelp, "Move the Cursor : Control + F/B");
}
