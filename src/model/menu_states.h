#pragma once
// The named enabling states of the menu bar, applied to the application's
// menus and handed to the window.

namespace kestrune {

class AppState;

enum class MenuState {
    InitMenu1,
    InitMenu2,
    InitMenu3,
    MenuEnable,
    MenuEnableAtClose,
    MenuDisable
};

void SetMenuState(AppState& app, MenuState state);

} // namespace kestrune
