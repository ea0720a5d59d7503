#pragma once
// The sheet read from and written to files. The readers and writers of
// documents/ turn bytes into a table and back; these put the table they
// read into the application (the document's name and flags, the selection),
// hand the sheet's table to the writers, and show the file errors met on
// the way through the file-error alert, in the order they were met.

#include "documents/codec_result.h"
#include "documents/csv_export.h"
#include "documents/csv_import.h"
#include "documents/data_sheet_format.h"

#include <string>
#include <string_view>

namespace kestrune {

class AppState;

// Shows each error through the file-error alert, in order.
void ReportFileErrors(AppState& app, const FileErrors& errors);

// "The document “NAME” could not be opened.", with the reason.
void TellCannotOpen(AppState& app, const std::string& path, const std::string& reason);

// How reading a file into the sheet went.
enum class LoadResult {
    Whole,   // every byte read: the sheet is the document
    Partial, // read with errors the user went on from: a modified sheet without a file
    Refused, // nothing read: the sheet on screen is as it was
};
struct LoadOutcome {
    LoadResult result = LoadResult::Refused;
    // The lines of a table that were not one model.
    SkippedLines skipped;
    bool loaded() const { return result != LoadResult::Refused; }
};

// Reads the document (or, when not document, the spreadsheet's table) at
// path into table; a document skips no lines. With progress, as the readers
// of documents/ take it.
TableImport ReadSheetFile(ModelTable table, const std::string& path, bool document,
                          WorkProgress* progress = nullptr);

// Sets the document state after a read: fileName1 from the location, the
// flags by the extension (stationery gives an untitled, modified sheet), the
// snapshot's row count and the selection of a freshly opened sheet.
void ApplyOpenedDocumentState(AppState& app, const std::string& path);

// The document state after an import: fileName1 from the file, no file
// behind the sheet (FileOpenFlag 0, so the next save asks for a name),
// DirtyFlag 1, the snapshot's row count, row 1 selected with no column,
// scrolled to the top.
void ApplyImportedDocumentState(AppState& app, std::string_view path);

// Reads the document at path (the table read ahead for it, when there is
// one) and makes it the sheet's table and the open document. The sheet's
// table stays until the new one is read whole: when the file cannot be
// opened, memory runs out (the user is told) or the user cancels the read
// (nothing is told), the sheet is as it was.
// A document read with errors becomes a modified sheet without a file, so
// that Save asks for a name. The caller then builds the window and redraws.
LoadOutcome LoadDataSheet(AppState& app, const std::string& path);

// The same for a table from a spreadsheet, which becomes a new, modified
// document named after the file. A table of which no line is a model is
// refused, with a note naming the lines.
LoadOutcome ImportCSVTable(AppState& app, const std::string& path);

// The sheet written as a document, its progress shown; the table takes the
// names as written. DirtyFlag, FileOpenFlag and fileName1 are the caller's
// to set.
SaveOutcome WriteDataSheet(AppState& app, const std::string& path);

// The sheet exported as a CSV file in the dialect; false when that failed.
// DirtyFlag, FileOpenFlag, fileName1 and the selection stay as they are.
bool WriteCSVTable(AppState& app, const std::string& path, CsvDialect dialect = CsvDialect::Comma);

} // namespace kestrune
