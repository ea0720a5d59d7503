#include "model/menu_model.h"

#include "model/sheet_state.h"

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
    Command command = Command::None; // None marks a separator
    int arg = 0;
};

struct MenuDef {
    int number;
    std::string_view title;
    std::span<const ItemDef> items;
};

constexpr ItemDef kSeparator{};

constexpr ItemDef itemDef(std::string_view title, Command command, char key = '\0',
                          bool shift = false, int arg = 0) {
    return ItemDef{title, Shortcut{key, shift}, command, arg};
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
constexpr int kAbout = 1;
constexpr int kCheckForUpdates = 2;
constexpr int kPreferences = 4;
constexpr int kQuit = 6;

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
constexpr int kNew = 1;
constexpr int kOpen = 2;
constexpr int kClose = 3;
constexpr int kSave = 5;
constexpr int kSaveAs = 6;
constexpr int kSaveAsStationery = 7;
constexpr int kImport = 9;
constexpr int kExport = 10;
constexpr int kPageSetup = 12;
constexpr int kPrint = 13;

constexpr std::array kEditItems{
    itemDef("Undo", Command::Undo, 'Z'),
    itemDef("Redo", Command::Redo, 'Z', true),
    kSeparator,
    itemDef("Cut", Command::Cut, 'X'),
    itemDef("Copy", Command::Copy, 'C'),
    itemDef("Paste", Command::Paste, 'V'),
    itemDef("Delete", Command::Delete),
    itemDef("Select All", Command::SelectAll, 'A'),
};
constexpr int kUndo = 1;
constexpr int kRedo = 2;
constexpr int kCut = 4;
constexpr int kCopy = 5;
constexpr int kPaste = 6;
constexpr int kDelete = 7;
constexpr int kSelectAll = 8;

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
};
constexpr int kLastSortKey = 9;
constexpr int kAscending = 11;
constexpr int kDescending = 12;

constexpr std::array kCalculateItems{
    itemDef("Vap...", Command::Calculator, '1', false, 1),
    itemDef("Sd...", Command::Calculator, '2', false, 2),
    itemDef("Vd...", Command::Calculator, '3', false, 3),
    itemDef("Feet to Metric...", Command::Calculator, '4', false, 4),
    itemDef("Mms...", Command::MmsCalculator, '5'),
    itemDef("Add Mass Calculator...", Command::AddMassCalculator, '6'),
};
constexpr int kMms = 5;
constexpr int kAddMass = 6;

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
constexpr int kHelpDocument = 2;

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
        it.shortcut = d.shortcut;
        it.separator = d.command == Command::None;
        menu.items.push_back(std::move(it));
    }
    return menu;
}

} // namespace

