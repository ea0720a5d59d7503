#pragma once
// The main window's printer and its Print dialog. The printer is made at
// the first Print (or when the program first asks for its paper),
// landscape, and lives as long as the window; each Print dialog starts
// from the paper the program keeps. The dialog is window-modal and answers
// through a callback when it ends.

#include <QObject>
#include <functional>
#include <memory>

class QPrinter;
class QWidget;

namespace kestrune {

struct PageFormat;
struct PageRange;
struct PrintRequest;
struct PrintRun;

class PrintDialogs final : public QObject {
    Q_OBJECT
public:
    // Made a child of window, and found again through forWindow.
    explicit PrintDialogs(QWidget* window);
    ~PrintDialogs() override;

    // The window's printing, made at the first call.
    static PrintDialogs& forWindow(QWidget* window);

    void showPrint(const PrintRequest& request,
                   std::function<void(bool accepted, const PageRange& chosen)> done);
    PageFormat pageFormat();
    int print(const PrintRun& run);

    QPrinter& printer();

private:
    QWidget* window_;
    std::unique_ptr<QPrinter> printer_;
};

// Whether anything can print: a printer, or a PDF file, which Qt's own
// print dialog always offers.
bool CanPrint();

// The printer's paper as the core sees it: its size upright and the
// margins in points, and how it is turned (the scale is the program's, 100).
PageFormat PageFormatOf(const QPrinter& printer);
// Sets the printer's paper, orientation and margins (within what the
// printer can do) from format.
void ApplyPageFormat(QPrinter& printer, const PageFormat& format);

// Prints the run's pages onto printer, one point of the page scaled by
// scalePercent; 0, or the printing system's error number.
int PrintPages(QPrinter& printer, const PrintRun& run);

} // namespace kestrune
