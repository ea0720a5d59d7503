#pragma once
// What the program asks of the desktop it runs on. The core calls these; the
// Qt shell implements them, and tests use a fake that records every call.

#include "runtime/str255.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kestrune {

struct ToolAreaView;
struct ScrollBarView;
class MenuModel;
struct CalculatorView;
struct PreferenceView;
struct PageFormat;
struct PageRange;
struct PrintRequest;
struct PrintRun;
struct UpdateView;

// A file to fetch into a folder: under fileName, or under the first free
// name DownloadNameCandidate gives, never over an existing file.
struct DownloadRequest {
    std::string url;
    std::string folder;
    std::string fileName;
    std::int64_t maxBytes = 0;
    int timeoutMs = 0;
};

// The About box's entries.
struct AboutBox {
    std::string name;
    std::string version;
    std::string description;
    std::string copyright;
};

// One item of a context menu: a title, or a separator when the title is empty.
struct ContextMenuItem {
    std::string title;
    bool enabled = true;
};

enum class SaveChangesAnswer { Save, DontSave, Cancel };
// The answer to "The document was changed by another program."
enum class ChangedFileAnswer { SaveAnyway, Reopen, Cancel };

// A chosen file, or nothing when the dialog was cancelled.
using FileChoice = std::optional<std::string>;

// The part of one screen that windows may take (the desktop's panels left
// out), in the coordinates of all screens together.
struct ScreenArea {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
};

// Where a window's content goes: its top-left corner on the screen, and its
// height (the width is the window's own).
struct WindowPlace {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t height = 0;
    friend bool operator==(const WindowPlace&, const WindowPlace&) = default;
};

class Platform {
public:
    virtual ~Platform() = default;

    // The system alert sound.
    virtual void SysBeep() = 0;
    // The window's modified mark.
    virtual void setWindowModified(bool modified) = 0;
    // The modal file-error alert with "Stop" and "Continue". "Stop" ends the
    // program at once; "Continue" returns.
    virtual void showFileErrorAlert(int fileNumber, const std::string& message) = 0;
    // A fatal runtime alert with "Quit"; the program then ends.
    virtual void showFatalAlert(const std::string& message) = 0;

    // The data sheet's window: the height of its content area, the text now
    // in its edit field (Mac OS Roman), the controls above the sheet, the
    // scroll bar, and a repaint of the sheet through its Canvas.
    virtual std::int32_t contentHeight() = 0;
    virtual Str255 readEditField() = 0;
    virtual void updateToolArea(const ToolAreaView& view) = 0;
    virtual void updateScrollBar(const ScrollBarView& view) = 0;
    virtual void repaintSheet() = 0;

    // Dialogs are window-modal; their answers arrive later through done.
    // The save-changes question names the document.
    virtual void askSaveChanges(const std::string& fileName,
                                std::function<void(SaveChangesAnswer)> done) = 0;
    // Before Save writes over a file another program wrote since the sheet
    // read or saved it: Save Anyway, Reopen or Cancel.
    virtual void askChangedFile(const std::string& fileName,
                                std::function<void(ChangedFileAnswer)> done) = 0;
    // A save dialog with a title and a proposed name (it asks before replacing a file).
    // A name given without an extension gets extension, before the dialog asks
    // about replacing the file it then names.
    virtual void askSaveFile(const std::string& title, const std::string& proposedName,
                             const std::string& extension,
                             std::function<void(FileChoice)> done) = 0;
    // An open dialog listing folders and files whose extension is exactly one of extensions.
    virtual void askOpenFile(const std::string& title, const std::vector<std::string>& extensions,
                             std::function<void(FileChoice)> done) = 0;
    // A note for the user with one OK button (no answer needed).
    virtual void showNote(const std::string& message, const std::string& details) = 0;

    // The main window shows the data sheet, or returns to its no-sheet state.
    // The sheet window's content top-left corner goes to (left, top) on the screen.
    virtual void showSheetWindow(const WindowPlace& place) = 0;
    // The screens there are now; none when the platform cannot tell.
    virtual std::vector<ScreenArea> screenAreas() { return {}; }
    virtual void closeSheetWindow() = 0;
    // The window's title and the document it stands for (empty: none).
    virtual void setWindowTitle(const std::string& title, const std::string& documentPath) = 0;
    virtual void updateMenus(const MenuModel& menus) = 0;
    // Runs action once after the delay, on the main loop.
    virtual void startTimer(int milliseconds, std::function<void()> action) = 0;
    // Ends the event loop and the program with status 0.
    virtual void quitApplication() = 0;
    // Starts another run of the program on these documents, once this one
    // has given up its place (documents handed over while it was ending).
    virtual void startNewInstance(const std::vector<std::string>& documents) = 0;
    // True while the desktop shows a modal window or a popup menu of its own
    // (an alert, a note, a context menu) that the core does not wait on.
    virtual bool modalUiUp() { return false; }

    // The clipboard's plain text, as Mac OS Roman bytes (characters it lacks
    // become '?'); nothing when the clipboard holds no text.
    virtual std::optional<std::string> clipboardText() = 0;
    virtual void setClipboardText(const std::string& macRoman) = 0;
    // The same plain text, and beside it an HTML form (UTF-8) for programs
    // that take tables.
    virtual void setClipboardTextAndHtml(const std::string& macRoman, const std::string& html) = 0;

