// The menu bar mirrors the core's menu model: titles, shortcuts and
// enabling at launch and with a sheet open; shortcuts belong to the menus.

#include "gui_fixture.h"

#include <QMenu>
#include <QMenuBar>

namespace kestrune::test {
namespace {

using Menus = GuiTest;

bool menuEnabled(const MainWindow& window, int number) {
    return window.menus()->menu(number)->menuAction()->isEnabled();
}

TEST_F(Menus, TheBarFollowsTheModelsOrderTitlesAndShortcuts) {
    QStringList titles;
    for (const QAction* action : window.menuBar()->actions()) {
        titles << action->text();
    }
    // Each title's first letter is its mnemonic: Alt+F opens File.
    EXPECT_EQ(titles, (QStringList{"&Kestrune", "&File", "&Edit", "&Sort", "&Calculate", "&Window",
                                   "&Help"}));

    const QAction* quit = window.menus()->action(MenuNum::kApplication, 6);
    EXPECT_EQ(quit->text(), QStringLiteral("Quit Kestrune"));
    EXPECT_EQ(quit->shortcut(), QKeySequence(QStringLiteral("Ctrl+Q")));
    EXPECT_EQ(window.menus()->action(MenuNum::kFile, 6)->shortcut(),
              QKeySequence(QStringLiteral("Ctrl+Shift+S")));
    EXPECT_EQ(window.menus()->action(MenuNum::kApplication, 4)->shortcut(),
              QKeySequence(QStringLiteral("Ctrl+,")));
    EXPECT_TRUE(window.menus()->action(MenuNum::kFile, 4)->isSeparator());
    EXPECT_TRUE(window.menus()->action(MenuNum::kSort, 1)->isChecked());  // Unsort
    EXPECT_TRUE(window.menus()->action(MenuNum::kSort, 11)->isChecked()); // Ascending
    EXPECT_FALSE(window.menus()->action(MenuNum::kSort, 12)->isChecked());
}

TEST_F(Menus, AtLaunchOnlyNewOpenImportTheApplicationItemsAndHelpAreUsable) {
    for (int item : {1, 2, 9}) {
        EXPECT_TRUE(usable(MenuNum::kFile, item)) << item;
    }
    for (int item : {3, 5, 6, 7, 10, 12, 13}) {
        EXPECT_FALSE(usable(MenuNum::kFile, item)) << item;
    }
    for (int item : {1, 2, 4, 6}) {
        EXPECT_TRUE(usable(MenuNum::kApplication, item)) << item;
    }
    EXPECT_FALSE(menuEnabled(window, MenuNum::kEdit));
    EXPECT_FALSE(menuEnabled(window, MenuNum::kSort));
    EXPECT_FALSE(usable(MenuNum::kSort, 1)) << "a greyed menu takes its shortcuts with it";
    EXPECT_FALSE(menuEnabled(window, MenuNum::kCalculate));
    EXPECT_TRUE(usable(MenuNum::kHelp, 1));
}

TEST_F(Menus, WithASheetOpenNoSecondSheetCanBeStarted) {
    choose(MenuNum::kFile, 1);
    for (int item : {1, 2, 9}) {
        EXPECT_FALSE(usable(MenuNum::kFile, item)) << item;
    }
    for (int item : {3, 5, 6, 7, 10, 12, 13}) {
        EXPECT_TRUE(usable(MenuNum::kFile, item)) << item;
    }
    EXPECT_TRUE(menuEnabled(window, MenuNum::kEdit));
    EXPECT_FALSE(usable(MenuNum::kEdit, 1)); // nothing to undo yet
    EXPECT_TRUE(usable(MenuNum::kEdit, 5));
    EXPECT_TRUE(menuEnabled(window, MenuNum::kSort));
    EXPECT_TRUE(menuEnabled(window, MenuNum::kCalculate));
    EXPECT_TRUE(usable(MenuNum::kCalculate, 5)); // Mms...
    EXPECT_TRUE(usable(MenuNum::kCalculate, 6)); // Add Mass Calculator...
}

TEST_F(Menus, ShortcutsReachTheMenusNotTheEditField) {
    QTest::keyClick(&window, Qt::Key_N, Qt::ControlModifier);
    ASSERT_TRUE(window.sheetShown());
    ASSERT_TRUE(edit().hasFocus());
    QTest::keyClicks(&edit(), QStringLiteral("Acme"));

    // New is disabled now: the key neither starts a sheet nor types.
    QTest::keyClick(&edit(), Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(edit().text(), QStringLiteral("Acme"));

    press(Qt::Key_Return);
    QTest::keyClick(&edit(), Qt::Key_Q, Qt::ControlModifier);
    EXPECT_EQ(user.asked, std::vector<std::string>{"save changes: untitled.kedata"});
    EXPECT_EQ(quits, 0);
}

TEST_F(Menus, QuitFromTheMenuWithoutASheetEndsTheProgram) {
    QTest::keyClick(&window, Qt::Key_Q, Qt::ControlModifier);
    EXPECT_EQ(quits, 1);
}

} // namespace
} // namespace kestrune::test
