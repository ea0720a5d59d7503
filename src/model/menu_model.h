#pragma once
// The menu bar as plain data: every menu, its items, their shortcuts, and
// which of them can be chosen. The enabling states are the only place where
// items are enabled, disabled, checked or retitled; the shell mirrors the
// model into its actions after each command and decides nothing itself.
//
// Menus are known by number and items by their 1-based position, separators
// included; item 0 stands for the menu as a whole, so disabling it greys the
// whole menu while the items keep their own flags underneath. Inside the
// program an item is known by the command it carries: one table lists the
// items of every menu in order, and the enabling states name commands.

#include "ports/menu_view.h"

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

namespace kestrune {

struct SortState;

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
    // Builds the menu bar in its no-sheet state (InitMenu1). The Help item of
    // the document named at start-up is titled helpDocumentTitle; when that
    // is empty the item stays in place, hidden and disabled.
    explicit MenuModel(std::string helpDocumentTitle = {});
    // Titles that Help item from the next rebuild on.
    void setHelpDocumentTitle(std::string title) { helpDocumentTitle_ = std::move(title); }

    // The menus in menu-bar order. A rebuild (InitMenu1, InitMenu2) renews
    // them, so references into them last until the next rebuild only.
    const std::vector<Menu>& menus() const { return menus_; }
    const Menu* findMenu(int number) const;
    const MenuItem* findItem(int menu, int item) const;
    // The item that carries the command, or nullptr.
    const MenuItem* findItem(MenuCommand command) const;
    // True when the item can be chosen now: shown, not a separator, enabled,
    // and in an enabled menu.
    bool usable(int menu, int item) const;
    bool usable(MenuCommand command) const;

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
    // The one item that carries the command.
    MenuItem& itemFor(Command command);
    void setMenuEnabled(int number, bool enabled);
    // Every item that carries one of the commands, whatever its number.
    void setEnabled(std::initializer_list<Command> commands, bool enabled);
    void enableApplicationItems(bool enabled);
    void setFileItemsForSheet();

    std::string helpDocumentTitle_;
    std::vector<Menu> menus_;
};

} // namespace kestrune
