#pragma once
// The desktop services the core asks for, done with Qt.

#include "platform/core_gate.h"
#include "ports/platform.h"

#include <QObject>
#include <functional>

namespace kestrune {

class DialogAnswerer;
class MainWindow;
class UpdateNetwork;

class QtPlatform final : public Platform {
public:
    QtPlatform();

    // The main window; the sheet, its controls and the dialogs go there.
    void setWindow(MainWindow* window);
    // What would reach the core while long work runs waits here.
    CoreGate& gate() { return gate_; }
    // When set, answers the dialogs instead of showing them (not owned).
    void setDialogAnswerer(DialogAnswerer* answerer) { answerer_ = answerer; }
    // When set, runs instead of ending the event loop.
    void setQuitHandler(std::function<void()> handler) { onQuit_ = std::move(handler); }
    // Runs first when the program ends.
    void setEndingHandler(std::function<void()> handler) { onEnding_ = std::move(handler); }

    void SysBeep() override;
    void setWindowModified(bool modified) override;
    void showFileErrorAlert(int fileNumber, const std::string& message) override;
    void showFatalAlert(const std::string& message) override;
    std::int32_t contentHeight() override;
    Str255 readEditField() override;
    void updateToolArea(const ToolAreaView& view) override;
    void updateScrollBar(const ScrollBarView& view) override;
    void repaintSheet() override;
    void askSaveChanges(const std::string& fileName,
                        std::function<void(SaveChangesAnswer)> done) override;
    void askChangedFile(const std::string& fileName,
                        std::function<void(ChangedFileAnswer)> done) override;
    void askSaveFileOfType(const std::string& title, const std::string& proposedName,
                           const std::vector<SaveFileType>& types,
                           std::function<void(FileChoice, std::size_t)> done) override;
    void askSaveFile(const std::string& title, const std::string& proposedName,
                     const std::string& extension, std::function<void(FileChoice)> done) override;
    void askOpenFile(const std::string& title, const std::vector<std::string>& extensions,
                     std::function<void(FileChoice)> done) override;
    void showNote(const std::string& message, const std::string& details) override;
    void showSheetWindow(const WindowPlace& place) override;
    std::vector<ScreenArea> screenAreas() override;
    void closeSheetWindow() override;
    void setWindowTitle(const std::string& title, const std::string& documentPath) override;
    void updateMenus(const std::vector<Menu>& menus) override;
    void startTimer(int milliseconds, std::function<void()> action) override;
    void quitApplication() override;
    bool modalUiUp() override;
    void startNewInstance(const std::vector<std::string>& documents) override;
    // How this program was started (argv[0]), to start it again.
    void setProgram(std::string program) { program_ = std::move(program); }
    std::optional<std::string> clipboardText() override;
    void setClipboardText(const std::string& text) override;
    void setClipboard(const ClipboardOffer& offer) override;
    std::optional<std::string> clipboardModels() override;
    void showContextMenu(const std::vector<ContextMenuItem>& items, std::int32_t x, std::int32_t y,
                         std::function<void(int item)> chosen) override;
    void openCalculatorWindow(const CalculatorView& view) override;
    void updateCalculatorWindow(const CalculatorView& view) override;
    void closeCalculatorWindow() override;
    Str255 readCalculatorField(std::int32_t control) override;
    void setEditFieldText(const Str255& text) override;
    void selectEditFieldText() override;
    void updateFindBar(const FindBarView& view) override;
    void runLongWork(const LongWorkView& view, WorkProgress& progress,
                     const std::function<void()>& work) override;
    void setCalculatorFieldText(std::int32_t control, const Str255& text) override;
    void openPreferencesWindow(const PreferenceView& view) override;
    void updatePreferencesWindow(const PreferenceView& view) override;
    void closePreferencesWindow() override;
    void raiseMainWindow() override;
    void showAboutBox(const AboutBox& about) override;
    std::string resourcePath(const std::string& subfolder, const std::string& name) override;
    int openWithDefaultHandler(const std::string& fileOrUrl) override;
    int playSound(const std::string& path) override;
    void sendEventToProcesses(const std::string& processName, const std::string& eventClass,
                              const std::string& eventId, const std::string& text) override;
    int launchApplication(const std::string& name) override;

    void
    showPageSetupDialog(const PageFormat& current,
                        std::function<void(bool accepted, const PageFormat& chosen)> done) override;
    PageFormat pageFormat() override;
    bool canPrint() override;
    void showPrintDialog(const PrintRequest& request,
                         std::function<void(bool accepted, const PageRange& chosen)> done) override;
    int printPages(const PrintRun& run) override;

    bool internetAvailable() override;
    void fetchText(const std::string& url, std::size_t maxBytes, int timeoutMs,
                   std::function<void(bool ok, std::string body)> done) override;
    void downloadFile(const DownloadRequest& request,
                      std::function<void(std::int64_t received, std::int64_t total)> progress,
                      std::function<void(bool ok, std::string path)> done) override;
    void cancelDownload() override;
    std::string downloadsFolder() override;
    bool moveToTrash(const std::string& path) override;
    void openUpdateWindow(const UpdateView& view) override;
    void updateUpdateWindow(const UpdateView& view) override;
    void closeUpdateWindow() override;

private:
    UpdateNetwork& network();

    // Runs an action from the event loop, as a dialog's answer would come.
    void later(std::function<void()> action);

    MainWindow* window_ = nullptr;
    DialogAnswerer* answerer_ = nullptr;
    std::function<void()> onQuit_;
    std::function<void()> onEnding_;
    std::string program_;
    // Timers, answers and requests die with the platform object.
    QObject context_;
    CoreGate gate_;
    UpdateNetwork* network_ = nullptr;
};

} // namespace kestrune
