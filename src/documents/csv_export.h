#pragma once
// The sheet written out as a CSV file for spreadsheets, in UTF-8 without a
// byte-order mark: a header line, then one CR-terminated line per row in
// the sheet's present order, ten fields (the names, then Dia to Mms rounded
// as in a document). A name with a separator, a comma, a double quote, a
// tab or a line break, or with a blank first, is put in double quotes with
// its double quotes doubled, so every name reads back here and in a
// spreadsheet. The document itself is not touched.
//
// Three dialects, for spreadsheets of different locales: commas with
// decimal points (as always), semicolons with decimal commas, and tabs with
// decimal points; the last two write numbers without the leading blank.

#include "documents/codec_result.h"
#include "model/model_table.h"

#include <array>
#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>

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

enum class CsvDialect { Comma, SemicolonDecimalComma, Tab };

struct CsvDialectInfo {
    CsvDialect dialect;
    std::string_view fileType; // as the export dialog offers it
    std::string_view extension;
    char separator;
    bool decimalComma;
};
// The dialects in the order the export dialog offers them.
inline constexpr std::array<CsvDialectInfo, 3> kCsvDialects = {{
    {CsvDialect::Comma, "CSV, comma (*.csv)", "csv", ',', false},
    {CsvDialect::SemicolonDecimalComma, "CSV, semicolon with decimal comma (*.csv)", "csv", ';',
     true},
    {CsvDialect::Tab, "Tab-separated (*.txt)", "txt", '\t', false},
}};

// The CSV line of one row, CR included.
void AppendCSVRecord(std::string& out, const ModelTable& table, std::int32_t row,
                     CsvDialect dialect = CsvDialect::Comma);

// Writes the header and rows 1 to fNum of table. The file form replaces an
// existing file only once every byte is written.
WriteResult WriteCSVTable(const ModelTable& table, const std::string& path,
                          CsvDialect dialect = CsvDialect::Comma);
WriteResult WriteCSVTable(const ModelTable& table, std::ostream& out,
                          CsvDialect dialect = CsvDialect::Comma);

} // namespace kestrune
