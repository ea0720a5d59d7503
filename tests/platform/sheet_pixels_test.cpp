// What the sheet widget puts on screen, read back from its pixels at places
// where the drawing sequence fixes the colour.

#include "gui_fixture.h"

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

} // namespace
} // namespace kestrune::test
