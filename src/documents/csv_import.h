#pragma once
// Tables imported from comma- or tab-separated text ("csv", "txt"): an
// optional header whose first field is "Manufacturer", then ten items per
// model in the export's order, cut by the item rules of the text files (a
// line does not bound a model). The rows replace the sheet's rows from 1 on
// and the sheet becomes a new, modified document named after the file.

#include "model/app_state.h"

#include <iosfwd>
#include <string>
#include <string_view>

namespace kestrune {

inline constexpr std::string_view kTXTExtension = "txt";
inline constexpr std::string_view kCSVHeaderFirstField = "Manufacturer";
// The message line of the import's open dialog (one file, no parent window).
inline constexpr std::string_view kImportDialogMessage = "Select Open CSV/TXT File.";

// The open dialog's filter: every folder, and the files whose extension is
// exactly "csv" or "txt" (case counts).
bool OpenDialogCSVFilter(std::string_view path, bool isFolder);

// The bytes of an imported file as the table stores them. A UTF-8
// byte-order mark is dropped and the text after it converted from UTF-8;
// without the mark, text that is valid UTF-8 and not plain ASCII is
// converted. Characters Mac OS Roman lacks become '?'. Anything else is
// taken as Mac OS Roman and kept byte for byte.
std::string ImportedTextToMacRoman(std::string bytes);

// Reads the rows into the table (fNum, Number, names, numbers) and empties
// the guard row after them; nothing else changes. Returns false, after the
// file-error alert and with the table unchanged, when the file cannot be
// opened or its text does not fit in memory.
bool ReadCSVTable(AppState& app, const std::string& path);
// The same with file slots and a table of the caller's.
bool ReadCSVTable(TextFiles& files, ModelTable& table, const std::string& path);
bool ReadCSVTable(AppState& app, std::istream& in);

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
// apply. False (and nothing changed) when the file cannot be opened.
bool ImportCSVTable(AppState& app, const std::string& path);

// A file handed over by the desktop: imported as above when its extension
// is exactly "csv" or "txt"; otherwise nothing happens and false returns.
bool ClickOpenCSVFile(AppState& app, const std::string& path);

} // namespace kestrune
