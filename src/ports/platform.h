#pragma once
// Everything the program asks of the desktop it runs on, by concern. The
// core calls these; the Qt shell implements them all, and a test fakes the
// ones it needs.

#include "ports/desktop.h"
#include "ports/dialogs.h"
#include "ports/network.h"
#include "ports/printer.h"
#include "ports/sheet_window.h"
#include "ports/tool_windows.h"

namespace kestrune {

class Platform : public Dialogs,
                 public SheetWindow,
                 public ToolWindows,
                 public Desktop,
                 public Network,
                 public Printer {};

} // namespace kestrune
