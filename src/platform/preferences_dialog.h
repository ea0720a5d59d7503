#pragma once
// The Preferences window: a window of its own (not modal), laid out from
// the core's description; clicks go back to the core by control number.

#include "ports/window_views.h"

#include "platform/control_widgets.h"
#include "platform/core_window.h"

#include <functional>

namespace kestrune {

struct PreferencesDialogHandlers {
    std::function<void(std::int32_t control, std::int32_t value)> controlHit;
    // Every move of the window, with its content's top-left corner and size.
    std::function<void(QRect content)> moved;
};

class PreferencesDialog final : public CoreWindow {
    Q_OBJECT
public:
    PreferencesDialog(const PreferenceView& view, PreferencesDialogHandlers handlers,
                      QWidget* parent);
    void apply(const PreferenceView& view);

protected:
    void closeRequested() override;
    void moveEvent(QMoveEvent* event) override;

private:
    PreferencesDialogHandlers handlers_;
    ControlWidgets controls_;
    // The OK button: the close box and Escape act as it does.
    std::int32_t defaultButton_ = 0;
};

} // namespace kestrune
