#pragma once
// The window-modal dialogs the core asks for, and the hook that answers them
// instead when set (tests script the user's answers through it).

#include "ports/platform.h"

#include <functional>
#include <string>
#include <vector>

class QString;
class QWidget;

namespace kestrune {

// Stands in for the user at every dialog. Answers are delivered as a real
// dialog's would be: later, from the event loop.
class DialogAnswerer {
public:
    virtual ~DialogAnswerer() = default;
    virtual SaveChangesAnswer answerSaveChanges(const std::string& fileName) = 0;
    // The question about a file another program changed; Cancel unless a
    // test scripts otherwise.
    virtual ChangedFileAnswer answerChangedFile(const std::string& /*fileName*/) {
        return ChangedFileAnswer::Cancel;
    }
    virtual FileChoice answerSaveFile(const std::string& title,
                                      const std::string& proposedName) = 0;
    virtual FileChoice answerOpenFile(const std::string& title,
                                      const std::vector<std::string>& extensions) = 0;
    // The file-error alert, answered "Continue".
    virtual void fileErrorShown(int fileNumber, const std::string& message) = 0;
    virtual void noteShown(const std::string& message, const std::string& details) = 0;
    // A context menu: the 1-based item chosen, or 0 for none.
    virtual int answerContextMenu(const std::vector<ContextMenuItem>& items) = 0;
};

// The folder a file dialog of window opens in when the document names none:
// the folder of the last file chosen in one of the window's file dialogs
// during this run (the window keeps it), else the user's documents folder,
// else the home folder.
QString FileDialogStartFolder(const QWidget* window);

// "Do you want to save the changes...?" with Save, Don't Save and Cancel.
void showSaveChangesDialog(QWidget* window, const std::string& fileName,
                           std::function<void(SaveChangesAnswer)> done);
// "The document ... was changed by another program." with Save Anyway,
// Reopen and Cancel (the default, and Escape).
void showChangedFileDialog(QWidget* window, const std::string& fileName,
                           std::function<void(ChangedFileAnswer)> done);
// A save dialog proposing a name; it asks before replacing a file. A
// proposed absolute path opens the dialog in its folder with its name filled
// in; a bare name opens it in FileDialogStartFolder.
// The same with a list of types of file; done gets the index of the one chosen.
void showSaveFileOfTypeDialog(QWidget* window, const std::string& title,
                              const std::string& proposedName,
                              const std::vector<SaveFileType>& types,
                              std::function<void(FileChoice, std::size_t)> done);
void showSaveFileDialog(QWidget* window, const std::string& title, const std::string& proposedName,
                        const std::string& extension, std::function<void(FileChoice)> done);
// An open dialog in FileDialogStartFolder listing folders and files with
// exactly one of the extensions, under a filter named after what it shows,
// or every file under "All Files (*)".
void showOpenFileDialog(QWidget* window, const std::string& title,
                        const std::vector<std::string>& extensions,
                        std::function<void(FileChoice)> done);
// The About box: the program's icon, name, version, copyright and rights.
void showAboutDialog(QWidget* window, const AboutBox& about);
// A note with one OK button.
void showNoteDialog(QWidget* window, const std::string& message, const std::string& details);
// The file-error alert; true when the user chose "Stop".
bool showFileErrorDialog(QWidget* window, const std::string& message);

} // namespace kestrune
