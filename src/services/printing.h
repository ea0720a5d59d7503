#pragma once
// The printed data sheet: forty models to a page under a title and a page
// label, the header and rows drawn by the sheet's own text routines with
// the page's origin, scaled to fit the paper. Page Setup and Print bracket
// their dialogs with the menus disabled; the paper, orientation and margins
// chosen in either are kept for the session, the user's scale until
// another sheet is read.

#include "ports/print_job.h"
#include "runtime/str255.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace kestrune {

class AppState;
class Canvas;
class ModelTable;

constexpr std::int32_t kRowsPerPage = 40;

// Where the table's top-left corner lies on the unscaled page, in points.
constexpr std::int32_t kPageOriginX = 54;
constexpr std::int32_t kPageOriginY = 32;

// The printing system's error numbers the program knows by name.
constexpr int kPrintNoDefaultPrinter = -30872;
constexpr int kPrintGeneralError = -30870;

// The number of pages of a sheet of `rows` rows: rows / 40 rounded up, at
// least 1.
std::int32_t MyGetDocumentNumPagesInDoc(std::int32_t rows);

// The document's name without its first ".kedata" (any case).
std::string PrintJobName(std::string_view fileName1);

// "Thiele/Small Parameters Table of ''Name''", or the bare table title for
// an empty name.
Str255 PrintTitle(std::string_view fileName1);

// "Page : " PSstr(page) "/" PSstr(lastPage), e.g. "Page :  1/ 3".
Str255 PageLabel(std::int32_t page, std::int32_t lastPage);

// The pages to print of a chosen range: "all" becomes 1 to pageCount, and a
// last page beyond pageCount is cut to it.
PageRange CutPageRange(PageRange chosen, std::int32_t pageCount);

// Draws page `page` of the sheet; lastPage is the last page of the range
// being printed, shown in the page label.
void PrintSheet(Canvas& canvas, const ModelTable& table, std::string_view fileName1,
                std::int32_t page, std::int32_t lastPage);

// The alert's texts for a printing error.
std::string PrintErrorMessage(int code);
std::string PrintErrorExplanation(int code);
// Shows a printing error as a note.
void ReportPMError(AppState& app, int code);

// The paper kept for the session (the printer's own at first) with the
// user's scale.
PageFormat KeptPageFormat(AppState& app);

// The Page Setup and Print commands of the File menu; the caller has
// disabled the menus, and they are enabled again when the dialog ends.
void MyDoPageSetup(AppState& app);
void MyDoPrint(AppState& app, int copies);

} // namespace kestrune
