#include "services/preference_window.h"

#include "model/screen_fit.h"

#include "model/menu_states.h"
#include "sheet/sheet_redraw.h"

namespace kestrune {
namespace {

using Kind = ControlKind;

constexpr std::int32_t kWidth = 330;
constexpr std::int32_t kHeight = 300;
constexpr std::int32_t kDefaultLeft = 160;
constexpr std::int32_t kDefaultTop = 200;

// The box titles are in the desktop's own font, 13 pixels high, as the
// desktop's system font titled them where the window was laid out.
ControlView groupBox(std::int32_t number, ControlRect rect, std::string title) {
    ControlView c = MakeControl(number, Kind::GroupBox, rect, std::move(title));
    c.fontSize = 13;
    return c;
}

ControlView checkBox(std::int32_t number, ControlRect rect, std::string text, std::int32_t value) {
    ControlView c =
        MakeControl(number, Kind::CheckBox, rect, std::move(text), PrefControl::kLaunchBox);
    c.checked = value == 1;
    return c;
}

} // namespace

PreferenceView BuildPreferenceView(const AppState& app) {
    namespace P = PrefControl;
    const Preferences& p = app.prefs;
    PreferenceView view;
    view.title = "Kestrune Preferences";
    view.width = kWidth;
    view.height = kHeight;
    const bool remembered = p.BoundsCheck == 1;
    const WindowPlace place =
        FitOnScreens({remembered ? app.PrefeBounds.left : kDefaultLeft,
                      remembered ? app.PrefeBounds.top : kDefaultTop, kHeight},
                     kWidth, app.platform().screenAreas());
    view.left = place.left;
    view.top = place.top;

    view.controls.push_back(
        groupBox(P::kLaunchBox, {20, 10, 310, 135}, " Kestrune State on Launch"));
    view.controls.push_back(checkBox(P::kSavePosition, {32, 30, 280, 50},
                                     " Save Current Position of Window", p.BoundsCheck));
    view.controls.push_back(
        checkBox(P::kSound, {32, 60, 280, 80}, " Use Send/Copy Sound Effect", p.SoundCheck));
    view.controls.push_back(checkBox(P::kCheckUpdates, {32, 90, 280, 110},
                                     " Check for New Updates on Launch", p.UpdateForCheck));
    view.controls.push_back(
        groupBox(P::kTransmissionBox, {20, 145, 310, 240}, " Parameters Transmission Method"));
    ControlView group = MakeControl(P::kTransmission, Kind::RadioGroup, {13, 20, 273, 100}, "",
                                    P::kTransmissionBox);
    group.value = p.TransMethodCheck;
    view.controls.push_back(group);
    for (const auto& [number, value, rect, text] :
         {std::tuple{P::kSendDirect, 1, ControlRect{18, 10, 268, 28},
                     " Send Direct to Tarnwell's app"},
          std::tuple{P::kClipboard, 2, ControlRect{18, 40, 268, 58}, " Use Clipboard Course"}}) {
        ControlView radio = MakeControl(number, Kind::RadioButton, rect, text, P::kTransmission);
        radio.value = value;
        radio.checked = p.TransMethodCheck == value;
        view.controls.push_back(radio);
    }
    view.controls.push_back(MakeControl(P::kOK, Kind::DefaultButton, {240, 260, 310, 280}, "OK"));
    return view;
}

void PreferenceWnd(AppState& app) {
    if (app.flags.PrefWndOnFlag != 0) {
        return;
    }
    SetMenuState(app, MenuState::MenuDisable);
    app.flags.PrefWndOnFlag = 1;
    app.platform().openPreferencesWindow(BuildPreferenceView(app));
}

void PreferenceControlHit(AppState& app, std::int32_t control, std::int32_t value) {
    if (app.flags.PrefWndOnFlag == 0) {
        return;
    }
    Preferences& p = app.prefs;
    const std::int32_t ticked = value != 0 ? 1 : 0;
    switch (control) {
    case PrefControl::kSavePosition:
        p.BoundsCheck = ticked;
        break;
    case PrefControl::kSound:
        p.SoundCheck = ticked;
        break;
    case PrefControl::kCheckUpdates:
        p.UpdateForCheck = ticked;
        break;
    case PrefControl::kTransmission:
        if (value == 1 || value == 2) {
            p.TransMethodCheck = value;
        }
        break;
    case PrefControl::kOK:
        PreferenceWndOkReturn(app);
        return;
    default:
        return;
    }
    app.platform().updatePreferencesWindow(BuildPreferenceView(app));
}

void PreferenceWndOkReturn(AppState& app) {
    if (app.flags.PrefWndOnFlag == 0) {
        return;
    }
    app.flags.PrefWndOnFlag = 0;
    app.platform().closePreferencesWindow();
    if (app.flags.MainWndOpenFlag == 0) {
        SetMenuState(app, MenuState::MenuEnableAtClose);
        return;
    }
    SetMenuState(app, MenuState::MenuEnable);
    app.platform().raiseMainWindow();
    // The Send/Copy button follows the chosen method.
    app.platform().updateToolArea(BuildToolArea(app));
}

void PreferenceWindowMoved(AppState& app, const WindowBounds& content) {
    app.PrefeBounds = content;
}

} // namespace kestrune
