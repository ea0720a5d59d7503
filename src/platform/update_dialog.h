#pragma once
// The update window: a window of its own, centred on the screen, laid out
// from the core's description and brought up to date as it changes; its
// buttons, its check box, Return, Enter, Escape, the close box and Ctrl+Q
// (which the main window's menus do not hear here) go back to the core.

#include "model/update_state.h"

#include "platform/control_widgets.h"
#include "platform/core_window.h"

#include <functional>

namespace kestrune {

struct UpdateDialogHandlers {
    std::function<void(std::int32_t control, std::int32_t value)> controlHit;
    std::function<void()> returnKey;
    std::function<void()> closeBox;
    std::function<void()> quitKey;
};

class UpdateDialog final : public CoreWindow {
    Q_OBJECT
public:
    UpdateDialog(const UpdateView& view, UpdateDialogHandlers handlers, QWidget* parent);
    void apply(const UpdateView& view);

protected:
    void closeRequested() override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    UpdateDialogHandlers handlers_;
    ControlWidgets controls_;
};

} // namespace kestrune
