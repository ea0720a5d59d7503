#pragma once
// Tables imported from a spreadsheet's text ("csv", "txt"): one model a
// line in the export's order, after an optional header line whose first
// field is "Manufacturer". Commas, tabs or semicolons (with a decimal
// comma) part the fields, as the first line shows. A line that is not one
// model is skipped and counted, never merged with its neighbours. The rows
// replace the sheet's rows from 1 on and the sheet becomes a new, modified
// document named after the file.

#include "documents/imported_rows.h"
#include "model/app_state.h"

#include <iosfwd>
#include <string>
#include <string_view>

namespace kestrune {

inline constexpr std::string_view kTXTExtension = "txt";
// The message line of the import's open dialog (one file, no parent window).
inline constexpr std::string_view kImportDialogMessage = "Select Open CSV/TXT File.";

// The open dialog's filter: every folder, and the files whose extension is
// exactly "csv" or "txt" (case counts).
bool OpenDialogCSVFilter(std::string_view path, bool isFolder);

// How an import went: ok once the file could be read (a read that failed
// part-way has been reported, and the rows before it are kept), and the
// lines that were not one model.
struct ImportOutcome {
    bool ok = false;
    SkippedLines skipped;
    // Read, and every line imported.
    bool whole() const { return ok && skipped.count == 0; }
};

// Reads the rows into the table (fNum, Number, names, numbers) and empties
// the guard row after them; nothing else changes. The names are stored as
// Mac OS Roman: a file that begins with a UTF-8 byte-order mark, or is valid
// UTF-8 beyond plain ASCII, is converted (characters Mac OS Roman lacks
// become '?'); any other file is Mac OS Roman already. Not ok, after the
// file-error alert and with the table unchanged, when the file cannot be
// opened or its text does not fit in memory.
ImportOutcome ReadCSVTable(AppState& app, const std::string& path);
// The same with file slots and a table of the caller's.
ImportOutcome ReadCSVTable(TextFiles& files, ModelTable& table, const std::string& path);
ImportOutcome ReadCSVTable(AppState& app, std::istream& in);

// The document name an import proposes: "data.csv" and "data.txt" give
// "data.kedata"; other names stay as they are.
std::string ImportedDocumentName(std::string_view path);

// The document state after an import: fileName1 from the file, no file
// behind the sheet (FileOpenFlag 0, so the next save asks for a name),
// DirtyFlag 1, the snapshot's row count, row 1 selected with no column,
// scrolled to the top. The caller then sets the sheet's menus, builds the
// window and redraws.
void ApplyImportedDocumentState(AppState& app, std::string_view path);

// What the open dialog's completion calls with the chosen file: read and
// apply. Not ok (and nothing changed) when the file cannot be opened.
ImportOutcome ImportCSVTable(AppState& app, const std::string& path);

// A file handed over by the desktop: imported as above when its extension
// is exactly "csv" or "txt"; otherwise nothing happens and it is not ok.
ImportOutcome ClickOpenCSVFile(AppState& app, const std::string& path);

} // namespace kestrune