MenuCommand commandFor(int menu, int item) {
    const ItemDef* def = findDef(menu, item);
    return def == nullptr ? MenuCommand{} : MenuCommand{def->command, def->arg};
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

bool MenuModel::usable(int menu, int item) const {
    const MenuItem* it = findItem(menu, item);
    return it != nullptr && ItemUsable(*findMenu(menu), *it);
}

Menu& MenuModel::menuAt(int number) {
    for (Menu& m : menus_) {
        if (m.number == number) {
            return m;
        }
    }
    throw std::logic_error("no menu " + std::to_string(number));
}

MenuItem& MenuModel::itemAt(int number, int position) {
    return menuAt(number).items.at(static_cast<std::size_t>(position - 1));
}

void MenuModel::setEnabled(int number, int position, bool enabled) {
    if (position == 0) {
        menuAt(number).enabled = enabled;
    } else {
        itemAt(number, position).enabled = enabled;
    }
}

void MenuModel::setEnabled(int number, std::initializer_list<int> positions, bool enabled) {
    for (int position : positions) {
        setEnabled(number, position, enabled);
    }
}

void MenuModel::enableApplicationItems(bool enabled) {
    setEnabled(MenuNum::kApplication, {kAbout, kCheckForUpdates, kPreferences, kQuit}, enabled);
}

void MenuModel::setFileItemsForSheet() {
    setEnabled(MenuNum::kFile, {kNew, kOpen, kImport}, false);
    setEnabled(MenuNum::kFile,
               {kClose, kSave, kSaveAs, kSaveAsStationery, kExport, kPageSetup, kPrint}, true);
}

void MenuModel::InitMenu1(const SortState& sort) {
    menus_.clear();
    for (const MenuDef& def : kMenuBar) {
        menus_.push_back(buildMenu(def));
    }
    MenuItem& helpDocument = itemAt(MenuNum::kHelp, kHelpDocument);
    helpDocument.title = helpDocumentTitle_;
    helpDocument.visible = !helpDocumentTitle_.empty();
    helpDocument.enabled = helpDocument.visible;

    enableApplicationItems(true);
    setEnabled(MenuNum::kFile, {kNew, kOpen, kImport}, true);
    setEnabled(MenuNum::kFile,
               {kClose, kSave, kSaveAs, kSaveAsStationery, kExport, kPageSetup, kPrint}, false);
    setEnabled(MenuNum::kEdit, {0, kUndo, kRedo}, false);
    setEnabled(MenuNum::kEdit, {kCut, kCopy, kPaste, kDelete, kSelectAll}, true);
    setEnabled(MenuNum::kSort, 0, false);
    setSortMarks(sort);
    setEnabled(MenuNum::kCalculate, 0, false);
    setEnabled(MenuNum::kCalculate, {kMms, kAddMass}, true);
    setEnabled(MenuNum::kHelp, 0, true);
}

void MenuModel::InitMenu2(const SortState& sort) {
    InitMenu1(sort);
    enableApplicationItems(true);
    setFileItemsForSheet();
    setEnabled(MenuNum::kEdit, {0, kCut, kCopy, kPaste}, true);
    setEnabled(MenuNum::kEdit, kUndo, false);
    setEnabled(MenuNum::kSort, 0, true);
    setEnabled(MenuNum::kCalculate, 0, true);
    setEnabled(MenuNum::kHelp, 0, true);
}

void MenuModel::InitMenu3() {
    enableApplicationItems(true);
    // The File menu ends up as the sheet state leaves it, the menu itself
    // included.
    setEnabled(MenuNum::kFile, 0, true);
    setFileItemsForSheet();
    setEnabled(MenuNum::kEdit, 0, false);
    setEnabled(MenuNum::kSort, 0, false);
    setEnabled(MenuNum::kCalculate, 0, false);
    setEnabled(MenuNum::kHelp, 0, true);
}

void MenuModel::MenuEnable() {
    enableApplicationItems(true);
    for (int m :
         {MenuNum::kFile, MenuNum::kEdit, MenuNum::kSort, MenuNum::kCalculate, MenuNum::kHelp}) {
        setEnabled(m, 0, true);
    }
}

void MenuModel::MenuEnableAtClose() {
    enableApplicationItems(true);
    setEnabled(MenuNum::kFile, 0, true);
    setEnabled(MenuNum::kEdit, 0, false);
    setEnabled(MenuNum::kSort, 0, false);
    setEnabled(MenuNum::kCalculate, 0, false);
    setEnabled(MenuNum::kHelp, 0, true);
}

void MenuModel::MenuDisable() {
    enableApplicationItems(false);
    setEnabled(MenuNum::kFile, 0, false);
    setEnabled(MenuNum::kEdit, 0, true);
    setEnabled(MenuNum::kSort, 0, false);
    setEnabled(MenuNum::kCalculate, 0, false);
    setEnabled(MenuNum::kHelp, 0, false);
}

void MenuModel::enableQuit() {
    setEnabled(MenuNum::kApplication, kQuit, true);
}

void MenuModel::enableSheetMenus() {
    setEnabled(MenuNum::kSort, 0, true);
    setEnabled(MenuNum::kCalculate, 0, true);
}

void MenuModel::setSortMarks(const SortState& sort) {
    for (int i = 1; i <= kLastSortKey; ++i) {
        itemAt(MenuNum::kSort, i).checked = i == sort.sortItmID;
    }
    itemAt(MenuNum::kSort, kAscending).checked = sort.sendItmID == 1;
    itemAt(MenuNum::kSort, kDescending).checked = sort.sendItmID == 2;
}

void MenuModel::setUndo(UndoKind kind) {
    MenuItem& undo = itemAt(MenuNum::kEdit, kUndo);
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
