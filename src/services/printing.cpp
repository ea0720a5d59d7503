#include "services/printing.h"

#include "model/app_state.h"
#include "model/menu_states.h"
#include "model/model_table.h"
#include "ports/canvas.h"
#include "ports/platform.h"
#include "runtime/number_text.h"
#include "services/print_scale.h"
#include "sheet/sheet_labels.h"
#include "sheet/sheet_redraw.h"
#include "sheet/string_change.h"

#include <algorithm>

namespace kestrune {
namespace {

constexpr std::string_view kDocumentExtension = ".kedata";
constexpr std::string_view kTableTitle = "Thiele/Small Parameters Table";
constexpr std::int32_t kMainWindow = 1;

// Page positions of the title and the page label, and their fonts.
constexpr double kTitleX = 54.0;
constexpr double kLabelX = 704.0;
constexpr double kTitleBaseline = 22.0;
constexpr std::int32_t kTitleFont = 8; // Helvetica Bold
constexpr double kTitleSize = 17.0;
constexpr std::int32_t kLabelFont = 5; // Geneva
constexpr double kLabelSize = 13.0;

// The table's frame and grid, from the origin.
constexpr double kTableWidth = 728.0;
constexpr double kTableHeight = 672.0;
constexpr double kHeaderHeight = 32.0;
constexpr double kLineHeight = 16.0;
constexpr double kFrameWidth = 1.0;
constexpr double kGridWidth = 0.5;
constexpr double kNameColumnLines[] = {28.0, 140.0};
constexpr double kFirstNumberLine = 280.0;
constexpr double kNumberColumnWidth = 56.0;

// A long title is narrowed to end this far before the page label, a long
// label to end where the printed page does.
constexpr double kTitleGap = 8.0;
constexpr TextBox kTitleBox{kTitleX, kLabelX - kTitleGap};
constexpr TextBox kLabelBox{kLabelX, kPrintedExtent.right};

// Text on the title's baseline from box.left, narrowed to stay in box.
void drawPageText(Canvas& canvas, std::string_view text, TextBox box, std::int32_t font,
                  double size) {
    DrawState& st = canvas.st;
    const TextFit fit = FitText(canvas, text, font, size, box.left, box);
    st.setGrey(0.0);
    st.QzFontNum = font;
    st.fontSize = fit.fontSize;
    st.fontStretch = fit.stretch;
    st.xx = fit.x;
    st.yy = kTitleBaseline;
    st.s_QuartzText = text;
    canvas.QuartzDrawText(kMainWindow);
    st.fontStretch = 1.0;
}

// A line from the origin's coordinates (x0, y0) to (x1, y1).
void drawTableLine(Canvas& canvas, double x0, double y0, double x1, double y1) {
    DrawState& st = canvas.st;
    st.xx = x0 + st.xSft;
    st.yy = y0 + st.ySft;
    st.xx1 = x1 + st.xSft;
    st.yy1 = y1 + st.ySft;
    canvas.QuartzDrawLine(kMainWindow);
}

void drawFrameAndGrid(Canvas& canvas) {
    DrawState& st = canvas.st;
    st.setGrey(0.0);
    st.LineW = kFrameWidth;
    st.s_FrameFill = "Frame";
    st.xx = st.xSft;
    st.yy = st.ySft;
    st.xx1 = st.xSft + kTableWidth;
    st.yy1 = st.ySft + kTableHeight;
    canvas.QuartzDrawRect(kMainWindow);
    drawTableLine(canvas, 0.0, kHeaderHeight, kTableWidth, kHeaderHeight);

    st.LineW = kGridWidth;
    for (const double x : kNameColumnLines) {
        drawTableLine(canvas, x, 0.0, x, kTableHeight);
    }
    for (double x = kFirstNumberLine; x < kTableWidth; x += kNumberColumnWidth) {
        drawTableLine(canvas, x, 0.0, x, kTableHeight);
    }
    for (double y = kHeaderHeight + kLineHeight; y < kTableHeight; y += kLineHeight) {
        drawTableLine(canvas, 0.0, y, kTableWidth, y);
    }
}

} // namespace

std::int32_t MyGetDocumentNumPagesInDoc(std::int32_t rows) {
    if (rows <= 0) {
        return 1;
    }
    return (rows - 1) / kRowsPerPage + 1;
}

std::string PrintJobName(std::string_view fileName1) {
    return CFStringFindAndChange(std::string(fileName1), kDocumentExtension, "");
}

Str255 PrintTitle(std::string_view fileName1) {
    const Str255 name(PrintJobName(fileName1));
    Str255 title(kTableTitle);
    if (!name.empty()) {
        title.append(" of ''");
        title.append(name.view());
        title.append("''");
    }
    return title;
}

Str255 PageLabel(std::int32_t page, std::int32_t lastPage) {
    return Str255("Page : " + PSstr(page) + "/" + PSstr(lastPage));
}

PageRange CutPageRange(PageRange chosen, std::int32_t pageCount) {
    if (chosen.first < 1) {
        return {1, pageCount};
    }
    chosen.last = std::min(chosen.last, pageCount);
    return chosen;
}

void PrintSheet(Canvas& canvas, const ModelTable& table, std::string_view fileName1,
                std::int32_t page, std::int32_t lastPage) {
    DrawState& st = canvas.st;
    st.xSft = kPageOriginX;
    st.ySft = kPageOriginY;
    st.LineW = 0.0;

    drawPageText(canvas, PrintTitle(fileName1).view(), kTitleBox, kTitleFont, kTitleSize);
    drawPageText(canvas, PageLabel(page, lastPage).view(), kLabelBox, kLabelFont, kLabelSize);

    DrawAllTopLabel(canvas, 0.0);
    const std::int32_t first = kRowsPerPage * (page - 1) + 1;
    const std::int32_t last = std::min(kRowsPerPage * page, table.fNum);
    for (std::int32_t row = first; row <= last; ++row) {
        DrawLongCell(canvas, table, 0.0, row - first + 1, row, 0);
    }
    drawFrameAndGrid(canvas);
}

std::string PrintErrorMessage(int code) {
    return "Error code " + PSstr(code);
}

std::string PrintErrorExplanation(int code) {
    return code == kPrintNoDefaultPrinter ? "No default printer specified" : "Printing error";
}

void ReportPMError(AppState& app, int code) {
    app.platform().showNote(PrintErrorMessage(code), PrintErrorExplanation(code));
}

PageFormat KeptPageFormat(AppState& app) {
    if (!app.pageFormat) {
        app.pageFormat = app.platform().pageFormat();
    }
    PageFormat format = *app.pageFormat;
    format.scale = app.GPrintScale;
    return format;
}

void MyDoPageSetup(AppState& app) {
    if (app.flags.MainWndOpenFlag == 0) {
        return;
    }
    // Documents handed over wait while the dialog is up.
    ++app.flags.DialogsUp;
    app.platform().showPageSetupDialog(KeptPageFormat(app),
                                       [&app](bool accepted, const PageFormat& chosen) {
                                           --app.flags.DialogsUp;
                                           if (accepted) {
                                               app.pageFormat = chosen;
                                               app.GPrintScale = chosen.scale;
                                           }
                                           SetMenuState(app, MenuState::MenuEnable);
                                       });
}

void MyDoPrint(AppState& app, int copies) {
    Platform& platform = app.platform();
    if (app.flags.MainWndOpenFlag == 0) {
        platform.SysBeep();
        return;
    }
    if (!platform.canPrint()) {
        ReportPMError(app, kPrintNoDefaultPrinter);
        SetMenuState(app, MenuState::MenuEnable);
        return;
    }
    PrintRequest request;
    request.jobName = PrintJobName(app.doc.fileName1);
    request.format = KeptPageFormat(app);
    request.pageCount = MyGetDocumentNumPagesInDoc(app.table.fNum);
    request.copies = copies;
    ++app.flags.DialogsUp;
    platform.showPrintDialog(request, [&app, request](bool accepted, const PageRange& chosen) {
        --app.flags.DialogsUp;
        if (accepted) {
            // The paper may have been changed in the dialog; it is kept.
            app.pageFormat = app.platform().pageFormat();
            PrintRun run;
            run.jobName = request.jobName;
            run.pages = CutPageRange(chosen, MyGetDocumentNumPagesInDoc(app.table.fNum));
            run.copies = request.copies;
            run.scalePercent = CalcPrintPageScale(*app.pageFormat, app.GPrintScale);
            const std::int32_t lastPage = run.pages.last;
            run.drawPage = [&app, lastPage](Canvas& canvas, std::int32_t page) {
                canvas.st.DoPrint = 1;
                PrintSheet(canvas, app.table, app.doc.fileName1, page, lastPage);
                canvas.st.DoPrint = 0;
            };
            if (const int error = app.platform().printPages(run); error != 0) {
                ReportPMError(app, error);
            }
        }
        SetMenuState(app, MenuState::MenuEnable);
        DrawSheet(app);
    });
}

} // namespace kestrune
