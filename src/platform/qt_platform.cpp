#include "platform/qt_platform.h"
#include "platform/calculator_dialog.h"

#include "platform/dialogs.h"
#include "platform/edit_field.h"
#include "platform/images.h"
#include "platform/main_window.h"
#include "platform/page_setup_dialog.h"
#include "platform/print_dialogs.h"
#include "platform/process_messages.h"
#include "platform/sheet_page.h"
#include "platform/sound_player.h"
#include "platform/top_bar.h"
#include "services/printing.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPrinter>
#include <QScreen>
#include <QTimer>
#include <QUrl>
#include <cstdlib>
#include <spawn.h>
#include <unistd.h>

namespace kestrune {

QtPlatform::QtPlatform() = default;

void QtPlatform::later(std::function<void()> action) {
    QMetaObject::invokeMethod(
        &context_, [this, action = std::move(action)]() mutable { gate_.pass(std::move(action)); },
        Qt::QueuedConnection);
}

void QtPlatform::SysBeep() {
    QApplication::beep();
}

void QtPlatform::setWindowModified(bool modified) {
    if (window_ != nullptr) {
        window_->setWindowModified(modified);
    }
}

void QtPlatform::showFileErrorAlert(int fileNumber, const std::string& message) {
    if (answerer_ != nullptr) {
        answerer_->fileErrorShown(fileNumber, message);
        return;
    }
    if (showFileErrorDialog(window_, message)) {
        std::_Exit(EXIT_FAILURE); // ends at once, without saving or asking
    }
}

void QtPlatform::showFatalAlert(const std::string& message) {
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Kestrune"),
                    QString::fromStdString(message), QMessageBox::NoButton, window_);
    box.setInformativeText(QStringLiteral("The program cannot go on and will quit."));
    box.addButton(QStringLiteral("Quit"), QMessageBox::AcceptRole);
    if (answerer_ == nullptr) {
        box.exec();
    }
    std::exit(EXIT_FAILURE);
}

std::int32_t QtPlatform::contentHeight() {
    return window_ != nullptr ? window_->contentHeight() : 0;
}

Str255 QtPlatform::readEditField() {
    return window_ != nullptr ? window_->sheetPage()->readEditField() : Str255();
}

void QtPlatform::updateToolArea(const ToolAreaView& view) {
    if (window_ != nullptr) {
        window_->sheetPage()->applyToolArea(view);
    }
}

void QtPlatform::updateScrollBar(const ScrollBarView& view) {
    if (window_ != nullptr) {
        window_->sheetPage()->applyScrollBar(view);
    }
}

void QtPlatform::repaintSheet() {
    if (window_ != nullptr) {
        window_->sheetPage()->repaintSheet();
    }
}

void QtPlatform::askSaveChanges(const std::string& fileName,
                                std::function<void(SaveChangesAnswer)> done) {
    if (answerer_ != nullptr) {
        const SaveChangesAnswer answer = answerer_->answerSaveChanges(fileName);
        later([done = std::move(done), answer] { done(answer); });
        return;
    }
    showSaveChangesDialog(window_, fileName, std::move(done));
}

void QtPlatform::askChangedFile(const std::string& fileName,
                                std::function<void(ChangedFileAnswer)> done) {
    if (answerer_ != nullptr) {
        const ChangedFileAnswer answer = answerer_->answerChangedFile(fileName);
        later([done = std::move(done), answer] { done(answer); });
        return;
    }
    showChangedFileDialog(window_, fileName, std::move(done));
}

void QtPlatform::askSaveFile(const std::string& title, const std::string& proposedName,
                             const std::string& extension, std::function<void(FileChoice)> done) {
    if (answerer_ != nullptr) {
        FileChoice choice = answerer_->answerSaveFile(title, proposedName);
        later([done = std::move(done), choice = std::move(choice)] { done(choice); });
        return;
    }
    showSaveFileDialog(window_, title, proposedName, extension, std::move(done));
}

void QtPlatform::askSaveFileOfType(const std::string& title, const std::string& proposedName,
                                   const std::vector<SaveFileType>& types,
                                   std::function<void(FileChoice, std::size_t)> done) {
    if (answerer_ != nullptr || types.empty()) {
        Platform::askSaveFileOfType(title, proposedName, types, std::move(done));
        return;
    }
    showSaveFileOfTypeDialog(window_, title, proposedName, types, std::move(done));
}

void QtPlatform::askOpenFile(const std::string& title, const std::vector<std::string>& extensions,
                             std::function<void(FileChoice)> done) {
    if (answerer_ != nullptr) {
        FileChoice choice = answerer_->answerOpenFile(title, extensions);
        later([done = std::move(done), choice = std::move(choice)] { done(choice); });
        return;
    }
    showOpenFileDialog(window_, title, extensions, std::move(done));
}

void QtPlatform::showNote(const std::string& message, const std::string& details) {
    if (answerer_ != nullptr) {
        answerer_->noteShown(message, details);
        return;
    }
    showNoteDialog(window_, message, details);
}

void QtPlatform::showSheetWindow(const WindowPlace& place) {
    if (window_ != nullptr) {
        window_->showSheet(place);
    }
}