    // A context menu at a content position of the sheet window; chosen gets
    // the 1-based item, or 0 when the menu was dismissed.
    virtual void showContextMenu(const std::vector<ContextMenuItem>& items, std::int32_t x,
                                 std::int32_t y, std::function<void(int item)> chosen) = 0;

    // A calculator window, window-modal on the sheet window. Its fields are
    // read back by control number (Mac OS Roman).
    virtual void openCalculatorWindow(const CalculatorView& view) = 0;
    virtual void updateCalculatorWindow(const CalculatorView& view) = 0;
    virtual void closeCalculatorWindow() = 0;
    virtual Str255 readCalculatorField(std::int32_t control) = 0;
    // The sheet's edit field or the focused calculator field: its text is
    // replaced and all of it selected.
    virtual void setEditFieldText(const Str255& text) = 0;
    // The sheet's edit field takes the keyboard focus with all of its text
    // selected, unchanged, ready to be corrected.
    virtual void selectEditFieldText() {}
    virtual void setCalculatorFieldText(std::int32_t control, const Str255& text) = 0;

    // The Preferences window: a window of its own, not modal. Its clicks
    // come back to the core by control number.
    virtual void openPreferencesWindow(const PreferenceView& view) = 0;
    virtual void updatePreferencesWindow(const PreferenceView& view) = 0;
    virtual void closePreferencesWindow() = 0;
    // The main window to the front.
    virtual void raiseMainWindow() = 0;

    // The About box, dismissed by the user.
    virtual void showAboutBox(const AboutBox& about) = 0;
    // The path of a file shipped with the program (its data folder's
    // subfolder, e.g. "Images"); empty when it is not there.
    virtual std::string resourcePath(const std::string& subfolder, const std::string& name) = 0;
    // Opens a file or a URL with the desktop's default handler; 0 when it
    // was handed over, else a negative status.
    virtual int openWithDefaultHandler(const std::string& fileOrUrl) = 0;
    // Sends an event (class and ID of four characters, a text of Mac OS
    // Roman bytes) to every running process of that name but this one,
    // without waiting; nothing when none runs.
    virtual void sendEventToProcesses(const std::string& processName, const std::string& eventClass,
                                      const std::string& eventId, const std::string& text) = 0;
    // Starts the desktop application of that name, or brings it to the front
    // when it runs; 0 when it did, negative when it cannot be found.
    virtual int launchApplication(const std::string& name) = 0;
    // Plays a sound file to its end; 0, or a negative status when it cannot
    // be played (no audio device, an unreadable file).
    virtual int playSound(const std::string& path) = 0;

    // Printing. Page Setup starts from current and, when confirmed, hands
    // back the paper, margins and scale chosen; the program keeps them.
    virtual void
    showPageSetupDialog(const PageFormat& current,
                        std::function<void(bool accepted, const PageFormat& chosen)> done) = 0;
    // The paper the printer is set to: the desktop's default paper in
    // landscape until a Print dialog set it, then what was chosen there.
    virtual PageFormat pageFormat() = 0;
    // False only when nothing at all can print: no printer and no file.
    virtual bool canPrint() = 0;
    // The Print dialog; done gets the pages chosen (0 to 0: all of them).
    virtual void
    showPrintDialog(const PrintRequest& request,
                    std::function<void(bool accepted, const PageRange& chosen)> done) = 0;
    // Prints the run's pages on the printer or file chosen in the Print
    // dialog; 0, or the printing system's error number.
    virtual int printPages(const PrintRun& run) = 0;

    // The update check. False only when the desktop reports the network as
    // down; asked without connecting anywhere.
    virtual bool internetAvailable() = 0;
    // Fetches a URL's body. done runs once: ok with at most maxBytes of the
    // body (the rest is not read), or not ok when the request failed, was
    // answered with an HTTP error, was led to a refused address or took
    // longer than timeoutMs.
    virtual void fetchText(const std::string& url, std::size_t maxBytes, int timeoutMs,
                           std::function<void(bool ok, std::string body)> done) = 0;
    // Downloads a file. progress reports the bytes received and the whole
    // (-1 when unknown); done runs once, with the file's path, or not ok
    // when the download failed, grew past maxBytes or stalled for timeoutMs,
    // in which case nothing of it is left in the folder.
    virtual void
    downloadFile(const DownloadRequest& request,
                 std::function<void(std::int64_t received, std::int64_t total)> progress,
                 std::function<void(bool ok, std::string path)> done) = 0;
    // Stops the running download, if any: its partial file is removed at
    // once and its done never runs.
    virtual void cancelDownload() = 0;
    // The user's Downloads folder.
    virtual std::string downloadsFolder() = 0;
    // Moves a file to the desktop's trash; false when it is not there or
    // cannot be moved.
    virtual bool moveToTrash(const std::string& path) = 0;
    // The update window, a window of its own centred on the screen; its
    // clicks and keys come back to the core.
    virtual void openUpdateWindow(const UpdateView& view) = 0;
    virtual void updateUpdateWindow(const UpdateView& view) = 0;
    virtual void closeUpdateWindow() = 0;
};

} // namespace kestrune
