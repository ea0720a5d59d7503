#include "platform/core_window.h"

#include <QCloseEvent>

namespace kestrune {

CoreWindow::CoreWindow(QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::WindowCloseButtonHint | Qt::WindowTitleHint) {}

void CoreWindow::closeFromCore() {
    closing_ = true;
    close();
    deleteLater();
}

void CoreWindow::closeEvent(QCloseEvent* event) {
    if (closing_) {
        event->accept();
        return;
    }
    event->ignore();
    closeRequested();
}

void CoreWindow::reject() {
    if (!closing_) {
        closeRequested();
    }
}

} // namespace kestrune
