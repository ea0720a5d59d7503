#pragma once
// Tables imported from a spreadsheet's text ("csv", "txt"): one model a
// line in the export's order, after an optional header line whose first
// field is "Manufacturer". Commas, tabs or semicolons part the fields, as
// the first line shows; the numbers show their decimal mark. A line that is
// not one model is skipped and counted, never merged with its neighbours.

#include "documents/codec_result.h"
#include "documents/imported_rows.h"
#include "model/model_table.h"

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

// A table read from a spreadsheet's text, and the lines of it that were
// not one model.
struct TableImport : TableRead {
    SkippedLines skipped;
};

// Reads the rows into table from row 1 on (fNum, Number, names, numbers),
// empties the guard row after them and gives it back. The names are kept
// as the file has them when it begins with a UTF-8 byte-order mark or is
// valid UTF-8; any other file is read as Windows-1252 or Mac OS Roman,
// whichever its bytes show, and its names converted. Not ok, with
// nothing of the file in the table, when the file cannot be opened or its
// text does not fit in memory.
// With progress, its total becomes the bytes the read goes through and it
// advances as they are read; once it is cancelled the read throws WorkCancelled.
TableImport ReadCSVTable(ModelTable table, const std::string& path,
                         WorkProgress* progress = nullptr);
TableImport ReadCSVTable(ModelTable table, std::istream& in);

// The document name an import proposes: "data.csv" and "data.txt" give
// "data.kedata"; other names stay as they are.
std::string ImportedDocumentName(std::string_view path);

} // namespace kestrune
