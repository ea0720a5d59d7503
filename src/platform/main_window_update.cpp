// The update window beside the main window: created, mirrored and closed at
// the core's request; what the user does in it goes back to the core.

#include "model/app_state.h"
#include "platform/main_window.h"
#include "platform/update_dialog.h"
#include "services/update_check.h"

namespace kestrune {

void MainWindow::openUpdate(const UpdateView& view) {
    closeUpdate();
    UpdateDialogHandlers handlers;
    handlers.controlHit = [this](std::int32_t control, std::int32_t value) {
        UpdateControlHit(app_, control, value);
    };
    handlers.returnKey = [this] { UpdateWndReturnKey(app_); };
    handlers.closeBox = [this] { UpdateWndCloseBox(app_); };
    handlers.quitKey = [this] { UpdateWndQuitKey(app_); };
    update_ = new UpdateDialog(view, std::move(handlers), this);
    update_->show();
    update_->raise();
    update_->activateWindow();
}

void MainWindow::updateUpdate(const UpdateView& view) {
    if (update_ != nullptr) {
        update_->apply(view);
    }
}

void MainWindow::closeUpdate() {
    if (update_ != nullptr) {
        update_->closeFromCore();
        update_ = nullptr;
    }
}

} // namespace kestrune
