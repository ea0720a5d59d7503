#pragma once
// A Platform that records every call, for tests without a display.

#include "model/update_state.h"
#include "ports/control_view.h"
#include "ports/platform.h"
#include "ports/window_views.h"
#include "services/printing.h"
#include "sheet/tool_area.h"

#include <deque>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace kestrune::test {

class FakePlatform : public Platform {
public:
    void SysBeep() override {
        calls.push_back("SysBeep");
        ++beeps;
    }
    void setWindowModified(bool modified) override {
        calls.push_back(modified ? "setWindowModified(true)" : "setWindowModified(false)");
        windowModified = modified;
    }
    void showFileErrorAlert(int fileNumber, const std::string& message) override {
        fileErrors.push_back({fileNumber, message});
    }
    void showFatalAlert(const std::string& message) override { fatalMessages.push_back(message); }
    std::int32_t contentHeight() override { return height; }
    Str255 readEditField() override { return editField; }
    void updateToolArea(const ToolAreaView& view) override {
        toolArea = view;
        editField = view.editFieldShown ? view.editText : Str255();
        ++toolAreaUpdates;
    }
    void updateScrollBar(const ScrollBarView& view) override { scrollBar = view; }
    void repaintSheet() override { ++repaints; }

    // Dialogs answer at once from the scripted answers (Cancel when none is
    // left), or, while holdAnswers is set, when answerHeld() is called.
    void askSaveChanges(const std::string& fileName,
                        std::function<void(SaveChangesAnswer)> done) override {
        calls.push_back("askSaveChanges(" + fileName + ")");
        answer([this, done = std::move(done)] {
            SaveChangesAnswer answer = SaveChangesAnswer::Cancel;
            if (!saveChangesAnswers.empty()) {
                answer = saveChangesAnswers.front();
                saveChangesAnswers.pop_front();
            }
            done(answer);
        });
    }
    void askChangedFile(const std::string& fileName,
                        std::function<void(ChangedFileAnswer)> done) override {
        calls.push_back("askChangedFile(" + fileName + ")");
        answer([this, done = std::move(done)] {
            ChangedFileAnswer answer = ChangedFileAnswer::Cancel;
            if (!changedFileAnswers.empty()) {
                answer = changedFileAnswers.front();
                changedFileAnswers.pop_front();
            }
            done(answer);
        });
    }
    void askSaveFile(const std::string& title, const std::string& proposedName,
                     const std::string& extension, std::function<void(FileChoice)> done) override {
        calls.push_back("askSaveFile(" + title + "," + proposedName + ")");
        saveExtensions.push_back(extension);
        answer([this, done = std::move(done)] { done(nextFileChoice()); });
    }
    // The user answers the dialog that was held.
    void answerHeld() {
        auto held = std::move(heldAnswer);
        heldAnswer = nullptr;
        if (held) {
            held();
        }
    }
    void askSaveFileOfType(const std::string& title, const std::string& proposedName,
                           const std::vector<SaveFileType>& types,
                           std::function<void(FileChoice, std::size_t)> done) override {
        calls.push_back("askSaveFile(" + title + "," + proposedName + ")");
        saveExtensions.push_back(types.front().extension);
        saveTypes = types;
        answer([this, done = std::move(done)] { done(nextFileChoice(), nextFileType); });
    }
    void askOpenFile(const std::string& title, const std::vector<std::string>& extensions,
                     std::function<void(FileChoice)> done) override {
        std::string joined;
        for (const auto& e : extensions) {
            joined += (joined.empty() ? "" : "|") + e;
        }
        calls.push_back("askOpenFile(" + title + "," + joined + ")");
        answer([this, done = std::move(done)] { done(nextFileChoice()); });
    }
    void showNote(const std::string& message, const std::string& details) override {
        calls.push_back("showNote(" + message + ")");
        notes.push_back(message + "\n" + details);
    }
    void showSheetWindow(const WindowPlace& place) override {
        calls.push_back("showSheetWindow");
        sheetPlace = place;
        sheetShown = true;
    }
    void closeSheetWindow() override {
        calls.push_back("closeSheetWindow");
        sheetShown = false;
    }
    void setWindowTitle(const std::string& title, const std::string& documentPath) override {
        windowTitle = title;
        windowPath = documentPath;
    }
    void updateMenus(const std::vector<Menu>& /*menus*/) override { ++menuUpdates; }
    void startTimer(int milliseconds, std::function<void()> action) override {
        calls.push_back("startTimer(" + std::to_string(milliseconds) + ")");
        timers.push_back(std::move(action));
    }
    void quitApplication() override {
        calls.push_back("quitApplication");
        quit = true;
    }

