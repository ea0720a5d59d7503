// The life of a sheet as the window shows it: New, typing, Close, the
// save-changes question, the close box and Quit.

#include "gui_fixture.h"

#include <QLabel>

namespace kestrune::test {
namespace {

using Lifecycle = GuiTest;

TEST_F(Lifecycle, NewShowsTheSheetAtItsFixedSizeWithTheEditFieldReady) {
    EXPECT_FALSE(window.sheetShown());
    EXPECT_TRUE(window.hint()->isVisible());

    choose(MenuNum::kFile, 1); // New Data Sheet...

    ASSERT_TRUE(window.sheetShown());
    EXPECT_FALSE(window.hint()->isVisible());
    EXPECT_EQ(window.centralWidget()->size(), QSize(745, 320));
    EXPECT_EQ(window.windowTitle(), QStringLiteral("untitled.kedata[*]"));
    EXPECT_FALSE(window.isWindowModified());
    EXPECT_TRUE(edit().isVisible());
    EXPECT_EQ(edit().text(), QStringLiteral("n/a"));
    EXPECT_EQ(edit().selectedText(), QStringLiteral("n/a")); // ready to be typed over
    EXPECT_TRUE(edit().hasFocus());
    EXPECT_EQ(bar().rowCounter()->text(), QStringLiteral("1/1"));
    EXPECT_EQ(bar().columnLabel()->text(), QStringLiteral("Manufacturer"));
}

TEST_F(Lifecycle, AnEditThenCloseAsksAndDontSaveReturnsToTheEmptyWindow) {
    choose(MenuNum::kFile, 1);
    QTest::keyClicks(&edit(), QStringLiteral("Acme"));
    press(Qt::Key_Return); // moving on stores the name
    ASSERT_TRUE(window.isWindowModified());

    user.saveChanges.push_back(SaveChangesAnswer::DontSave);
    choose(MenuNum::kFile, 3); // Close
    ASSERT_EQ(user.asked, std::vector<std::string>{"save changes: untitled.kedata"});
    EXPECT_FALSE(usable(MenuNum::kFile, 1)) << "the menus wait while the question is up";
    settle();

    EXPECT_FALSE(window.sheetShown());
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(window.isWindowModified());
    EXPECT_EQ(app.flags.MainWndOpenFlag, 0);
    EXPECT_TRUE(usable(MenuNum::kFile, 1));
    EXPECT_FALSE(usable(MenuNum::kFile, 3));
    EXPECT_EQ(quits, 0);
}

TEST_F(Lifecycle, CancelKeepsTheSheetAndWhatWasTyped) {
    choose(MenuNum::kFile, 1);
    QTest::keyClicks(&edit(), QStringLiteral("Acme"));
    press(Qt::Key_Return);
    QTest::keyClicks(&edit(), QStringLiteral("PR-7"));
    user.saveChanges.push_back(SaveChangesAnswer::Cancel);
    choose(MenuNum::kFile, 3);
    settle();

    EXPECT_TRUE(window.sheetShown());
    EXPECT_EQ(edit().text(), QStringLiteral("PR-7"));
    EXPECT_EQ(app.table.Manufacturer.get(1), "Acme");
    EXPECT_TRUE(window.isWindowModified());
    EXPECT_TRUE(usable(MenuNum::kFile, 3));
}

TEST_F(Lifecycle, TheCloseBoxClosesTheSheetFirstAndQuitsOnlyWithoutOne) {
    choose(MenuNum::kFile, 1);
    window.close();
    settle();
    EXPECT_TRUE(user.asked.empty()) << "an unchanged sheet closes without a question";
    EXPECT_FALSE(window.sheetShown());
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(quits, 0);

    window.close();
    EXPECT_EQ(quits, 1);
}

TEST_F(Lifecycle, QuitButtonEndsAtOnceWhenNothingChanged) {
    choose(MenuNum::kFile, 1);
    QTest::mouseClick(bar().quitButton(), Qt::LeftButton);
    EXPECT_TRUE(user.asked.empty());
    EXPECT_EQ(quits, 1);
}

} // namespace
} // namespace kestrune::test
