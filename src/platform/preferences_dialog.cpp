#include "platform/preferences_dialog.h"

#include <QMoveEvent>

namespace kestrune {

PreferencesDialog::PreferencesDialog(const PreferenceView& view, PreferencesDialogHandlers handlers,
                                     QWidget* parent)
    : CoreWindow(parent), handlers_(std::move(handlers)),
      controls_(*this, [this](std::int32_t control, std::int32_t value) {
          if (!closing() && handlers_.controlHit) {
              handlers_.controlHit(control, value);
          }
      }) {
    setWindowTitle(QString::fromStdString(view.title));
    setFixedSize(view.width, view.height);
    for (const ControlView& c : view.controls) {
        if (c.kind == ControlKind::DefaultButton) {
            defaultButton_ = c.number;
        }
    }
    apply(view);
    // The content goes where it was left; the window manager's frame goes
    // around it (a move would place the frame there, and the content would
    // creep down by the title bar at every launch).
    setGeometry(QRect(QPoint(view.left, view.top), size()));
}

void PreferencesDialog::apply(const PreferenceView& view) {
    controls_.apply(view.controls);
}

void PreferencesDialog::closeRequested() {
    // The close box and Escape keep every change, like OK.
    if (handlers_.controlHit) {
        handlers_.controlHit(defaultButton_, 0);
    }
}

void PreferencesDialog::moveEvent(QMoveEvent* event) {
    QDialog::moveEvent(event);
    if (!closing() && isVisible() && handlers_.moved) {
        handlers_.moved(QRect(mapToGlobal(QPoint(0, 0)), size()));
    }
}

} // namespace kestrune