    void startNewInstance(const std::vector<std::string>& documents) override {
        newInstanceDocuments = documents;
    }
    std::optional<std::string> clipboardText() override { return clipboard; }
    void setClipboardText(const std::string& macRoman) override {
        calls.push_back("setClipboardText");
        clipboard = macRoman;
        clipboardHtml.reset();
        offered.reset();
    }
    void setClipboard(const ClipboardOffer& offer) override {
        calls.push_back("setClipboard");
        clipboard = offer.text;
        clipboardHtml = offer.html.empty() ? std::nullopt : std::optional(offer.html);
        offered = offer;
    }
    // Another text put on the clipboard stands for another program's copy.
    std::optional<std::string> clipboardModels() override {
        const bool held = offered && clipboard == offered->text && !offered->models.empty();
        return held ? std::optional(offered->models) : std::nullopt;
    }
    void showContextMenu(const std::vector<ContextMenuItem>& items, std::int32_t x, std::int32_t y,
                         std::function<void(int item)> chosen) override {
        calls.push_back("showContextMenu(" + std::to_string(x) + "," + std::to_string(y) + ")");
        contextMenu = items;
        const int answer = contextMenuAnswer;
        contextMenuAnswer = 0;
        chosen(answer);
    }
    void openCalculatorWindow(const CalculatorView& view) override {
        calls.push_back("openCalculatorWindow(" + std::to_string(view.calcItemID) + ")");
        calculator = view;
        calculatorOpen = true;
        calculatorFields.clear();
        for (const auto& c : view.controls) {
            if (c.kind == ControlKind::Input || c.kind == ControlKind::Result) {
                calculatorFields[c.number] = Str255(c.text);
            }
        }
    }
    void updateCalculatorWindow(const CalculatorView& view) override {
        calculator = view;
        for (const auto& c : view.controls) {
            if (c.kind == ControlKind::Input || c.kind == ControlKind::Result) {
                calculatorFields[c.number] = Str255(c.text);
            }
        }
    }
    void closeCalculatorWindow() override {
        calls.push_back("closeCalculatorWindow");
        calculatorOpen = false;
    }
    Str255 readCalculatorField(std::int32_t control) override { return calculatorFields[control]; }
    void setEditFieldText(const Str255& text) override { editField = text; }
    void selectEditFieldText() override { ++editFieldSelections; }
    void updateFindBar(const FindBarView& view) override { findBar = view; }
    // Runs the work here and now; cancelLongWork cancels it before it starts.
    void runLongWork(const LongWorkView& view, WorkProgress& progress,
                     const std::function<void()>& work) override {
        longWork.push_back(view);
        if (cancelLongWork) {
            progress.cancel();
        }
        work();
        longWorkEnds.push_back(progress.fraction());
    }
    void setCalculatorFieldText(std::int32_t control, const Str255& text) override {
        calculatorFields[control] = text;
    }
    void openPreferencesWindow(const PreferenceView& view) override {
        calls.push_back("openPreferencesWindow");
        preferences = view;
        preferencesOpen = true;
    }
    void updatePreferencesWindow(const PreferenceView& view) override { preferences = view; }
    void closePreferencesWindow() override {
        calls.push_back("closePreferencesWindow");
        preferencesOpen = false;
    }
    void raiseMainWindow() override { calls.push_back("raiseMainWindow"); }
    void showAboutBox(const AboutBox& box) override { about = box; }
    // Files shipped with the program: those named in resources exist.
    std::string resourcePath(const std::string& subfolder, const std::string& name) override {
        const std::string path = "/data/" + subfolder + "/" + name;
        return resources.count(name) != 0 ? path : std::string();
    }
    int openWithDefaultHandler(const std::string& fileOrUrl) override {
        opened.push_back(fileOrUrl);
        return 0;
    }
    void sendEventToProcesses(const std::string& processName, const std::string& eventClass,
                              const std::string& eventId, const std::string& text) override {
        sentEvents.push_back(processName + "|" + eventClass + "|" + eventId + "|" + text);
    }
    int launchApplication(const std::string& name) override {
        launched.push_back(name);
        return 0;
    }
    int playSound(const std::string& path) override {
        sounds.push_back(path);
        if (whilePlaying) {
            whilePlaying();
        }
        return 0;
    }

    // Printing: the dialogs wait until a test ends them through the held
    // callbacks; printed runs are kept.
    void showPageSetupDialog(const PageFormat& current,
                             std::function<void(bool, const PageFormat&)> done) override {
        calls.push_back("showPageSetupDialog");
        pageSetupShown = current;
        pageSetupDone = std::move(done);
    }
    PageFormat pageFormat() override { return format; }
    bool canPrint() override { return printable; }
    void
    showPrintDialog(const PrintRequest& request,
                    std::function<void(bool accepted, const PageRange& chosen)> done) override {
        calls.push_back("showPrintDialog");
        printRequests.push_back(request);
        printDone = std::move(done);
    }
    int printPages(const PrintRun& run) override {
        printRuns.push_back(run);
        return printError;
    }

