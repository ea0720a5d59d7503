#pragma once
// The main window's printer and its two dialogs. The printer (paper,
// orientation, the choices made in the dialogs) is made at the first Page
// Setup or Print, landscape, and lives as long as the window. Both dialogs
// are window-modal and answer through a callback when they end.

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

    void showPageSetup(std::function<void(bool accepted)> done);
    void showPrint(const PrintRequest& request,
                   std::function<void(bool accepted, const PageRange& chosen)> done);
    PageFormat pageFormat();
    int print(const PrintRun& run);

    QPrinter& printer();

private:
    QWidget* window_;
    std::unique_ptr<QPrinter> printer_;
};

// Whether the desktop has a default printer.
bool HasDefaultPrinter();

// The paper as the core sees it: the page rectangle in points, relative to
// the corner of the printable area the pages are drawn from, and the user's
// scale (the dialogs offer none, so 100).
PageFormat PageFormatOf(const QPrinter& printer);

// Prints the run's pages onto printer, one point of the page scaled by
// scalePercent; 0, or the printing system's error number.
int PrintPages(QPrinter& printer, const PrintRun& run);

} // namespace kestrune
