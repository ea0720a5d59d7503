#pragma once
// The questions, alerts and notes the program puts to the user, and the
// About box and context menus. Dialogs are window-modal; their answers
// arrive later through done.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kestrune {

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

// A kind of file a save dialog offers: its name in the dialog's list, and
// the extension a name typed without one gets.
struct SaveFileType {
    std::string name;
    std::string extension;
};

class Dialogs {
public:
    virtual ~Dialogs() = default;

    // The modal file-error alert with "Stop" and "Continue". "Stop" ends the
    // program at once; "Continue" returns.
    virtual void showFileErrorAlert(int fileNumber, const std::string& message) = 0;
    // A fatal runtime alert with "Quit"; the program then ends.
    virtual void showFatalAlert(const std::string& message) = 0;
    // A note for the user with one OK button (no answer needed).
    virtual void showNote(const std::string& message, const std::string& details) = 0;

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
    // The same offering types of file, the first chosen at first; done gets
    // the file and the index of the type chosen. Without a list to offer,
    // it is the save dialog above with the first type.
    virtual void askSaveFileOfType(const std::string& title, const std::string& proposedName,
                                   const std::vector<SaveFileType>& types,
                                   std::function<void(FileChoice, std::size_t)> done) {
        askSaveFile(title, proposedName, types.empty() ? std::string() : types.front().extension,
                    [done = std::move(done)](FileChoice choice) { done(std::move(choice), 0); });
    }
    // An open dialog listing folders and files whose extension is exactly one of extensions.
    virtual void askOpenFile(const std::string& title, const std::vector<std::string>& extensions,
                             std::function<void(FileChoice)> done) = 0;

    // A context menu at a content position of the sheet window; chosen gets
    // the 1-based item, or 0 when the menu was dismissed.
    virtual void showContextMenu(const std::vector<ContextMenuItem>& items, std::int32_t x,
                                 std::int32_t y, std::function<void(int item)> chosen) = 0;
    // The About box, dismissed by the user.
    virtual void showAboutBox(const AboutBox& about) = 0;
    // True while the desktop shows a modal window or a popup menu of its own
    // (an alert, a note, a context menu) that the core does not wait on.
    virtual bool modalUiUp() { return false; }
};

} // namespace kestrune