std::vector<ScreenArea> QtPlatform::screenAreas() {
    std::vector<ScreenArea> areas;
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect r = screen->availableGeometry();
        areas.push_back({r.left(), r.top(), r.width(), r.height()});
    }
    return areas;
}

void QtPlatform::closeSheetWindow() {
    if (window_ != nullptr) {
        window_->showNoSheet();
    }
}

void QtPlatform::setWindowTitle(const std::string& title, const std::string& documentPath) {
    if (window_ != nullptr) {
        window_->setTitle(title, documentPath);
    }
}

void QtPlatform::updateMenus(const std::vector<Menu>& menus) {
    if (window_ != nullptr) {
        window_->updateMenus(menus);
    }
}

void QtPlatform::startTimer(int milliseconds, std::function<void()> action) {
    QTimer::singleShot(milliseconds, &context_, [this, action = std::move(action)]() mutable {
        gate_.pass(std::move(action));
    });
}

void QtPlatform::quitApplication() {
    if (onEnding_) {
        onEnding_();
    }
    if (onQuit_) {
        onQuit_();
        return;
    }
    // exit() leaves every running event loop (a dialog's too) and, unlike
    // quit(), does not first ask the windows to close: the core has already
    // asked the user everything.
    QCoreApplication::exit(0);
}

void QtPlatform::startNewInstance(const std::vector<std::string>& documents) {
    // The paths go as the bytes they are, not through a text encoding.
    const std::string program =
        !program_.empty()
            ? program_
            : QFile::encodeName(QCoreApplication::applicationFilePath()).toStdString();
    std::vector<std::string> arguments{program};
    arguments.insert(arguments.end(), documents.begin(), documents.end());
    std::vector<char*> argv;
    for (std::string& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    pid_t child = 0;
    ::posix_spawnp(&child, program.c_str(), nullptr, nullptr, argv.data(), environ);
}

bool QtPlatform::modalUiUp() {
    if (QApplication::activePopupWidget() != nullptr) {
        return true;
    }
    // The calculator is modal on the sheet, yet a document may replace the
    // sheet under it (the calculator then closes).
    const QWidget* modal = QApplication::activeModalWidget();
    return modal != nullptr && (window_ == nullptr || modal != window_->calculator());
}

// --- Clipboard, context menu and calculator windows ---

std::optional<std::string> QtPlatform::clipboardText() {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (data == nullptr || !data->hasText()) {
        return std::nullopt;
    }
    return data->text().toStdString();
}

void QtPlatform::setClipboardText(const std::string& text) {
    QGuiApplication::clipboard()->setText(QString::fromStdString(text));
}

void QtPlatform::setClipboard(const ClipboardOffer& offer) {
    auto* data = new QMimeData; // the clipboard owns it from here
    data->setText(QString::fromStdString(offer.text));
    if (!offer.html.empty()) {
        data->setHtml(QString::fromStdString(offer.html));
    }
    if (!offer.models.empty()) {
        data->setData(QString::fromUtf8(kModelsClipboardType.data(),
                                        static_cast<qsizetype>(kModelsClipboardType.size())),
                      QByteArray::fromStdString(offer.models));
    }
    QGuiApplication::clipboard()->setMimeData(data);
}

std::optional<std::string> QtPlatform::clipboardModels() {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    const QString type = QString::fromUtf8(kModelsClipboardType.data(),
                                           static_cast<qsizetype>(kModelsClipboardType.size()));
    if (data == nullptr || !data->hasFormat(type)) {
        return std::nullopt;
    }
    return data->data(type).toStdString();
}

void QtPlatform::showContextMenu(const std::vector<ContextMenuItem>& items, std::int32_t x,
                                 std::int32_t y, std::function<void(int item)> chosen) {
    if (answerer_ != nullptr) {
        const int answer = answerer_->answerContextMenu(items);
        later([chosen = std::move(chosen), answer] { chosen(answer); });
        return;
    }
    QMenu menu(window_);
    std::vector<QAction*> actions;
    for (const ContextMenuItem& item : items) {
        if (item.title.empty()) {
            actions.push_back(menu.addSeparator());
            continue;
        }
        QAction* action = menu.addAction(QString::fromStdString(item.title));
        action->setEnabled(item.enabled);
        actions.push_back(action);
    }
    const QPoint at = window_ != nullptr ? window_->contentToGlobal(QPoint(x, y)) : QPoint(x, y);
    const QAction* picked = menu.exec(at);
    int answer = 0;
    for (std::size_t k = 0; k < actions.size(); ++k) {
        if (actions[k] == picked) {
            answer = static_cast<int>(k) + 1;
        }
    }
    chosen(answer);
}

// The calculator window belongs to the main window.
void QtPlatform::openCalculatorWindow(const CalculatorView& view) {
    if (window_ != nullptr) {
        window_->openCalculator(view);
    }
}
void QtPlatform::updateCalculatorWindow(const CalculatorView& view) {
    if (window_ != nullptr) {
        window_->updateCalculator(view);
    }
}
void QtPlatform::closeCalculatorWindow() {
    if (window_ != nullptr) {
        window_->closeCalculator();
    }
}
Str255 QtPlatform::readCalculatorField(std::int32_t control) {
    CalculatorDialog* dialog = window_ != nullptr ? window_->calculator() : nullptr;
    return dialog != nullptr ? dialog->fieldText(control) : Str255();
}
void QtPlatform::setCalculatorFieldText(std::int32_t control, const Str255& text) {
    if (CalculatorDialog* dialog = window_ != nullptr ? window_->calculator() : nullptr) {
        dialog->setFieldText(control, text);
    }
}

void QtPlatform::setEditFieldText(const Str255& text) {
    if (window_ != nullptr) {
        window_->sheetPage()->topBar()->editField()->replaceText(text);
    }
}
void QtPlatform::updateFindBar(const FindBarView& view) {
    if (window_ != nullptr) {
        window_->sheetPage()->applyFindBar(view);
    }
}
void QtPlatform::selectEditFieldText() {
    if (window_ != nullptr) {
        EditField* field = window_->sheetPage()->topBar()->editField();
        field->selectAll();
        field->setFocus(Qt::OtherFocusReason);
    }
}

} // namespace kestrune