    // The network answers when a test calls the held callbacks.
    bool internetAvailable() override { return internetUp; }
    void fetchText(const std::string& url, std::size_t maxBytes, int timeoutMs,
                   std::function<void(bool ok, std::string body)> done) override {
        fetches.push_back({url, maxBytes, timeoutMs, std::move(done)});
    }
    void downloadFile(const DownloadRequest& request,
                      std::function<void(std::int64_t, std::int64_t)> progress,
                      std::function<void(bool ok, std::string path)> done) override {
        downloads.push_back({request, std::move(progress), std::move(done)});
    }
    void cancelDownload() override { calls.push_back("cancelDownload"); }
    std::string downloadsFolder() override { return downloadsPath; }
    bool moveToTrash(const std::string& path) override {
        trashed.push_back(path);
        return true;
    }
    void openUpdateWindow(const UpdateView& view) override {
        calls.push_back("openUpdateWindow");
        updateView = view;
        updateOpen = true;
    }
    void updateUpdateWindow(const UpdateView& view) override { updateView = view; }
    void closeUpdateWindow() override {
        calls.push_back("closeUpdateWindow");
        updateOpen = false;
    }

    // Runs the timers started so far, in order.
    void fireTimers() {
        auto pending = std::move(timers);
        timers.clear();
        for (auto& t : pending) {
            t();
        }
    }
    FileChoice nextFileChoice() {
        if (fileChoices.empty()) {
            return std::nullopt;
        }
        FileChoice choice = fileChoices.front();
        fileChoices.pop_front();
        return choice;
    }

    void answer(std::function<void()> deliver) {
        if (holdAnswers) {
            heldAnswer = std::move(deliver);
        } else {
            deliver();
        }
    }

    // Types into the edit field, replacing its text.
    void type(std::string_view text) { editField = Str255(text); }

    struct FileError {
        int fileNumber;
        std::string message;
    };
    struct Fetch {
        std::string url;
        std::size_t maxBytes;
        int timeoutMs;
        std::function<void(bool, std::string)> done;
    };
    struct Download {
        DownloadRequest request;
        std::function<void(std::int64_t, std::int64_t)> progress;
        std::function<void(bool, std::string)> done;
    };
    bool internetUp = true;
    std::vector<Fetch> fetches;
    std::vector<Download> downloads;
    std::string downloadsPath;
    std::vector<std::string> trashed;
    UpdateView updateView;
    bool updateOpen = false;

    std::vector<std::string> calls;
    std::vector<FileError> fileErrors;
    std::vector<std::string> fatalMessages;
    int beeps = 0;
    bool windowModified = false;
    std::int32_t height = 400;
    Str255 editField;
    int editFieldSelections = 0;
    FindBarView findBar; // as last shown
    std::vector<LongWorkView> longWork;
    std::vector<double> longWorkEnds; // the fraction done as each ended
    bool cancelLongWork = false;
    ToolAreaView toolArea;
    ScrollBarView scrollBar;
    int toolAreaUpdates = 0;
    int repaints = 0;
    std::deque<SaveChangesAnswer> saveChangesAnswers;
    std::deque<ChangedFileAnswer> changedFileAnswers;
    std::deque<FileChoice> fileChoices;
    bool holdAnswers = false;
    std::function<void()> heldAnswer;
    std::vector<std::string> notes;
    WindowPlace sheetPlace;
    // The extension each save dialog gives a name typed without one.
    std::vector<std::string> saveExtensions;
    // The types the last save dialog offered, and which the user picks.
    std::vector<SaveFileType> saveTypes;
    std::size_t nextFileType = 0;
    std::vector<std::function<void()>> timers;
    bool sheetShown = false;
    std::string windowTitle;
    std::string windowPath;
    int menuUpdates = 0;
    bool quit = false;
    std::vector<std::string> newInstanceDocuments;
    std::optional<std::string> clipboard;
    std::optional<std::string> clipboardHtml;
    std::optional<ClipboardOffer> offered;
    std::vector<ContextMenuItem> contextMenu;
    int contextMenuAnswer = 0;
    CalculatorView calculator;
    bool calculatorOpen = false;
    std::map<std::int32_t, Str255> calculatorFields;
    PreferenceView preferences;
    bool preferencesOpen = false;
    AboutBox about;
    std::set<std::string> resources;
    std::vector<std::string> opened;
    std::vector<std::string> sounds;
    // Runs while a sound plays, as the event loop would.
    std::function<void()> whilePlaying;
    std::vector<std::string> sentEvents;
    std::vector<std::string> launched;
    std::function<void(bool, const PageFormat&)> pageSetupDone;
    PageFormat pageSetupShown;
    std::function<void(bool, const PageRange&)> printDone;
    PageFormat format;
    bool printable = true;
    std::vector<PrintRequest> printRequests;
    std::vector<PrintRun> printRuns;
    int printError = 0;
};

} // namespace kestrune::test
