#include "model/menu_states.h"

#include "model/app_state.h"

namespace kestrune {

void SetMenuState(AppState& app, MenuState state) {
    MenuModel& menus = app.menus;
    switch (state) {
    case MenuState::InitMenu1:
        menus.InitMenu1(app.sort);
        break;
    case MenuState::InitMenu2:
        menus.InitMenu2(app.sort);
        break;
    case MenuState::InitMenu3:
        menus.InitMenu3();
        break;
    case MenuState::MenuEnable:
        menus.MenuEnable();
        break;
    case MenuState::MenuEnableAtClose:
        menus.MenuEnableAtClose();
        break;
    case MenuState::MenuDisable:
        menus.MenuDisable();
        break;
    }
    app.platform().updateMenus(menus.menus());
}

} // namespace kestrune
