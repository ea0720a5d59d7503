#pragma once
// What the program asks of the desktop it runs on. The core calls these; the
// Qt shell implements them, and tests use a fake that records every call.

#include "runtime/str255.h"

#include <cstdint>
#include <string>

namespace kestrune {

struct ToolAreaView;
struct ScrollBarView;

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
};

} // namespace kestrune
