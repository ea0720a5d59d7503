#pragma once
// The window-modal dialogs the core asks for, and the hook that answers them
// instead when set (tests script the user's answers through it).

#include "core/platform.h"

#include <functional>
#include <string>
#include <vector>

class QWidget;

namespace kestrune {

// Stands in for the user at every dialog. Answers are delivered as a real
// dialog's would be: later, from the event loop.
class DialogAnswerer {
public:
    virtual ~DialogAnswerer() = default;
    virtual SaveChangesAnswer answerSaveChanges(const std::string& fileName) = 0;
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

// "Do you want to save the changes...?" with Save, Don't Save and Cancel.
void showSaveChangesDialog(QWidget* window, const std::string& fileName,
                           std::function<void(SaveChangesAnswer)> done);
// A save dialog proposing a name; it asks before replacing a file.
void showSaveFileDialog(QWidget* window, const std::string& title, const std::string& proposedName,
                        std::function<void(FileChoice)> done);
// An open dialog listing folders and files with exactly one of the extensions.
void showOpenFileDialog(QWidget* window, const std::string& title,
                        const std::vector<std::string>& extensions,
                        std::function<void(FileChoice)> done);
// A note with one OK button.
void showNoteDialog(QWidget* window, const std::string& message, const std::string& details);
// The file-error alert; true when the user chose "Stop".
bool showFileErrorDialog(QWidget* window, const std::string& message);

} // namespace kestrune
