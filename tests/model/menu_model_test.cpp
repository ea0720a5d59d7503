#include "model/menu_model.h"
#include "model/sheet_state.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <utility>

namespace kestrune {
namespace {

using namespace MenuNum;
using Ref = std::pair<int, int>;
using Refs = std::set<Ref>;

Refs itemsOf(const MenuModel& model, bool (*pick)(const MenuModel&, int, int)) {
    Refs out;
    for (const Menu& m : model.menus()) {
        for (int i = 1; i <= static_cast<int>(m.items.size()); ++i) {
            if (pick(model, m.number, i)) {
                out.insert({m.number, i});
            }
        }
    }
    return out;
}
Refs usable(const MenuModel& model) {
    return itemsOf(model, [](const MenuModel& mm, int m, int i) { return mm.usable(m, i); });
}
Refs checked(const MenuModel& model) {
    return itemsOf(model,
                   [](const MenuModel& mm, int m, int i) { return mm.findItem(m, i)->checked; });
}

// Union of the given items of several menus.
Refs refs(std::initializer_list<std::pair<int, std::initializer_list<int>>> groups) {
    Refs out;
    for (const auto& [menu, items] : groups) {
        for (int i : items) {
            out.insert({menu, i});
        }
    }
    return out;
}

const Refs kNoSheet = refs({{kApplication, {1, 2, 4, 6}},
                            {kFile, {1, 2, 9}},
                            {kWindow, {1}},
                            {kHelp, {1, 2, 3, 4, 6, 7}}});
const Refs kSheet = refs({{kApplication, {1, 2, 4, 6}},
                          {kFile, {3, 5, 6, 7, 10, 12, 13}},
                          {kEdit, {4, 5, 6, 7, 8, 10, 11}},
                          {kSort, {1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 12, 14, 15}},
                          {kCalculate, {1, 2, 3, 4, 5, 6, 8}},
                          {kWindow, {1}},
                          {kHelp, {1, 2, 3, 4, 6, 7}}});

TEST(MenuModelTest, NoSheetStateOffersOnlyWhatNeedsNoSheet) {
    MenuModel model("Manual JP");
    EXPECT_EQ(usable(model), kNoSheet);
    EXPECT_EQ(model.findItem(kHelp, 2)->title, "Manual JP");

    model.MenuDisable();
    model.MenuEnableAtClose();
    EXPECT_EQ(usable(model), kNoSheet);

    MenuModel untitled;
    EXPECT_FALSE(untitled.findItem(kHelp, 2)->visible);
    EXPECT_FALSE(untitled.usable(kHelp, 2));
    EXPECT_EQ(untitled.findItem(kHelp, 6)->title, "Orvane Audio Web Site");
}

TEST(MenuModelTest, SheetStateAndDialogsAroundIt) {
    MenuModel model("Doc");
    model.InitMenu2(SortState{});
    EXPECT_EQ(usable(model), kSheet);

    // A dialog leaves Edit for its text fields; its end restores everything.
    model.MenuDisable();
    EXPECT_EQ(usable(model), refs({{kEdit, {4, 5, 6, 7, 8}}, {kWindow, {1}}}));
    model.MenuEnable();
    EXPECT_EQ(usable(model), kSheet);

    // A redraw brings Sort and Calculate back, and nothing else.
    model.MenuDisable();
    model.enableSheetMenus();
    EXPECT_EQ(usable(model), refs({{kEdit, {4, 5, 6, 7, 8}},
                                   {kSort, {1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 12, 14, 15}},
                                   {kCalculate, {1, 2, 3, 4, 5, 6, 8}},
                                   {kWindow, {1}}}));
}

TEST(MenuModelTest, CancelledOpenGivesTheSheetFileItemsWithoutSheetMenus) {
    MenuModel model("Doc");
    model.MenuDisable();
    model.InitMenu3();
    EXPECT_EQ(usable(model), refs({{kApplication, {1, 2, 4, 6}},
                                   {kFile, {3, 5, 6, 7, 10, 12, 13}},
                                   {kWindow, {1}},
                                   {kHelp, {1, 2, 3, 4, 6, 7}}}));
}

TEST(MenuModelTest, SortMarksFollowKeyAndDirectionAlsoAfterRebuild) {
    MenuModel model;
    EXPECT_EQ(checked(model), refs({{kSort, {1, 11}}}));

    SortState sort;
    sort.sortItmID = 7;
    sort.sendItmID = 2;
    model.setSortMarks(sort);
    EXPECT_EQ(checked(model), refs({{kSort, {7, 12}}}));
    sort.sortItmID = 1; // "Unsort" leaves the direction mark alone
    model.setSortMarks(sort);
    EXPECT_EQ(checked(model), refs({{kSort, {1, 12}}}));

    sort.sortItmID = 4;
    model.InitMenu2(sort);
    EXPECT_EQ(checked(model), refs({{kSort, {4, 12}}}));
    model.InitMenu1(sort);
    EXPECT_EQ(checked(model), refs({{kSort, {4, 12}}}));
}

TEST(MenuModelTest, UndoTitleAndEnablingFollowTheLastUndoableCommand) {
    MenuModel model;
    model.InitMenu2(SortState{});
    const std::pair<UndoKind, const char*> cases[] = {{UndoKind::Cut, "Undo Cut"},
                                                      {UndoKind::None, "Undo"},
                                                      {UndoKind::Delete, "Undo"},
                                                      {UndoKind::Paste, "Undo Paste"}};
    for (const auto& [kind, title] : cases) {
        model.setUndo(kind);
        EXPECT_EQ(model.findItem(kEdit, 1)->title, title);
        EXPECT_EQ(model.usable(kEdit, 1), kind != UndoKind::None) << title;
    }

    // A new sheet starts with nothing to undo; Redo is never offered.
    model.InitMenu2(SortState{});
    EXPECT_EQ(model.findItem(kEdit, 1)->title, "Undo");
    EXPECT_FALSE(model.usable(kEdit, 1));
    EXPECT_FALSE(model.usable(kEdit, 2));
}

TEST(MenuModelTest, EveryShortcutReachesItsOwnItem) {
    const std::pair<Shortcut, Ref> table[] = {
        {{'N'}, {kFile, 1}},        {{'O'}, {kFile, 2}},       {{'W'}, {kFile, 3}},
        {{'S'}, {kFile, 5}},        {{'S', true}, {kFile, 6}}, {{'P', true}, {kFile, 12}},
        {{'P'}, {kFile, 13}},       {{'Z'}, {kEdit, 1}},       {{'Z', true}, {kEdit, 2}},
        {{'X'}, {kEdit, 4}},        {{'C'}, {kEdit, 5}},       {{'V'}, {kEdit, 6}},
        {{'A'}, {kEdit, 8}},        {{'U'}, {kSort, 1}},       {{'D', true}, {kSort, 11}},
        {{'D'}, {kSort, 12}},       {{'1'}, {kCalculate, 1}},  {{'2'}, {kCalculate, 2}},
        {{'3'}, {kCalculate, 3}},   {{'4'}, {kCalculate, 4}},  {{'5'}, {kCalculate, 5}},
        {{'6'}, {kCalculate, 6}},   {{'/'}, {kHelp, 1}},       {{','}, {kApplication, 4}},
        {{'Q'}, {kApplication, 6}}, {{'M'}, {kWindow, 1}},     {{'F'}, {kEdit, 10}},
        {{'G'}, {kEdit, 11}},       {{'K'}, {kCalculate, 8}},
    };
    Refs expected;
    for (const auto& [shortcut, ref] : table) {
        const auto found = findShortcut(shortcut);
        ASSERT_TRUE(found.has_value()) << shortcut.key << shortcut.shift;
        EXPECT_EQ(Ref(found->menu, found->item), ref) << shortcut.key << shortcut.shift;
        expected.insert(ref);
    }
    EXPECT_FALSE(findShortcut({'N', true}).has_value());
    EXPECT_FALSE(findShortcut({}).has_value());

    // The menus show these shortcuts and no others, each on one item only.
    MenuModel model("Doc");
    std::set<std::pair<char, bool>> seen;
    const Refs withShortcut = itemsOf(model, [](const MenuModel& mm, int m, int i) {
        return !mm.findItem(m, i)->shortcut.empty();
    });
    EXPECT_EQ(withShortcut, expected);
    for (const auto& [m, i] : withShortcut) {
        const Shortcut s = model.findItem(m, i)->shortcut;
        EXPECT_TRUE(seen.insert({s.key, s.shift}).second) << m << "/" << i;
    }
}

TEST(MenuModelTest, ItemsMapToOneCommandEachAndSeparatorsToNone) {
    EXPECT_EQ(commandFor(kFile, 9), (MenuCommand{Command::Import, 0}));
    EXPECT_EQ(commandFor(kSort, 2), (MenuCommand{Command::SortKey, 2}));
    EXPECT_EQ(commandFor(kSort, 12), (MenuCommand{Command::SortDescending, 0}));
    EXPECT_EQ(commandFor(kCalculate, 4), (MenuCommand{Command::Calculator, 4}));
    EXPECT_EQ(commandFor(kApplication, 6).command, Command::Quit);
    EXPECT_EQ(commandFor(kHelp, 2).command, Command::HelpDocument);
    EXPECT_EQ(commandFor(kEdit, 9).command, Command::None);
    EXPECT_EQ(commandFor(7, 1).command, Command::None);

    MenuModel model("Doc");
    std::set<std::pair<Command, int>> seen;
    for (const Menu& m : model.menus()) {
        for (int i = 1; i <= static_cast<int>(m.items.size()); ++i) {
            const MenuCommand c = commandFor(m.number, i);
            EXPECT_EQ(model.findItem(m.number, i)->separator, c.command == Command::None);
            if (c.command != Command::None) {
                EXPECT_TRUE(seen.insert({c.command, c.arg}).second) << m.number << "/" << i;
            }
        }
    }
}

TEST(MenuModelTest, EveryItemIsFoundByItsCommandInEveryState) {
    MenuModel model("Doc");
    const std::pair<const char*, std::function<void()>> states[] = {
        {"no sheet", [] {}},
        {"sheet", [&] { model.InitMenu2(SortState{}); }},
        {"dialog", [&] { model.MenuDisable(); }},
        {"cancelled open", [&] { model.InitMenu3(); }},
        {"undo",
         [&] {
             model.InitMenu2(SortState{});
             model.setUndo(UndoKind::Paste);
         }},
    };
    for (const auto& [name, enter] : states) {
        enter();
        for (const Menu& m : model.menus()) {
            for (int i = 1; i <= static_cast<int>(m.items.size()); ++i) {
                const MenuCommand command = commandFor(m.number, i);
                const MenuItem* item = model.findItem(m.number, i);
                EXPECT_EQ(item->command, command) << name << " " << m.number << "/" << i;
                if (command.command != Command::None) {
                    EXPECT_EQ(model.findItem(command), item) << name << " " << m.number << "/" << i;
                    EXPECT_EQ(model.usable(command), model.usable(m.number, i))
                        << name << " " << m.number << "/" << i;
                }
            }
        }
    }
    EXPECT_EQ(model.findItem(MenuCommand{Command::SortKey, 12}), nullptr);
    EXPECT_EQ(model.findItem(MenuCommand{Command::Calculator, 0}), nullptr);
    EXPECT_FALSE(model.usable(MenuCommand{}));
}

} // namespace
} // namespace kestrune
