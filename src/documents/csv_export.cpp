#include "documents/csv_export.h"

#include "documents/data_sheet_format.h"
#include "runtime/number_text.h"

#include <algorithm>
#include <array>
#include <utility>

namespace kestrune {
namespace {

// Decimal places kept of each parameter: hundredths, Qmp thousandths, Mms tenths.
constexpr std::array<int, kParamCount> kCSVScale = {100, 100, 100, 1000, 100, 100, 100, 10};

char asciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (asciiLower(a[i]) != asciiLower(b[i])) {
            return false;
        }
    }
    return true;
}

const CsvDialectInfo& infoOf(CsvDialect dialect) {
    return kCsvDialects[static_cast<std::size_t>(dialect)];
}

// A field a spreadsheet reads back as it was: in double quotes, with each
// double quote doubled, when it holds a separator, a double quote or a line
// break, or begins with a blank.
void appendNameField(std::string& out, std::string_view name, char separator) {
    const bool quoted =
        (!name.empty() && name.front() == ' ') ||
        std::any_of(name.begin(), name.end(), [separator](char c) {
            return c == ',' || c == separator || c == '"' || c == '\t' || c == '\r' || c == '\n';
        });
    if (!quoted) {
        out.append(name);
        return;
    }
    out.push_back('"');
    for (const char c : name) {
        out.push_back(c);
        if (c == '"') {
            out.push_back('"');
        }
    }
    out.push_back('"');
}

// A number as spreadsheets of the dialect's locale read it.
void appendNumber(std::string& out, double value, int scale, const CsvDialectInfo& dialect) {
    if (dialect.dialect == CsvDialect::Comma) {
        appendRoundedPSstr(out, value, scale); // as ever, blank and all
        return;
    }
    const std::size_t start = out.size();
    appendRoundedPSstr(out, value, scale);
    if (out.size() > start && out[start] == ' ') {
        out.erase(start, 1);
    }
    if (dialect.decimalComma) {
        std::replace(out.begin() + static_cast<std::ptrdiff_t>(start), out.end(), '.', ',');
    }
}

bool writeRows(TextFiles& files, const ModelTable& table, CsvDialect dialect) {
    std::string line(kCSVHeader);
    std::replace(line.begin(), line.end(), ',', infoOf(dialect).separator);
    line.push_back('\r');
    files.FilePrintString(kCSVFileNumber, line);
    for (std::int32_t r = 1; r <= table.fNum; ++r) {
        line.clear();
        AppendCSVRecord(line, table, r, dialect);
        files.FilePrintString(kCSVFileNumber, line);
    }
    return files.FileClose(kCSVFileNumber);
}

} // namespace

std::string CFStringCopyPathReplacingExtension(std::string_view path, std::string_view oldExtension,
                                               std::string_view newExtension) {
    const std::string_view extension = ExtensionOf(path);
    std::string out(path);
    if (!extension.empty() && equalsIgnoringCase(extension, oldExtension)) {
        out.resize(path.size() - extension.size());
        out.append(newExtension);
    }
    return out;
}

std::string ProposedCSVExportName(std::string_view fileName1) {
    return CFStringCopyPathReplacingExtension(fileName1, kDocumentExtension, kCSVExtension);
}

void AppendCSVRecord(std::string& out, const ModelTable& table, std::int32_t row,
                     CsvDialect dialect) {
    const CsvDialectInfo& info = infoOf(dialect);
    appendNameField(out, table.Manufacturer.get(row), info.separator);
    out.push_back(info.separator);
    appendNameField(out, table.ModelName.get(row), info.separator);
    for (Param p : kAllParams) {
        out.push_back(info.separator);
        appendNumber(out, table.value(p, row), kCSVScale[static_cast<std::size_t>(p)], info);
    }
    out.push_back('\r');
}

WriteResult WriteCSVTable(const ModelTable& table, const std::string& path, CsvDialect dialect) {
    CodecFiles files;
    files.slots.FileOpenOutput(kCSVFileNumber, path);
    const bool ok = files.slots.isOpen(kCSVFileNumber) && writeRows(files.slots, table, dialect);
    return {ok, std::move(files.errors)};
}

WriteResult WriteCSVTable(const ModelTable& table, std::ostream& out, CsvDialect dialect) {
    CodecFiles files;
    files.slots.FileOpenOutput(kCSVFileNumber, out);
    const bool ok = writeRows(files.slots, table, dialect);
    return {ok, std::move(files.errors)};
}

} // namespace kestrune
