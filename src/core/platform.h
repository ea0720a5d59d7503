#pragma once
// What the program asks of the desktop it runs on. The core calls these; the
// Qt shell implements them, and tests use a fake that records every call.

#include <string>

namespace kestrune {

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
};

} // namespace kestrune
