#pragma once
// The menu bar as the desktop mirrors it: every menu, its items, their
// shortcuts and states, and what each item asks for.

#include <cstdint>
#include <string>
#include <vector>

namespace kestrune {

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
    Find,
    FindNext,
    SortKey, // arg: the sort key (sortItmID)
    SortAscending,
    SortDescending,
    Calculator,        // arg: calcItemID 1 Vap, 2 Sd, 3 Vd, 4 Feet to Metric
    MmsCalculator,     // the Mms calculator (Calculate item 5)
    AddMassCalculator, // the Add Mass calculator (Calculate item 6)
    CheckParameters,
    Minimize,
    HelpManual,
    HelpDocument, // the document named at start-up
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

struct MenuItem {
    std::string title; // UTF-8
    // What the item asks for; Command::None for a separator.
    MenuCommand command;
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

// True when an item of menu can be chosen now: shown, not a separator,
// enabled, and in an enabled menu.
inline bool ItemUsable(const Menu& menu, const MenuItem& item) {
    return menu.enabled && item.enabled && item.visible && !item.separator;
}

} // namespace kestrune
