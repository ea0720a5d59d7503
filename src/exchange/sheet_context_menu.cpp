#include "exchange/sheet_context_menu.h"

#include "exchange/edit_menu.h"
#include "model/app_state.h"
#include "model/edit_menu_state.h"
#include "model/sheet_state.h"

#include <array>

namespace kestrune {
namespace {

// The part of the edit field that answers a contextual click.
constexpr std::int32_t kEditFieldLeft = 208;
constexpr std::int32_t kEditFieldTop = 17;
constexpr std::int32_t kEditFieldBottom = 33;
constexpr std::int32_t kEditFieldMenuRight = 316;

constexpr std::int32_t kMenuAboveClick = 20;

constexpr std::array kCommandOf = {Command::Cut, Command::Copy, Command::Paste, Command::Delete,
                                   Command::SelectAll};

} // namespace

bool SheetContextMenuOpensAt(const AppState& app, std::int32_t x, std::int32_t y) {
    if (y > kSheetHeaderBottom) {
        return true;
    }
    return app.sel.cellH != 0 && x >= kEditFieldLeft && x < kEditFieldMenuRight &&
           y >= kEditFieldTop && y <= kEditFieldBottom;
}

void SheetContextClick(AppState& app, std::int32_t x, std::int32_t y) {
    if (app.flags.MainWndOpenFlag == 0 || app.flags.EditWndNum != 1 ||
        !SheetContextMenuOpensAt(app, x, y)) {
        return;
    }
    // "Past" is the item's title as the program has always had it.
    const std::vector<ContextMenuItem> items = {
        {"Cut"}, {"Copy"}, {"Past"}, {"Delete"}, {"Select All"}};
    app.platform().showContextMenu(items, x, y - kMenuAboveClick, [&app](int chosen) {
        if (chosen >= 1 && chosen <= static_cast<int>(kCommandOf.size())) {
            EditMenuForMainWnd(app, kCommandOf[static_cast<std::size_t>(chosen - 1)]);
        }
    });
}

} // namespace kestrune
