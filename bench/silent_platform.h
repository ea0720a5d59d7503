#pragma once
// A Platform that does nothing, for benchmarks.

#include "ports/platform.h"
#include "services/printing.h"
#include "sheet/tool_area.h"

namespace kestrune::bench {

class SilentPlatform : public Platform {
public:
    void SysBeep() override {}
    void setWindowModified(bool) override {}
    void showFileErrorAlert(int, const std::string&) override {}
    void showFatalAlert(const std::string&) override {}
    std::int32_t contentHeight() override { return height; }
    Str255 readEditField() override { return editField; }
    void updateToolArea(const ToolAreaView& view) override { editField = view.editText; }
    void updateScrollBar(const ScrollBarView&) override {}
    void repaintSheet() override {}
    void askSaveChanges(const std::string&, std::function<void(SaveChangesAnswer)>) override {}
    void askChangedFile(const std::string&, std::function<void(ChangedFileAnswer)>) override {}
    void askSaveFile(const std::string&, const std::string&, const std::string&,
                     std::function<void(FileChoice)>) override {}
    void askOpenFile(const std::string&, const std::vector<std::string>&,
                     std::function<void(FileChoice)>) override {}
    void showNote(const std::string&, const std::string&) override {}
    void showSheetWindow(const WindowPlace&) override {}
    void closeSheetWindow() override {}
    void setWindowTitle(const std::string&, const std::string&) override {}
    void updateFindBar(const FindBarView&) override {}
    void runLongWork(const LongWorkView&, WorkProgress&,
                     const std::function<void()>& work) override {
        work();
    }
    void updateMenus(const std::vector<Menu>&) override {}
    void startTimer(int, std::function<void()>) override {}
    void quitApplication() override {}
    std::optional<std::string> clipboardText() override { return std::nullopt; }
    void setClipboardText(const std::string&) override {}
    void setClipboard(const ClipboardOffer&) override {}
    std::optional<std::string> clipboardModels() override { return std::nullopt; }
    void showContextMenu(const std::vector<ContextMenuItem>&, std::int32_t, std::int32_t,
                         std::function<void(int)>) override {}
    void openCalculatorWindow(const CalculatorView&) override {}
    void updateCalculatorWindow(const CalculatorView&) override {}
    void closeCalculatorWindow() override {}
    Str255 readCalculatorField(std::int32_t) override { return {}; }
    void setEditFieldText(const Str255& text) override { editField = text; }
    void setCalculatorFieldText(std::int32_t, const Str255&) override {}
    void startNewInstance(const std::vector<std::string>&) override {}
    void openPreferencesWindow(const PreferenceView&) override {}
    void updatePreferencesWindow(const PreferenceView&) override {}
    void closePreferencesWindow() override {}
    void raiseMainWindow() override {}
    void showAboutBox(const AboutBox&) override {}
    std::string resourcePath(const std::string&, const std::string&) override { return {}; }
    int openWithDefaultHandler(const std::string&) override { return 0; }
    int playSound(const std::string&) override { return 0; }
    void sendEventToProcesses(const std::string&, const std::string&, const std::string&,
                              const std::string&) override {}
    int launchApplication(const std::string&) override { return 0; }
    void showPageSetupDialog(const PageFormat&,
                             std::function<void(bool, const PageFormat&)>) override {}
    PageFormat pageFormat() override { return {}; }
    bool canPrint() override { return true; }
    void showPrintDialog(const PrintRequest&,
                         std::function<void(bool, const PageRange&)>) override {}
    int printPages(const PrintRun&) override { return 0; }
    bool internetAvailable() override { return false; }
    void fetchText(const std::string&, std::size_t, int,
                   std::function<void(bool, std::string)>) override {}
    void downloadFile(const DownloadRequest&, std::function<void(std::int64_t, std::int64_t)>,
                      std::function<void(bool, std::string)>) override {}
    void cancelDownload() override {}
    std::string downloadsFolder() override { return {}; }
    bool moveToTrash(const std::string&) override { return false; }
    void openUpdateWindow(const UpdateView&) override {}
    void updateUpdateWindow(const UpdateView&) override {}
    void closeUpdateWindow() override {}

    std::int32_t height = 600;
    Str255 editField;
};

} // namespace kestrune::bench
