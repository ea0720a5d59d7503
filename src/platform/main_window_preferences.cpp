// The Preferences window beside the main window: created, mirrored and
// closed at the core's request; what the user does in it goes back to the core.

#include "model/app_state.h"
#include "platform/main_window.h"
#include "platform/preferences_dialog.h"
#include "services/preference_window.h"

namespace kestrune {

void MainWindow::openPreferences(const PreferenceView& view) {
    closePreferences();
    PreferencesDialogHandlers handlers;
    handlers.controlHit = [this](std::int32_t control, std::int32_t value) {
        PreferenceControlHit(app_, control, value);
    };
    handlers.moved = [this](QRect content) {
        PreferenceWindowMoved(app_, WindowBounds{static_cast<std::int16_t>(content.top()),
                                                 static_cast<std::int16_t>(content.left()),
                                                 static_cast<std::int16_t>(content.bottom() + 1),
                                                 static_cast<std::int16_t>(content.right() + 1)});
    };
    preferences_ = new PreferencesDialog(view, std::move(handlers), this);
    preferences_->show();
    preferences_->raise();
    preferences_->activateWindow();
}

void MainWindow::updatePreferences(const PreferenceView& view) {
    if (preferences_ != nullptr) {
        preferences_->apply(view);
    }
}

void MainWindow::closePreferences() {
    if (preferences_ != nullptr) {
        preferences_->closeFromCore();
        preferences_ = nullptr;
    }
}

void MainWindow::bringToFront() {
    raise();
    activateWindow();
}

} // namespace kestrune
