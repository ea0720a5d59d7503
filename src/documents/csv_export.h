#pragma once
// The sheet written out as a CSV file for spreadsheets: a header line, then
// one CR-terminated line per row in the sheet's present order, ten fields
// (the names, then Dia to Mms rounded as in a document). Names that would
// split or lose their leading blank are put in double quotes, so the file
// reads back here and in a spreadsheet. The document itself is not touched.

#include "model/app_state.h"

#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace kestrune {

inline constexpr std::string_view kCSVHeader =
    "Manufacturer,Model_Name,Dia(cm),Fp(Hz),Vap(Liter),Qmp,Sd(cm^2),Xmax(mm),Vd(cm^3),Mms(grams)";
inline constexpr std::string_view kCSVExtension = "csv";
// The message line of the export's save dialog.
inline constexpr std::string_view kExportDialogMessage = "Save This CSV File As...";
constexpr int kCSVFileNumber = 1;

// path with its extension replaced by newExtension when that extension
// equals oldExtension regardless of case; otherwise path unchanged.
std::string CFStringCopyPathReplacingExtension(std::string_view path, std::string_view oldExtension,
                                               std::string_view newExtension);

// The name the export's save dialog proposes: "untitled.kedata" gives
// "untitled.csv"; a name without the document extension stays as it is.
std::string ProposedCSVExportName(std::string_view fileName1);

// The CSV line of one row, CR included. Returns false when a name could not
// be written exactly (a line break or a double quote the reader cannot take
// back); it is then written as the document writer would store it.
bool AppendCSVRecord(std::string& out, const ModelTable& table, std::int32_t row);

struct ExportOutcome {
    bool ok = false;
    // Rows whose names were written changed (the table keeps them as they are).
    std::vector<std::int32_t> alteredNameRows;
};

// Writes the header and rows 1 to fNum. The file form replaces an existing
// file only once every byte is written; failures go to the file-error alert.
// DirtyFlag, FileOpenFlag, fileName1 and the selection stay as they are.
ExportOutcome WriteCSVTable(AppState& app, const std::string& path);
ExportOutcome WriteCSVTable(AppState& app, std::ostream& out);

} // namespace kestrune
