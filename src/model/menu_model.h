#pragma once
// The menu bar as plain data: every menu, its items, their shortcuts, and
// which of them can be chosen. The enabling states are the only place where
// items are enabled, disabled, checked or retitled; the shell mirrors the
// model into its actions after each command and decides nothing itself.
//
// Menus are known by number and items by their 1-based position, separators
// included; item 0 stands for the menu as a whole, so disabling it greys the
// whole menu while the items keep their own flags underneath.

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

namespace kestrune {

struct SortState;

namespace MenuNum {
constexpr int kApplication = 254;
constexpr int kFile = 1;
constexpr int kEdit = 3;
constexpr int kSort = 4;
constexpr int kCalculate = 5;
constexpr int kWindow = 100;
constexpr int kHelp = 50;
} // namespace MenuNum

// A shortcut is the primary modifier (Ctrl here) plus one key, and Shift
// when `shift` is set. `key` is the unshifted key as an ASCII character:
// capital letters, digits, '/' or ','. These codes equal the key codes of
// the usual toolkits, so the shell can pass them through.
struct Shortcut {
    char key = '\0';
    bool shift = false;

    bool empty() const { return key == '\0'; }
    bool operator==(const Shortcut&) const = default;
};

struct MenuItem {
    std::string title; // UTF-8
    Shortcut shortcut;
    bool enabled = true;
    bool checked = false;
    bool separator = false;
    // An item whose title is unknown keeps its position but is not shown.
    bool visible = true;
};

struct Menu {
    int number = 0;
    std::string title;
    bool enabled = true;         // item 0
    std::vector<MenuItem> items; // items[0] is item 1
};

struct MenuItemRef {
    int menu = 0;
    int item = 0;
    bool operator==(const MenuItemRef&) const = default;
};

// What a chosen item asks for. Items that carry a number (a sort key, a
// calculator) report it in MenuCommand::arg.
enum class Command : std::uint8_t {
    None, // a separator, or a position no menu has
    About,
    CheckForUpdates,
    Preferences,
    Quit,
    New,
    Open,
    Close,
    Save,
    SaveAs,
    SaveAsStationery,
    Import,
    Export,
    PageSetup,
    Print,
    Undo,
    Redo,
    Cut,
    Copy,
    Paste,
    Delete,
    SelectAll,
    SortKey, // arg: the key 1 .. 9, which is also the item
    SortAscending,
    SortDescending,
    Calculator,        // arg: calcItemID 1 Vap, 2 Sd, 3 Vd, 4 Feet to Metric
    MmsCalculator,     // never enabled
    AddMassCalculator, // never enabled
    Minimize,
    HelpManual,
    HelpDocument, // the document named at start-up (Help item 2)
    HelpParameters,
    HelpReleaseNotes,
    WebSite,
    MailToMaker,
};

struct MenuCommand {
    Command command = Command::None;
    int arg = 0;
    bool operator==(const MenuCommand&) const = default;
};

// The command of an item; Command::None for separators and unknown positions.
MenuCommand commandFor(int menu, int item);
// The item a shortcut belongs to, whether or not it is enabled now.
std::optional<MenuItemRef> findShortcut(Shortcut shortcut);

// What the Undo item offers; it sets the item's title and enabling.
enum class UndoKind : std::uint8_t {
    None,   // "Undo", disabled
    Cut,    // "Undo Cut", enabled
    Paste,  // "Undo Paste", enabled
    Delete, // "Undo", enabled
};

class MenuModel {
public:
    // Builds the menu bar in its no-sheet state (InitMenu1). Help item 2 is
    // titled helpDocumentTitle, the document named at start-up; when that
    // is empty the item stays in place, hidden and disabled.
    explicit MenuModel(std::string helpDocumentTitle = {});
    // Titles Help item 2 from the next rebuild on.
    void setHelpDocumentTitle(std::string title) { helpDocumentTitle_ = std::move(title); }

    // The menus in menu-bar order. A rebuild (InitMenu1, InitMenu2) renews
    // them, so references into them last until the next rebuild only.
    const std::vector<Menu>& menus() const { return menus_; }
    const Menu* findMenu(int number) const;
    const MenuItem* findItem(int menu, int item) const;
    // True when the item can be chosen now: shown, not a separator, enabled,
    // and in an enabled menu.
    bool usable(int menu, int item) const;

    // The enabling states. Each changes only the items it names.
    // InitMenu1 rebuilds every menu (titles, check marks, enabling) in the
    // no-sheet state; InitMenu2 is that followed by the sheet state.
    void InitMenu1(const SortState& sort);
    void InitMenu2(const SortState& sort);
    // After the Open or Import dialog was cancelled.
    void InitMenu3();
    // A dialog or secondary window ended while a sheet is open.
    void MenuEnable();
    // A secondary window ended while no sheet is open.
    void MenuEnableAtClose();
    // A dialog, question or secondary window is up. Edit stays enabled so
    // that the dialog's text fields keep Cut, Copy and Paste.
    void MenuDisable();
    // Quit stays usable while a window holds the menus: a download must
    // never keep the program from ending.
    void enableQuit();

    // Every redraw of a sheet makes the Sort and Calculate menus usable.
    void enableSheetMenus();
    // Puts the check marks on the current key and the current direction.
    void setSortMarks(const SortState& sort);
    void setUndo(UndoKind kind);

private:
    Menu& menuAt(int number);
    MenuItem& itemAt(int number, int position);
    // Position 0 stands for the whole menu.
    void setEnabled(int number, int position, bool enabled);
    void setEnabled(int number, std::initializer_list<int> positions, bool enabled);
    void enableApplicationItems(bool enabled);
    void setFileItemsForSheet();

    std::string helpDocumentTitle_;
    std::vector<Menu> menus_;
};

} // namespace kestrune
