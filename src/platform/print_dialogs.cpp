#include "platform/print_dialogs.h"

#include "platform/painter_canvas.h"
#include "services/printing.h"

#include <QPageLayout>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QWidget>

namespace kestrune {
namespace {

// The page range the dialog lets the user type: more than the document
// has, so that a range beyond it is cut by the program, not refused.
constexpr int kMaxDialogPage = 9999;
constexpr double kPointsPerInch = 72.0;

} // namespace

PrintDialogs::PrintDialogs(QWidget* window)
    : QObject(window), window_(window),
      printer_(std::make_unique<QPrinter>(QPrinter::HighResolution)) {
    printer_->setPageOrientation(QPageLayout::Landscape);
}

PrintDialogs::~PrintDialogs() = default;

PrintDialogs& PrintDialogs::forWindow(QWidget* window) {
    if (auto* existing = window->findChild<PrintDialogs*>(QString(), Qt::FindDirectChildrenOnly)) {
        return *existing;
    }
    return *new PrintDialogs(window);
}

QPrinter& PrintDialogs::printer() {
    return *printer_;
}

void PrintDialogs::showPrint(const PrintRequest& request,
                             std::function<void(bool accepted, const PageRange& chosen)> done) {
    ApplyPageFormat(*printer_, request.format);
    printer_->setDocName(QString::fromStdString(request.jobName));
    printer_->setCopyCount(request.copies);
    printer_->setPrintRange(QPrinter::AllPages);
    printer_->setFromTo(1, request.pageCount);
    auto* dialog = new QPrintDialog(printer_.get(), window_);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::WindowModal);
    dialog->setOption(QAbstractPrintDialog::PrintPageRange);
    dialog->setMinMax(1, kMaxDialogPage);
    QPrinter* printer = printer_.get();
    connect(dialog, &QDialog::finished, this, [printer, done = std::move(done)](int result) {
        PageRange chosen;
        if (printer->printRange() == QPrinter::PageRange) {
            chosen = {printer->fromPage(), printer->toPage()};
        }
        done(result == QDialog::Accepted, chosen);
    });
    dialog->open();
}

PageFormat PrintDialogs::pageFormat() {
    return PageFormatOf(*printer_);
}

int PrintDialogs::print(const PrintRun& run) {
    return PrintPages(*printer_, run);
}

bool CanPrint() {
    return true;
}

PageFormat PageFormatOf(const QPrinter& printer) {
    const QPageLayout layout = printer.pageLayout();
    const QSize paper = layout.pageSize().sizePoints();
    const QMarginsF margins = layout.margins(QPageLayout::Point);
    PageFormat format;
    format.paperWidth = paper.width();
    format.paperHeight = paper.height();
    format.landscape = layout.orientation() == QPageLayout::Landscape;
    format.margins = {margins.left(), margins.top(), margins.right(), margins.bottom()};
    return format;
}

void ApplyPageFormat(QPrinter& printer, const PageFormat& format) {
    const QPageSize paper(QSizeF(format.paperWidth, format.paperHeight), QPageSize::Point,
                          QString(), QPageSize::FuzzyMatch);
    const QPageLayout::Orientation orientation =
        format.landscape ? QPageLayout::Landscape : QPageLayout::Portrait;
    const QMarginsF margins(format.margins.left, format.margins.top, format.margins.right,
                            format.margins.bottom);
    if (printer.setPageLayout(QPageLayout(paper, orientation, margins, QPageLayout::Point))) {
        return;
    }
    // Margins narrower than the printer can print: the paper still counts.
    printer.setPageSize(paper);
    printer.setPageOrientation(orientation);
    printer.setPageMargins(margins, QPageLayout::Point);
}

int PrintPages(QPrinter& printer, const PrintRun& run) {
    if (run.pages.first < 1 || run.pages.first > run.pages.last) {
        return 0;
    }
    printer.setDocName(QString::fromStdString(run.jobName));
    printer.setCopyCount(run.copies);
    QPainter painter;
    if (!painter.begin(&printer)) {
        return kPrintGeneralError;
    }
    const double unit = printer.resolution() / kPointsPerInch * run.scalePercent / 100.0;
    int error = 0;
    for (std::int32_t page = run.pages.first; page <= run.pages.last; ++page) {
        if (page != run.pages.first && !printer.newPage()) {
            error = kPrintGeneralError;
            break;
        }
        painter.save();
        painter.scale(unit, unit);
        PainterCanvas canvas(painter);
        run.drawPage(canvas, page);
        painter.restore();
    }
    if (!painter.end() && error == 0) {
        error = kPrintGeneralError;
    }
    return error;
}

} // namespace kestrune
