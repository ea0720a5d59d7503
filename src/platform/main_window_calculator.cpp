// The main window's calculator dialog: created, mirrored and closed at the
// core's request; what the user does in it goes back to the core.

#include "application/commands.h"
#include "calculators/calculator_window.h"
#include "model/app_state.h"
#include "platform/calculator_dialog.h"
#include "platform/main_window.h"

namespace kestrune {

void MainWindow::openCalculator(const CalculatorView& view) {
    closeCalculator();
    CalculatorDialogHandlers handlers;
    handlers.controlHit = [this](std::int32_t control, std::int32_t value) {
        CalculatorControlHit(app_, control, value);
    };
    handlers.keyDown = [this](std::int32_t charCode, KeyModifiers modifiers) {
        return CalculatorKeyDown(app_, charCode, modifiers);
    };
    handlers.fieldFocused = [this](std::int32_t control) { CalculatorFieldFocused(app_, control); };
    handlers.menuShortcut = [this](int menu, int item) {
        if (app_.menus.usable(menu, item)) {
            DispatchMenuCommand(app_, menu, item);
        }
    };
    calculator_ = new CalculatorDialog(view, std::move(handlers), this);
    calculator_->show();
}

void MainWindow::updateCalculator(const CalculatorView& view) {
    if (calculator_ != nullptr) {
        calculator_->apply(view);
    }
}

void MainWindow::closeCalculator() {
    if (calculator_ != nullptr) {
        // Called from the dialog's own handlers: it goes once they return.
        calculator_->closeFromCore();
        calculator_ = nullptr;
        // The sheet window takes the keyboard back, also where no window
        // manager hands it over.
        activateWindow();
    }
}

} // namespace kestrune
