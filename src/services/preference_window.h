#pragma once
// The Preferences window (window 4): three switches and the way parameters
// go to Tarnwell. A click takes effect at once; there is no cancel, and
// nothing is stored until the program quits.

#include "model/app_state.h"
#include "ports/window_views.h"

namespace kestrune {

namespace PrefControl {
constexpr std::int32_t kLaunchBox = 85;
constexpr std::int32_t kSavePosition = 86;
constexpr std::int32_t kSound = 87;
constexpr std::int32_t kCheckUpdates = 88;
constexpr std::int32_t kTransmissionBox = 89;
constexpr std::int32_t kTransmission = 90;
constexpr std::int32_t kSendDirect = 91;
constexpr std::int32_t kClipboard = 92;
constexpr std::int32_t kOK = 93;
} // namespace PrefControl

// The window as the settings stand now, placed at PrefeBounds when
// BoundsCheck is 1, else at (160, 200).
PreferenceView BuildPreferenceView(const AppState& app);

// The application menu's "Preference...": the menus are disabled and the
// window opens (once).
void PreferenceWnd(AppState& app);
// A click in the window: a check box's new state (1 ticked, 0 not), the
// radio group's choice (1 or 2), or OK.
void PreferenceControlHit(AppState& app, std::int32_t control, std::int32_t value);
// OK, Return, Enter and the close box: the window closes and the main window
// is brought up to date.
void PreferenceWndOkReturn(AppState& app);
// The window was moved: its content rectangle is remembered.
void PreferenceWindowMoved(AppState& app, const WindowBounds& content);

} // namespace kestrune
