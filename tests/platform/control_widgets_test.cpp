#include "platform/control_widgets.h"
#include "platform/painter_canvas.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>
#include <utility>
#include <vector>

namespace kestrune {
namespace {

using Kind = ControlKind;
using Hits = std::vector<std::pair<std::int32_t, std::int32_t>>;

// One control of every kind, nested as the windows nest them.
std::vector<ControlView> everyKind() {
    std::vector<ControlView> v = {
        MakeControl(1, Kind::Title, {0, 0, 300, 20}, "Vap Calculate"),
        MakeControl(2, Kind::Label, {10, 30, 60, 50}, "Fp"),
        MakeControl(3, Kind::Input, {70, 30, 130, 50}, "12.5"),
        MakeControl(4, Kind::Result, {70, 60, 130, 80}, "45.1"),
        MakeControl(5, Kind::PushButton, {10, 200, 80, 220}, "Cancel"),
        MakeControl(6, Kind::DefaultButton, {100, 200, 170, 220}, "OK"),
        MakeControl(7, Kind::CheckBox, {10, 90, 150, 110}, "Check on launch"),
        MakeControl(8, Kind::GroupBox, {160, 30, 300, 110}, "Units"),
        MakeControl(9, Kind::RadioGroup, {5, 20, 130, 70}, "", 8),
        MakeControl(10, Kind::RadioButton, {0, 0, 60, 20}, "cm", 9),
        MakeControl(11, Kind::RadioButton, {60, 0, 120, 20}, "m", 9),
        MakeControl(12, Kind::TabControl, {10, 120, 300, 190}),
        MakeControl(13, Kind::TabPane, {10, 25, 280, 60}, "Dia", 12),
        MakeControl(14, Kind::TabPane, {10, 25, 280, 60}, "Vap", 12),
        MakeControl(15, Kind::BevelToggle, {180, 200, 220, 220}, "Sd"),
        MakeControl(16, Kind::ProgressBar, {10, 230, 200, 245}, "5 of 10 bytes"),
        MakeControl(17, Kind::Icon, {250, 230, 282, 262}),
        MakeControl(18, Kind::Separator, {0, 195, 300, 197}),
    };
    v[3].enabled = false;
    v[6].checked = true;
    v[8].value = 2;
    v[9].value = 1;
    v[10].value = 2;
    v[10].checked = true;
    v[11].value = 2;
    v[12].visible = false;
    v[14].checked = true;
    v[15].value = 500;
    v[16].enabled = false;
    return v;
}

class ControlWidgetsTest : public ::testing::Test {
protected:
    ControlWidgetsTest() { window.resize(320, 280); }
    template <typename W> W* at(std::int32_t number) {
        return qobject_cast<W*>(widgets.widget(number));
    }

