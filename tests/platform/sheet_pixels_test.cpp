// What the sheet widget puts on screen, read back from its pixels at places
// where the drawing sequence fixes the colour.

#include "gui_fixture.h"

#include "application/commands.h"

#include <QImage>
#include <cmath>
#include <gmock/gmock.h>

namespace kestrune::test {
namespace {

class SheetPixels : public GuiTest {
protected:
    // The colour at a content position of the window.
    QColor at(const QImage& image, int x, int y) const {
        return image.pixelColor(x, y - SheetWidget::kTop);
    }
    QImage grabSheet() const { return sheet().grab().toImage(); }

    // A sheet of a million models whose last screenful has no manufacturer,
    // an Fp of 0 and 123456.78 in every other column; the last row is the
    // new, selected one.
    void openAMillionLongNumbers() {
        choose(MenuNum::kFile, 1);
        app.table.fNum = 999'999;
        app.table.ensureRows(1'000'001);
        for (std::int32_t r = 999'900; r <= 999'999; ++r) {
            app.table.Number[r] = r;
            for (const Param p : kAllParams) {
                app.table.setValue(p, r, p == Param::Fp ? 0.0 : 123'456.78);
            }
        }
        AddNewModelCommand(app);
        settle();
    }
    // Whether any pixel in columns x0 to x1 of the window-y range looks like
    // text: much darker than the stripes, the grid and the cell colours.
    bool inkIn(const QImage& image, int x0, int x1, int top, int bottom) const {
        for (int y = top; y < bottom; ++y) {
            for (int x = x0; x <= x1; ++x) {
                if (qGray(image.pixel(x, y - SheetWidget::kTop)) < 140) {
                    return true;
                }
            }
        }
        return false;
    }
};

// Colour components of the drawing, as 8-bit values.
int level(double component) {
    return static_cast<int>(std::lround(component * 255.0));
}

MATCHER_P3(IsRgb, red, green, blue, "") {
    return std::abs(arg.red() - red) <= 1 && std::abs(arg.green() - green) <= 1 &&
           std::abs(arg.blue() - blue) <= 1;
}

TEST_F(SheetPixels, SelectionHeaderStripesAndGridLandWhereTheyAreDrawn) {
    choose(MenuNum::kFile, 1); // row 1, Manufacturer cell selected
    const QImage image = grabSheet();
    ASSERT_EQ(image.width(), 745);

    // The selected cell (x 28 to 140, window y 80 to 96), away from its text.
    EXPECT_THAT(at(image, 120, 88), IsRgb(level(0.7725), level(0.8706), 255));
    // The header band, above any label.
    EXPECT_THAT(at(image, 284, 50), IsRgb(level(0.87), level(0.87), level(0.87)));
    // The selected column's header cell and the selected row's number cell.
    EXPECT_THAT(at(image, 136, 52), IsRgb(level(0.4258), level(0.4961), level(0.5547)));
    EXPECT_THAT(at(image, 4, 84), IsRgb(level(0.4258), level(0.4961), level(0.5547)));
    // Stripes belong to screen lines: the first line is tinted, the second white.
    EXPECT_THAT(at(image, 420, 88), IsRgb(level(0.9451), level(0.9608), level(0.9804)));
    EXPECT_THAT(at(image, 420, 104), IsRgb(255, 255, 255));
    // A body grid line on x 336.5, one pixel wide.
    EXPECT_THAT(at(image, 336, 104), IsRgb(level(0.763), level(0.763), level(0.763)));
    EXPECT_THAT(at(image, 337, 104), IsRgb(255, 255, 255));
}

TEST_F(SheetPixels, ASelectedRowIsHighlightedAcrossTheCells) {
    choose(MenuNum::kFile, 1);
    press(Qt::Key_Left); // row mode
    const QImage image = grabSheet();
    for (int x : {200, 420, 700}) {
        EXPECT_THAT(at(image, x, 88), IsRgb(level(0.7725), level(0.8706), 255)) << x;
    }
}

TEST_F(SheetPixels, LongNumbersStayInsideTheirCellsAtAMillionRows) {
    openAMillionLongNumbers();
    ASSERT_EQ(app.table.fNum, 1'000'000);
    const QImage image = grabSheet();
    const int lines = (image.height() + SheetWidget::kTop - 80) / 16;
    ASSERT_GE(lines, 5);
    // Every line above the new last row: numbers 999986 and so on.
    for (int line = 1; line < lines - 1; ++line) {
        SCOPED_TRACE(testing::Message() << "line " << line);
        const int top = 80 + 16 * (line - 1) + 1;
        const int bottom = top + 15;
        // The row number has text, but none past the divider.
        EXPECT_TRUE(inkIn(image, 2, 26, top, bottom));
        EXPECT_FALSE(inkIn(image, 27, 27, top, bottom));
        EXPECT_FALSE(inkIn(image, 29, 60, top, bottom));
        // Vap's value keeps clear of Fp's short one and of the line between.
        EXPECT_FALSE(inkIn(image, 388, 393, top, bottom));
        // No value reaches the pixel beside its column's left line.
        for (int column = 0; column < 8; ++column) {
            const int left = 280 + 56 * column;
            EXPECT_FALSE(inkIn(image, left + 1, left + 1, top, bottom)) << "column " << column;
            EXPECT_TRUE(inkIn(image, left + 2, left + 54, top, bottom)) << "column " << column;
        }
    }
}

TEST_F(SheetPixels, LongNamesEndBeforeTheNextColumn) {
    choose(MenuNum::kFile, 1);
    app.table.Manufacturer.set(1, "WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW");
    app.table.ModelName.set(1, "MMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMM");
    press(Qt::Key_Left); // row mode, so the edit field does not cover the row
    settle();
    const QImage image = grabSheet();
    const int top = 81;
    const int bottom = 95;
    EXPECT_TRUE(inkIn(image, 34, 130, top, bottom));
    EXPECT_TRUE(inkIn(image, 146, 270, top, bottom));
    // Nothing in the pixels just left of the Model Name and Dia lines.
    EXPECT_FALSE(inkIn(image, 138, 139, top, bottom));
    EXPECT_FALSE(inkIn(image, 278, 279, top, bottom));
}

TEST_F(SheetPixels, TheRowCounterShowsTheWholeCountInsideItsField) {
    openAMillionLongNumbers();
    QLabel* counter = bar().rowCounter();
    ASSERT_EQ(counter->text(), QStringLiteral("1000000/1000000"));
    const QImage image = counter->grab().toImage();
    int left = image.width();
    int right = -1;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qGray(image.pixel(x, y)) < 128) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
        }
    }
    // Not cut at either side, and not shrunk to a smudge.
    EXPECT_GE(left, 1);
    EXPECT_LE(right, image.width() - 2);
    EXPECT_GT(right - left, 40);
}

} // namespace
} // namespace kestrune::test
