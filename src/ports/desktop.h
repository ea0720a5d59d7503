#pragma once
// The desktop around the program: the alert sound, the clipboard, timers,
// other programs, files shipped with the program, and the program's own end.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrune {

// The clipboard type of models in Kestrune's own form.
inline constexpr std::string_view kModelsClipboardType = "application/x-kestrune-models";

// What a copy of rows offers, all in UTF-8: the plain text every program
// reads and, where not empty, an HTML table for programs that take tables
// and the models in Kestrune's own form, for its own paste.
struct ClipboardOffer {
    std::string text;
    std::string html;
    std::string models;
};

class Desktop {
public:
    virtual ~Desktop() = default;

    // The system alert sound.
    virtual void SysBeep() = 0;
    // Plays a sound file to its end; 0, or a negative status when it cannot
    // be played (no audio device, an unreadable file).
    virtual int playSound(const std::string& path) = 0;

    // The clipboard's plain text, in UTF-8; nothing when the clipboard
    // holds no text.
    virtual std::optional<std::string> clipboardText() = 0;
    virtual void setClipboardText(const std::string& text) = 0;
    // Replaces the clipboard by every form the offer holds.
    virtual void setClipboard(const ClipboardOffer& offer) = 0;
    // The models in Kestrune's own form; nothing when the clipboard holds
    // none (another program copied last).
    virtual std::optional<std::string> clipboardModels() = 0;

    // Runs action once after the delay, on the main loop.
    virtual void startTimer(int milliseconds, std::function<void()> action) = 0;
    // Ends the event loop and the program with status 0.
    virtual void quitApplication() = 0;
    // Starts another run of the program on these documents, once this one
    // has given up its place (documents handed over while it was ending).
    virtual void startNewInstance(const std::vector<std::string>& documents) = 0;

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
    // The user's Downloads folder.
    virtual std::string downloadsFolder() = 0;
    // Moves a file to the desktop's trash; false when it is not there or
    // cannot be moved.
    virtual bool moveToTrash(const std::string& path) = 0;
};

} // namespace kestrune