    QWidget window;
    Hits hits;
    ControlWidgets widgets{window,
                           [this](std::int32_t c, std::int32_t v) { hits.emplace_back(c, v); }};
};

TEST_F(ControlWidgetsTest, EachKindBecomesItsWidgetShowingItsState) {
    widgets.apply(everyKind());
    EXPECT_EQ(window.windowTitle(), "Vap Calculate");
    EXPECT_EQ(at<QLabel>(2)->text(), "Fp");
    EXPECT_FALSE(at<QLineEdit>(3)->isReadOnly());
    EXPECT_TRUE(at<QLineEdit>(4)->isReadOnly());
    EXPECT_FALSE(at<QLineEdit>(4)->isEnabled());
    // A field's frame lies outside its rectangle.
    EXPECT_EQ(at<QLineEdit>(3)->geometry(), QRect(67, 27, 66, 26));
    EXPECT_FALSE(at<QPushButton>(5)->isDefault());
    EXPECT_TRUE(at<QPushButton>(6)->isDefault());
    EXPECT_TRUE(at<QCheckBox>(7)->isChecked());
    EXPECT_EQ(at<QGroupBox>(8)->title(), "Units");
    EXPECT_EQ(widgets.widget(10)->parentWidget(), widgets.widget(9));
    EXPECT_EQ(widgets.widget(9)->parentWidget(), widgets.widget(8));
    EXPECT_FALSE(at<QRadioButton>(10)->isChecked());
    EXPECT_TRUE(at<QRadioButton>(11)->isChecked());
    const QTabBar* tabs = widgets.widget(12)->findChild<QTabBar*>();
    ASSERT_NE(tabs, nullptr);
    EXPECT_EQ(tabs->count(), 2);
    EXPECT_EQ(tabs->tabText(1), "Vap");
    EXPECT_EQ(tabs->currentIndex(), 1);
    EXPECT_FALSE(widgets.widget(13)->isVisibleTo(&window));
    EXPECT_TRUE(widgets.widget(14)->isVisibleTo(&window));
    EXPECT_TRUE(at<QToolButton>(15)->isChecked());
    EXPECT_EQ(at<QProgressBar>(16)->value(), 500);
    EXPECT_EQ(at<QProgressBar>(16)->format(), "5 of 10 bytes");
    EXPECT_TRUE(at<QLabel>(17)->isEnabled()) << "an icon is never greyed";
    EXPECT_NE(qobject_cast<QFrame*>(widgets.widget(18)), nullptr);
    EXPECT_EQ(widgets.numberOf(widgets.widget(14)), 14);
    EXPECT_EQ(widgets.numberOf(&window), 0);
}

TEST_F(ControlWidgetsTest, WhatTheUserDoesIsReportedWhatTheProgramChangesIsNot) {
    std::vector<ControlView> view = everyKind();
    widgets.apply(view);
    window.show();
    view[8].value = 1; // the program chooses the other radio and tab
    view[9].checked = true;
    view[10].checked = false;
    view[11].value = 1;
    widgets.apply(view);
    EXPECT_TRUE(at<QRadioButton>(10)->isChecked());
    ASSERT_TRUE(hits.empty());

    QTest::mouseClick(at<QPushButton>(5), Qt::LeftButton);
    // Check boxes and radio buttons are clicked on their indicators.
    QTest::mouseClick(at<QCheckBox>(7), Qt::LeftButton, {}, QPoint(5, 10));
    QTest::mouseClick(at<QRadioButton>(11), Qt::LeftButton, {}, QPoint(5, 10));
    QTest::mouseClick(at<QToolButton>(15), Qt::LeftButton);
    QTabBar* tabs = widgets.widget(12)->findChild<QTabBar*>();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
    EXPECT_EQ(hits, (Hits{{5, 0}, {7, 0}, {9, 2}, {15, 0}, {12, 2}}));
}

TEST_F(ControlWidgetsTest, ControlsComeGoAndChangeInPlaceAndAFieldKeepsItsSelection) {
    std::vector<ControlView> view = everyKind();
    widgets.apply(view);
    QLineEdit* field = at<QLineEdit>(3);
    field->setSelection(1, 2);
    widgets.apply(view);
    EXPECT_EQ(field->selectedText(), "2.");

    view[2].text = "7";
    view[1].visible = false;
    QPointer<QWidget> cancel = widgets.widget(5);
    view.erase(view.begin() + 4);                                         // Cancel goes
    view[14] = MakeControl(16, Kind::Label, {10, 230, 200, 245}, "done"); // the bar becomes a line
    widgets.apply(view);
    EXPECT_EQ(at<QLineEdit>(3), field);
    EXPECT_EQ(field->text(), "7");
    EXPECT_FALSE(widgets.widget(2)->isVisibleTo(&window));
    EXPECT_EQ(widgets.widget(5), nullptr);
    EXPECT_EQ(at<QLabel>(16)->text(), "done");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(cancel.isNull());
    EXPECT_EQ(window.findChildren<QProgressBar*>().size(), 0);
}

TEST_F(ControlWidgetsTest, FontsStandInForTheOnesTheWindowsWereLaidOutFor) {
    ControlView laidOut = MakeControl(1, Kind::Label, {10, 10, 40, 30}, "Effective Area", 0);
    laidOut.fontName = "Lucida Grande";
    laidOut.fontSize = 13;
    laidOut.alignRight = true;
    ControlView plain = MakeControl(2, Kind::CheckBox, {10, 40, 200, 60}, "Check");
    ControlView headline =
        MakeControl(3, Kind::Label, {0, 70, 60, 95}, "Newer Version is Available.");
    headline.fontSize = 20;
    headline.bold = true;
    headline.centred = true;
    headline.color = 0x00AA00;
    widgets.apply({laidOut, plain, headline});

    QLabel* name = at<QLabel>(1);
    EXPECT_EQ(name->font(), PainterCanvas::fontFor(1, 12.0));
    // Wider in the stand-in, it grows away from the field on its right.
    EXPECT_EQ(name->geometry().right(), 39);
    EXPECT_LT(name->geometry().left(), 10);
    EXPECT_EQ(at<QCheckBox>(2)->font(), window.font());
    QLabel* line = at<QLabel>(3);
    EXPECT_TRUE(line->font().bold());
    EXPECT_TRUE(QFontMetrics(line->font()).horizontalAdvance(line->text()) <= 60 ||
                line->font().pixelSize() == 8);
    EXPECT_EQ(line->geometry(), QRect(0, 70, 60, 25)) << "a centred text is never moved";
    EXPECT_EQ(line->palette().color(QPalette::WindowText).rgb() & 0xFFFFFF, 0x00AA00U);

    headline.color = -1;
    widgets.apply({laidOut, plain, headline});
    EXPECT_EQ(line->palette().color(QPalette::WindowText).rgb(),
              window.palette().color(QPalette::WindowText).rgb());
}

TEST_F(ControlWidgetsTest, OnlyFieldsTakeTheFocusWhereTheWindowSaysSo) {
    const std::vector<ControlView> view = everyKind();
    widgets.apply(view);
    QWidget fieldsOnly;
    ControlWidgets pointerWindow(fieldsOnly, {}, true);
    pointerWindow.apply(view);
    for (const std::int32_t number : {5, 7, 15}) {
        EXPECT_NE(widgets.widget(number)->focusPolicy(), Qt::NoFocus) << number;
        EXPECT_EQ(pointerWindow.widget(number)->focusPolicy(), Qt::NoFocus) << number;
    }
    EXPECT_NE(pointerWindow.widget(3)->focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(pointerWindow.widget(4)->focusPolicy(), Qt::NoFocus); // a result is only read
}

} // namespace
} // namespace kestrune
