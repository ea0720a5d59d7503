// Keys in the data-sheet window: the six sheet keys move the selection from
// the edit field or the sheet, every other key is the edit field's.

#include "gui_fixture.h"

#include <QLabel>

namespace kestrune::test {
namespace {

using SheetKeys = GuiTest;

TEST_F(SheetKeys, ReturnMovesToTheNextColumnAndEscapePutsTheCellBack) {
    choose(MenuNum::kFile, 1);
    press(Qt::Key_Return);
    EXPECT_EQ(app.sel.cellH, 2);
    EXPECT_EQ(bar().columnLabel()->text(), QStringLiteral("Model Name .."));
    EXPECT_EQ(bar().columnLabel()->toolTip(), QStringLiteral("Model Name"));
    EXPECT_TRUE(edit().hasFocus());

    QTest::keyClicks(&edit(), QStringLiteral("PR-0"));
    press(Qt::Key_Escape);
    EXPECT_EQ(app.sel.cellH, 2);
    EXPECT_EQ(app.sel.cellV, 1);
    EXPECT_EQ(edit().text(), QStringLiteral("n/a"));

    edit().selectAll();
    QTest::keyClicks(&edit(), QStringLiteral("PR-1"));
    press(Qt::Key_Enter); // the keypad's Enter moves on too, committing the name
    EXPECT_EQ(app.sel.cellH, 3);
    EXPECT_EQ(app.table.ModelName.get(1), "PR-1");
}

TEST_F(SheetKeys, PastTheLastColumnTheRowIsSelectedAndTheSheetHearsTheKeys) {
    choose(MenuNum::kFile, 1);
    for (int k = 1; k < 10; ++k) {
        press(Qt::Key_Right);
    }
    ASSERT_EQ(app.sel.cellH, 10);
    press(Qt::Key_Right);

    EXPECT_EQ(app.sel.cellH, 0);
    EXPECT_FALSE(edit().isVisible());
    EXPECT_TRUE(bar().modelName()->isVisible());
    EXPECT_TRUE(sheet().hasFocus());
    EXPECT_TRUE(bar().sendButton()->isDefault());
    EXPECT_EQ(bar().columnLabel()->text(), QStringLiteral("Selected Model"));

    press(Qt::Key_Left); // row mode stays row mode
    EXPECT_EQ(app.sel.cellH, 0);
    press(Qt::Key_Return); // sends the model, keeps the row
    EXPECT_EQ(app.sel.cellH, 0);
    press(Qt::Key_Right);
    EXPECT_EQ(app.sel.cellH, 1);
    EXPECT_TRUE(edit().hasFocus());
    EXPECT_FALSE(bar().sendButton()->isDefault());
}

// Ctrl+B moves the cursor back one character; Ctrl+F is Find's, even in
// the field, and leaves the field's text and cursor alone.
TEST_F(SheetKeys, ControlBMovesTheCursorAndControlFFinds) {
    choose(MenuNum::kFile, 1);
    QTest::keyClicks(&edit(), QStringLiteral("abc"));
    ASSERT_EQ(edit().cursorPosition(), 3);
    press(Qt::Key_B, Qt::ControlModifier);
    press(Qt::Key_B, Qt::ControlModifier);
    EXPECT_EQ(edit().cursorPosition(), 1);
    press(Qt::Key_F, Qt::ControlModifier);
    EXPECT_EQ(edit().cursorPosition(), 1);
    EXPECT_EQ(edit().text(), QStringLiteral("abc"));
    EXPECT_TRUE(app.find.barShown);
}

TEST_F(SheetKeys, ARedrawOfTheSameCellKeepsTextCursorAndSelection) {
    choose(MenuNum::kFile, 1);
    QTest::keyClicks(&edit(), QStringLiteral("Acme"));
    edit().setSelection(1, 2);
    clickSheet(60, 88); // the Manufacturer cell of row 1, which is being edited
    EXPECT_EQ(edit().text(), QStringLiteral("Acme"));
    EXPECT_EQ(edit().selectedText(), QStringLiteral("cm"));
}

TEST_F(SheetKeys, TheEditFieldKeepsEveryScript) {
    choose(MenuNum::kFile, 1);
    edit().insert(QString::fromUtf8("Caf\u00E9 \u4E2D \u0141\U0001F50A"));
    EXPECT_EQ(platform.readEditField().str(), "Caf\u00E9 \u4E2D \u0141\U0001F50A");

    platform.setEditFieldText(Str255("\u2022 \u20AC \u0416"));
    EXPECT_EQ(edit().text(), QString::fromUtf8("\u2022 \u20AC \u0416"));
    EXPECT_EQ(edit().selectedText(), edit().text());
}

TEST_F(SheetKeys, ContextualClicksOpenTheMenuOnlyOverTheSheetBody) {
    choose(MenuNum::kFile, 1);
    const auto contextClick = [](QWidget& widget, QPoint at) {
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, widget.mapToGlobal(at));
        QApplication::sendEvent(&widget, &event);
    };
    contextClick(sheet(), QPoint(300, 60 - SheetWidget::kTop)); // the header band
    EXPECT_TRUE(user.asked.empty());
    contextClick(sheet(), QPoint(300, 150 - SheetWidget::kTop));
    EXPECT_EQ(user.asked, std::vector<std::string>{"context menu"});
    settle();
    EXPECT_EQ(app.sel.cellH, 1) << "a contextual click never moves the selection";
}

} // namespace
} // namespace kestrune::test
