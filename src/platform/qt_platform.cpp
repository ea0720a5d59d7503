#include "platform/qt_platform.h"

#include "sheet/tool_area.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QWidget>
#include <cstdlib>

namespace kestrune {

void QtPlatform::SysBeep() { QApplication::beep(); }

void QtPlatform::setWindowModified(bool modified) {
    if (window_ != nullptr) {
        window_->setWindowModified(modified);
    }
}

void QtPlatform::showFileErrorAlert(int /*fileNumber*/, const std::string& message) {
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Kestrune"), QString::fromStdString(message),
                    QMessageBox::NoButton, window_);
    QPushButton* stop = box.addButton(QStringLiteral("Stop"), QMessageBox::DestructiveRole);
    QPushButton* cont = box.addButton(QStringLiteral("Continue"), QMessageBox::AcceptRole);
    box.setDefaultButton(cont);
    box.exec();
    if (box.clickedButton() == stop) {
        std::_Exit(EXIT_FAILURE); // ends at once, without saving or asking
    }
}

void QtPlatform::showFatalAlert(const std::string& message) {
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Kestrune"), QString::fromStdString(message),
                    QMessageBox::NoButton, window_);
    box.setInformativeText(QStringLiteral("The program cannot go on and will quit."));
    box.addButton(QStringLiteral("Quit"), QMessageBox::AcceptRole);
    box.exec();
    std::exit(EXIT_FAILURE);
}

// The data-sheet window arrives with the application's window; until then
// there is no sheet to measure, read or repaint.
std::int32_t QtPlatform::contentHeight() { return window_ != nullptr ? window_->height() : 0; }

Str255 QtPlatform::readEditField() { return {}; }

void QtPlatform::updateToolArea(const ToolAreaView& /*view*/) {}

void QtPlatform::updateScrollBar(const ScrollBarView& /*view*/) {}

void QtPlatform::repaintSheet() {
    if (window_ != nullptr) {
        window_->update();
    }
}

// The dialogs and the sheet window come with the application's window.
void QtPlatform::askSaveChanges(const std::string&, std::function<void(SaveChangesAnswer)> done) {
    done(SaveChangesAnswer::Cancel);
}
void QtPlatform::askSaveFile(const std::string&, const std::string&, std::function<void(FileChoice)> done) {
    done(std::nullopt);
}
void QtPlatform::askOpenFile(const std::string&, const std::vector<std::string>&, std::function<void(FileChoice)> done) {
    done(std::nullopt);
}
void QtPlatform::showNote(const std::string&, const std::string&) {}
void QtPlatform::showSheetWindow() {}
void QtPlatform::closeSheetWindow() {}
void QtPlatform::setWindowTitle(const std::string&, const std::string&) {}
void QtPlatform::updateMenus(const MenuModel&) {}
void QtPlatform::startTimer(int, std::function<void()>) {}
void QtPlatform::quitApplication() { QApplication::quit(); }

} // namespace kestrune
