#include "model/menu_model.h"

#include "model/sheet_state.h"

#include <algorithm>
#include <array>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

namespace kestrune {

namespace {

struct ItemDef {
    std::string_view title;
    Shortcut shortcut;
    MenuCommand command; // Command::None marks a separator
};

struct MenuDef {
    int number;
    std::string_view title;
    std::span<const ItemDef> items;
};

constexpr ItemDef kSeparator{};

// Each line of the tables below is one item, in menu order; the enabling
// states further down name an item by its command, never by its position.
constexpr ItemDef itemDef(std::string_view title, Command command, char key = '\0',
                          bool shift = false, int arg = 0) {
    return ItemDef{title, Shortcut{key, shift}, MenuCommand{command, arg}};
}

// Quit sits at the end of the application menu behind a separator, as the
// desktop's own application menus have it.
constexpr std::array kApplicationItems{
    itemDef("About Kestrune", Command::About),
    itemDef("Check for Updates...", Command::CheckForUpdates),
    kSeparator,
    itemDef("Preference...", Command::Preferences, ','),
    kSeparator,
    itemDef("Quit Kestrune", Command::Quit, 'Q'),
};

constexpr std::array kFileItems{
    itemDef("New Data Sheet...", Command::New, 'N'),
    itemDef("Open...", Command::Open, 'O'),
    itemDef("Close", Command::Close, 'W'),
    kSeparator,
    itemDef("Save", Command::Save, 'S'),
    itemDef("Save As...", Command::SaveAs, 'S', true),
    itemDef("Save As Stationery...", Command::SaveAsStationery),
    kSeparator,
    itemDef("Import CSV, TXT...", Command::Import),
    itemDef("Export CSV...", Command::Export),
    kSeparator,
    itemDef("Page Setup...", Command::PageSetup, 'P', true),
    itemDef("Print...", Command::Print, 'P'),
};

constexpr std::array kEditItems{
    itemDef("Undo", Command::Undo, 'Z'),
    itemDef("Redo", Command::Redo, 'Z', true),
    kSeparator,
    itemDef("Cut", Command::Cut, 'X'),
    itemDef("Copy", Command::Copy, 'C'),
    itemDef("Paste", Command::Paste, 'V'),
    itemDef("Delete", Command::Delete),
    itemDef("Select All", Command::SelectAll, 'A'),
    kSeparator,
    itemDef("Find...", Command::Find, 'F'),
    itemDef("Find Next", Command::FindNext, 'G'),
};

constexpr std::array kSortItems{
    itemDef("Unsort", Command::SortKey, 'U', false, 1),
    itemDef("Diameter", Command::SortKey, '\0', false, 2),
    itemDef("Fp", Command::SortKey, '\0', false, 3),
    itemDef("Vap", Command::SortKey, '\0', false, 4),
    itemDef("Qmp", Command::SortKey, '\0', false, 5),
    itemDef("Sd", Command::SortKey, '\0', false, 6),
    itemDef("Xmax", Command::SortKey, '\0', false, 7),
    itemDef("Vd", Command::SortKey, '\0', false, 8),
    itemDef("Mms", Command::SortKey, '\0', false, 9),
    kSeparator,
    itemDef("Ascending", Command::SortAscending, 'D', true),
    itemDef("Descending", Command::SortDescending, 'D'),
    kSeparator,
    itemDef("Manufacturer", Command::SortKey, '\0', false, 10),
    itemDef("Model Name", Command::SortKey, '\0', false, 11),
};

constexpr std::array kCalculateItems{
    itemDef("Vap...", Command::Calculator, '1', false, 1),
    itemDef("Sd...", Command::Calculator, '2', false, 2),
    itemDef("Vd...", Command::Calculator, '3', false, 3),
    itemDef("Feet to Metric...", Command::Calculator, '4', false, 4),
    itemDef("Mms...", Command::MmsCalculator, '5'),
    itemDef("Add Mass Calculator...", Command::AddMassCalculator, '6'),
    kSeparator,
    itemDef("Check Parameters", Command::CheckParameters, 'K'),
};

// The desktop has no standard Window menu to borrow, so the menu holds the
// one window command every desktop offers. It is left out of the enabling
// states: minimizing the one main window is always possible.
constexpr std::array kWindowItems{
    itemDef("Minimize", Command::Minimize, 'M'),
};

constexpr std::array kHelpItems{
    itemDef("Kestrune's Manual", Command::HelpManual, '/'),
    itemDef("", Command::HelpDocument), // titled at start-up
    itemDef("Thiele Small Parameters Description", Command::HelpParameters),
    itemDef("Release Notes", Command::HelpReleaseNotes),
    kSeparator,
    itemDef("Orvane Audio Web Site", Command::WebSite),
    itemDef("Mail to Orvane Audio", Command::MailToMaker),
};

constexpr std::array kMenuBar{
    MenuDef{MenuNum::kApplication, "Kestrune", kApplicationItems},
    MenuDef{MenuNum::kFile, "File", kFileItems},
    MenuDef{MenuNum::kEdit, "Edit", kEditItems},
    MenuDef{MenuNum::kSort, "Sort", kSortItems},
    MenuDef{MenuNum::kCalculate, "Calculate", kCalculateItems},
    MenuDef{MenuNum::kWindow, "Window", kWindowItems},
    MenuDef{MenuNum::kHelp, "Help", kHelpItems},
};

const ItemDef* findDef(int menu, int item) {
    for (const MenuDef& def : kMenuBar) {
        if (def.number == menu) {
            if (item < 1 || static_cast<std::size_t>(item) > def.items.size()) {
                return nullptr;
            }
            return &def.items[static_cast<std::size_t>(item - 1)];
        }
    }
    return nullptr;
}

Menu buildMenu(const MenuDef& def) {
    Menu menu;
    menu.number = def.number;
    menu.title = def.title;
    for (const ItemDef& d : def.items) {
        MenuItem it;
        it.title = d.title;
        it.command = d.command;
        it.shortcut = d.shortcut;
        it.separator = d.command.command == Command::None;
        menu.items.push_back(std::move(it));
    }
    return menu;
}

} // namespace

MenuCommand commandFor(int menu, int item) {
    const ItemDef* def = findDef(menu, item);
    return def == nullptr ? MenuCommand{} : def->command;
}

std::optional<MenuItemRef> findShortcut(Shortcut shortcut) {
    if (shortcut.empty()) {
        return std::nullopt;
    }
    for (const MenuDef& def : kMenuBar) {
        for (std::size_t i = 0; i < def.items.size(); ++i) {
            if (def.items[i].shortcut == shortcut) {
                return MenuItemRef{def.number, static_cast<int>(i) + 1};
            }
        }
    }
    return std::nullopt;
}

MenuModel::MenuModel(std::string helpDocumentTitle)
    : helpDocumentTitle_(std::move(helpDocumentTitle)) {
    InitMenu1(SortState{});
}

const Menu* MenuModel::findMenu(int number) const {
    for (const Menu& m : menus_) {
        if (m.number == number) {
            return &m;
        }
    }
    return nullptr;
}

const MenuItem* MenuModel::findItem(int menu, int item) const {
    const Menu* m = findMenu(menu);
    if (m == nullptr || item < 1 || static_cast<std::size_t>(item) > m->items.size()) {
        return nullptr;
    }
    return &m->items[static_cast<std::size_t>(item - 1)];
}

const MenuItem* MenuModel::findItem(MenuCommand command) const {
    for (const Menu& m : menus_) {
        for (const MenuItem& it : m.items) {
            if (it.command == command) {
                return &it;
            }
        }
    }
    return nullptr;
}

bool MenuModel::usable(int menu, int item) const {
    const MenuItem* it = findItem(menu, item);
    return it != nullptr && ItemUsable(*findMenu(menu), *it);
}

bool MenuModel::usable(MenuCommand command) const {
    for (const Menu& m : menus_) {
        for (const MenuItem& it : m.items) {
            if (it.command == command) {
                return ItemUsable(m, it);
            }
        }
    }
    return false;
}

Menu& MenuModel::menuAt(int number) {
    for (Menu& m : menus_) {
        if (m.number == number) {
            return m;
        }
    }
    throw std::logic_error("no menu " + std::to_string(number));
}

MenuItem& MenuModel::itemFor(Command command) {
    for (Menu& m : menus_) {
        for (MenuItem& it : m.items) {
            if (it.command.command == command) {
                return it;
            }
        }
    }
    throw std::logic_error("no menu item for command " + std::to_string(static_cast<int>(command)));
}

void MenuModel::setMenuEnabled(int number, bool enabled) {
    menuAt(number).enabled = enabled;
}

void MenuModel::setEnabled(std::initializer_list<Command> commands, bool enabled) {
    for (Menu& m : menus_) {
        for (MenuItem& it : m.items) {
            if (std::find(commands.begin(), commands.end(), it.command.command) != commands.end()) {
                it.enabled = enabled;
            }
        }
    }
}

void MenuModel::enableApplicationItems(bool enabled) {
    setEnabled({Command::About, Command::CheckForUpdates, Command::Preferences, Command::Quit},
               enabled);
}

// What works on the sheet, and what makes or opens one in its place.
void MenuModel::setFileItemsForSheet() {
    setEnabled({Command::New, Command::Open, Command::Import}, false);
    setEnabled({Command::Close, Command::Save, Command::SaveAs, Command::SaveAsStationery,
                Command::Export, Command::PageSetup, Command::Print},
               true);
}

void MenuModel::InitMenu1(const SortState& sort) {
    menus_.clear();
    for (const MenuDef& def : kMenuBar) {
        menus_.push_back(buildMenu(def));
    }
    MenuItem& helpDocument = itemFor(Command::HelpDocument);
    helpDocument.title = helpDocumentTitle_;
    helpDocument.visible = !helpDocumentTitle_.empty();
    helpDocument.enabled = helpDocument.visible;

    enableApplicationItems(true);
    setEnabled({Command::New, Command::Open, Command::Import}, true);
    setEnabled({Command::Close, Command::Save, Command::SaveAs, Command::SaveAsStationery,
                Command::Export, Command::PageSetup, Command::Print},
               false);
    setMenuEnabled(MenuNum::kEdit, false);
    setEnabled({Command::Undo, Command::Redo}, false);
    setEnabled({Command::Cut, Command::Copy, Command::Paste, Command::Delete, Command::SelectAll},
               true);
    setMenuEnabled(MenuNum::kSort, false);
    setSortMarks(sort);
    setMenuEnabled(MenuNum::kCalculate, false);
    setEnabled({Command::MmsCalculator, Command::AddMassCalculator}, true);
    setMenuEnabled(MenuNum::kHelp, true);
}

void MenuModel::InitMenu2(const SortState& sort) {
    InitMenu1(sort);
    enableApplicationItems(true);
    setFileItemsForSheet();
    setMenuEnabled(MenuNum::kEdit, true);
    setEnabled({Command::Cut, Command::Copy, Command::Paste}, true);
    setEnabled({Command::Undo}, false);
    setMenuEnabled(MenuNum::kSort, true);
    setMenuEnabled(MenuNum::kCalculate, true);
    setMenuEnabled(MenuNum::kHelp, true);
}

void MenuModel::InitMenu3() {
    enableApplicationItems(true);
    // The File menu ends up as the sheet state leaves it, the menu itself
    // included.
    setMenuEnabled(MenuNum::kFile, true);
    setFileItemsForSheet();
    setMenuEnabled(MenuNum::kEdit, false);
    setMenuEnabled(MenuNum::kSort, false);
    setMenuEnabled(MenuNum::kCalculate, false);
    setMenuEnabled(MenuNum::kHelp, true);
}

void MenuModel::MenuEnable() {
    enableApplicationItems(true);
    setEnabled({Command::Find, Command::FindNext}, true);
    for (int m :
         {MenuNum::kFile, MenuNum::kEdit, MenuNum::kSort, MenuNum::kCalculate, MenuNum::kHelp}) {
        setMenuEnabled(m, true);
    }
}

void MenuModel::MenuEnableAtClose() {
    enableApplicationItems(true);
    setMenuEnabled(MenuNum::kFile, true);
    setMenuEnabled(MenuNum::kEdit, false);
    setMenuEnabled(MenuNum::kSort, false);
    setMenuEnabled(MenuNum::kCalculate, false);
    setMenuEnabled(MenuNum::kHelp, true);
}

void MenuModel::MenuDisable() {
    enableApplicationItems(false);
    // The dialog's fields keep the Edit menu, but not the sheet's Find.
    setEnabled({Command::Find, Command::FindNext}, false);
    setMenuEnabled(MenuNum::kFile, false);
    setMenuEnabled(MenuNum::kEdit, true);
    setMenuEnabled(MenuNum::kSort, false);
    setMenuEnabled(MenuNum::kCalculate, false);
    setMenuEnabled(MenuNum::kHelp, false);
}

void MenuModel::enableQuit() {
    setEnabled({Command::Quit}, true);
}

void MenuModel::enableSheetMenus() {
    setMenuEnabled(MenuNum::kSort, true);
    setMenuEnabled(MenuNum::kCalculate, true);
}

// The mark of the key on its item, that of the direction on one of the two.
void MenuModel::setSortMarks(const SortState& sort) {
    for (Menu& m : menus_) {
        for (MenuItem& it : m.items) {
            switch (it.command.command) {
            case Command::SortKey:
                it.checked = it.command.arg == sort.sortItmID;
                break;
            case Command::SortAscending:
                it.checked = sort.sendItmID == 1;
                break;
            case Command::SortDescending:
                it.checked = sort.sendItmID == 2;
                break;
            default:
                break;
            }
        }
    }
}

void MenuModel::setUndo(UndoKind kind) {
    MenuItem& undo = itemFor(Command::Undo);
    switch (kind) {
    case UndoKind::None:
    case UndoKind::Delete:
        undo.title = "Undo";
        break;
    case UndoKind::Cut:
        undo.title = "Undo Cut";
        break;
    case UndoKind::Paste:
        undo.title = "Undo Paste";
        break;
    }
    undo.enabled = kind != UndoKind::None;
}

} // namespace kestrune