namespace kestrune {

// --- The Preferences window, the About box, help documents and sounds ---

void QtPlatform::openPreferencesWindow(const PreferenceView& view) {
    if (window_ != nullptr) {
        window_->openPreferences(view);
    }
}
void QtPlatform::updatePreferencesWindow(const PreferenceView& view) {
    if (window_ != nullptr) {
        window_->updatePreferences(view);
    }
}
void QtPlatform::closePreferencesWindow() {
    if (window_ != nullptr) {
        window_->closePreferences();
    }
}
void QtPlatform::raiseMainWindow() {
    if (window_ != nullptr) {
        window_->bringToFront();
    }
}

void QtPlatform::showAboutBox(const AboutBox& about) {
    if (answerer_ != nullptr) {
        answerer_->noteShown(about.name, about.version);
        return;
    }
    showAboutDialog(window_, about);
}

std::string QtPlatform::resourcePath(const std::string& subfolder, const std::string& name) {
    // The data folder holds the Images folder; other subfolders sit beside it.
    const QString images = imagesFolder();
    if (images.isEmpty()) {
        return {};
    }
    const QDir data = QFileInfo(images).dir();
    const QString path = data.filePath(QString::fromStdString(subfolder) + QLatin1Char('/') +
                                       QString::fromStdString(name));
    return QFileInfo(path).isFile() ? QFile::encodeName(path).toStdString() : std::string();
}

int QtPlatform::openWithDefaultHandler(const std::string& fileOrUrl) {
    const QUrl url = !fileOrUrl.empty() && fileOrUrl.front() == '/'
                         ? QUrl::fromLocalFile(QFile::decodeName(fileOrUrl.c_str()))
                         : QUrl(QString::fromStdString(fileOrUrl), QUrl::StrictMode);
    if (!url.isValid()) {
        return -50;
    }
    return QDesktopServices::openUrl(url) ? 0 : -1;
}

void QtPlatform::sendEventToProcesses(const std::string& processName, const std::string& eventClass,
                                      const std::string& eventId, const std::string& text) {
    kestrune::sendEventToProcesses(QDBusConnection::sessionBus(), processName, eventClass, eventId,
                                   text);
}

int QtPlatform::launchApplication(const std::string& name) {
    return kestrune::launchApplication(QDBusConnection::sessionBus(), name);
}

int QtPlatform::playSound(const std::string& path) {
    return playSoundFile(QFile::decodeName(path.c_str()));
}

// Page Setup is the program's own dialog; printing goes to the main
// window's printer, which lives as long as the window. A scripted user
// cancels the dialogs.
void QtPlatform::showPageSetupDialog(
    const PageFormat& current, std::function<void(bool accepted, const PageFormat& chosen)> done) {
    if (answerer_ != nullptr || window_ == nullptr) {
        later([current, done = std::move(done)] { done(false, current); });
        return;
    }
    ShowPageSetupDialog(window_, current, std::move(done));
}

PageFormat QtPlatform::pageFormat() {
    if (window_ == nullptr) {
        QPrinter printer;
        printer.setPageOrientation(QPageLayout::Landscape);
        return PageFormatOf(printer);
    }
    return PrintDialogs::forWindow(window_).pageFormat();
}

bool QtPlatform::canPrint() {
    return CanPrint();
}

void QtPlatform::showPrintDialog(const PrintRequest& request,
                                 std::function<void(bool accepted, const PageRange& chosen)> done) {
    if (answerer_ != nullptr || window_ == nullptr) {
        later([done = std::move(done)] { done(false, PageRange{}); });
        return;
    }
    PrintDialogs::forWindow(window_).showPrint(request, std::move(done));
}

int QtPlatform::printPages(const PrintRun& run) {
    if (window_ == nullptr) {
        return kPrintGeneralError;
    }
    return PrintDialogs::forWindow(window_).print(run);
}

} // namespace kestrune
