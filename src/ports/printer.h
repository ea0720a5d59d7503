#pragma once
// The desktop's printing system: Page Setup, the Print dialog and the job.

#include "ports/print_job.h"

#include <functional>

namespace kestrune {

class Printer {
public:
    virtual ~Printer() = default;

    // Page Setup starts from current and, when confirmed, hands back the
    // paper, margins and scale chosen; the program keeps them.
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
};

} // namespace kestrune
