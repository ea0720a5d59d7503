#include "platform/update_dialog.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>

namespace kestrune {

UpdateDialog::UpdateDialog(const UpdateView& view, UpdateDialogHandlers handlers, QWidget* parent)
    : CoreWindow(parent), handlers_(std::move(handlers)),
      controls_(*this, [this](std::int32_t control, std::int32_t value) {
          if (!closing() && handlers_.controlHit) {
              handlers_.controlHit(control, value);
          }
      }) {
    setWindowTitle(QString::fromStdString(view.title));
    setFixedSize(view.width, view.height);
    apply(view);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.center() - QPoint(view.width / 2, view.height / 2));
    }
}

void UpdateDialog::apply(const UpdateView& view) {
    controls_.apply(view.controls);
}

void UpdateDialog::closeRequested() {
    if (handlers_.closeBox) {
        handlers_.closeBox();
    }
}

void UpdateDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (!closing() && handlers_.returnKey) {
            handlers_.returnKey();
        }
        return;
    }
    if (event->key() == Qt::Key_Q && event->modifiers() == Qt::ControlModifier) {
        if (!closing() && handlers_.quitKey) {
            handlers_.quitKey();
        }
        return;
    }
    QDialog::keyPressEvent(event); // Escape comes back through reject()
}

} // namespace kestrune
