// Scrolling the sheet: the wheel, the scroll bar's arrows and thumb, the
// inert track, and resizing, which always scrolls back to the top.

#include "gui_fixture.h"

#include <QWheelEvent>

namespace kestrune::test {
namespace {

class Scrolling : public GuiTest {
protected:
    // A new sheet grown to `rows` rows with "Add New Model".
    void sheetOf(int rows) {
        choose(MenuNum::kFile, 1);
        while (app.table.fNum < rows) {
            QTest::mouseClick(bar().addNewModelButton(), Qt::LeftButton);
        }
    }
    void wheel(QWidget& target, int angle) {
        const QPointF at(100, 100);
        QWheelEvent event(at, target.mapToGlobal(at), QPoint(), QPoint(0, angle), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&target, &event);
    }
};

TEST_F(Scrolling, AFewRowsLeaveTheBarInert) {
    sheetOf(3);
    EXPECT_FALSE(scrollBar().isEnabled());
    wheel(sheet(), -120);
    EXPECT_EQ(app.sel.ScrollValue, 0);
}

TEST_F(Scrolling, WheelAndArrowsScrollThroughTheCoreAndTheTrackDoesNothing) {
    sheetOf(31); // 15 whole lines fit: 16 rows can scroll off
    EXPECT_TRUE(scrollBar().isEnabled());
    EXPECT_EQ(scrollBar().maximum(), 16);
    EXPECT_EQ(scrollBar().pageStep(), 15);
    EXPECT_EQ(scrollBar().value(), 16) << "a new row is scrolled into view";
    EXPECT_EQ(scrollBar().geometry(), QRect(730, 81, 15, 320 - 15 - 81));

    wheel(sheet(), 120); // one notch towards the top: three lines
    EXPECT_EQ(app.sel.ScrollValue, 13);
    EXPECT_EQ(scrollBar().value(), 13);
    wheel(scrollBar(), 40); // a finer wheel: one line, also over the bar
    EXPECT_EQ(app.sel.ScrollValue, 12);

    scrollBar().triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(scrollBar().value(), 12);
    EXPECT_EQ(app.sel.ScrollValue, 12);

    scrollBar().triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(app.sel.ScrollValue, 13);
    EXPECT_EQ(scrollBar().value(), 13);
    scrollBar().triggerAction(QAbstractSlider::SliderSingleStepSub);
    scrollBar().triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(app.sel.ScrollValue, 11);
    EXPECT_EQ(scrollBar().value(), 11);
}

TEST_F(Scrolling, ResizingScrollsToTheTopAndKeepsTheWidth) {
    sheetOf(31);
    ASSERT_GT(app.sel.ScrollValue, 0);
    const int chrome = window.height() - window.centralWidget()->height();

    window.resize(900, 420 + chrome);
    settle();

    EXPECT_EQ(window.centralWidget()->size(), QSize(745, 420));
    EXPECT_EQ(app.sel.ScrollValue, 0);
    EXPECT_EQ(scrollBar().value(), 0);
    EXPECT_EQ(scrollBar().maximum(), 31 - (420 - 80) / 16);
    EXPECT_EQ(scrollBar().geometry().bottom() + 1, 420 - 15);
    EXPECT_EQ(sheet().height(), 420 - SheetWidget::kTop);

    window.resize(745, 100);
    settle();
    EXPECT_EQ(window.centralWidget()->height(), 320) << "never lower than 320";
}

} // namespace
} // namespace kestrune::test
