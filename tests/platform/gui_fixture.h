#pragma once
// The real main window on the offscreen display, with a scripted user at
// the dialogs. Each test gets a fresh application object and window.

#include "application/lifecycle.h"
#include "model/app_state.h"
#include "model/menu_model.h"
#include "platform/dialogs.h"
#include "platform/edit_field.h"
#include "platform/main_window.h"
#include "platform/menu_bar_mirror.h"
#include "platform/qt_platform.h"
#include "platform/sheet_page.h"
#include "platform/sheet_scroll_bar.h"
#include "platform/sheet_widget.h"
#include "platform/top_bar.h"

#include <QAction>
#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <deque>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kestrune::test {

// Answers every dialog from a script; Cancel (or nothing) once it runs out.
class ScriptedUser final : public DialogAnswerer {
public:
    SaveChangesAnswer answerSaveChanges(const std::string& fileName) override {
        asked.push_back("save changes: " + fileName);
        return next(saveChanges, SaveChangesAnswer::Cancel);
    }
    FileChoice answerSaveFile(const std::string& title, const std::string& proposedName) override {
        asked.push_back("save file: " + title + " " + proposedName);
        return next(files, FileChoice{});
    }
    FileChoice answerOpenFile(const std::string& title,
                              const std::vector<std::string>& /*extensions*/) override {
        asked.push_back("open file: " + title);
        return next(files, FileChoice{});
    }
    void fileErrorShown(int /*fileNumber*/, const std::string& message) override {
        asked.push_back("file error: " + message);
    }
    void noteShown(const std::string& message, const std::string& /*details*/) override {
        asked.push_back("note: " + message);
    }
    int answerContextMenu(const std::vector<ContextMenuItem>& /*items*/) override {
        asked.push_back("context menu");
        return next(contextChoices, 0);
    }

    std::deque<SaveChangesAnswer> saveChanges;
    std::deque<FileChoice> files;
    std::deque<int> contextChoices;
    std::vector<std::string> asked;

private:
    template <typename T> static T next(std::deque<T>& script, T otherwise) {
        if (script.empty()) {
            return otherwise;
        }
        T answer = script.front();
        script.pop_front();
        return answer;
    }
};

class GuiTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform.setWindow(&window);
        platform.setDialogAnswerer(&user);
        platform.setQuitHandler([this] { ++quits; });
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        window.activateWindow(); // the keyboard goes to the active window only
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        StartUp(app);
    }

    // Chooses a menu item the way a click on it does.
    void choose(int menu, int item) {
        QAction* action = window.menus()->action(menu, item);
        ASSERT_NE(action, nullptr);
        ASSERT_TRUE(action->isEnabled()) << action->text().toStdString();
        action->trigger();
    }
    // Lets queued dialog answers and repaints arrive.
    static void settle() {
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    }
    bool usable(int menu, int item) const {
        const QAction* action = window.menus()->action(menu, item);
        return action != nullptr && action->isEnabled();
    }

    TopBar& bar() const { return *window.sheetPage()->topBar(); }
    EditField& edit() const { return *bar().editField(); }
    SheetWidget& sheet() const { return *window.sheetPage()->sheet(); }
    SheetScrollBar& scrollBar() const { return *window.sheetPage()->scrollBar(); }
    // A click at a content position of the sheet window.
    void clickSheet(int x, int y) const {
        QTest::mouseClick(&sheet(), Qt::LeftButton, Qt::NoModifier,
                          QPoint(x, y - SheetWidget::kTop));
    }
    // A key pressed where the keyboard focus is.
    static void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWidget* target = QApplication::focusWidget();
        ASSERT_NE(target, nullptr);
        QTest::keyClick(target, key, modifiers);
    }

    ScriptedUser user;
    QtPlatform platform;
    AppState app{platform};
    MainWindow window{app};
    int quits = 0;
};

} // namespace kestrune::test
