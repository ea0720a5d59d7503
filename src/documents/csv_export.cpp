#include "documents/csv_export.h"

#include "documents/data_sheet_format.h"
#include "runtime/number_text.h"

#include <array>

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

ExportOutcome writeRows(AppState& app) {
    ExportOutcome outcome;
    std::string line(kCSVHeader);
    line.push_back('\r');
    app.files.FilePrintString(kCSVFileNumber, line);
    for (std::int32_t r = 1; r <= app.table.fNum; ++r) {
        line.clear();
        if (!AppendCSVRecord(line, app.table, r)) {
            outcome.alteredNameRows.push_back(r);
        }
        app.files.FilePrintString(kCSVFileNumber, line);
    }
    outcome.ok = app.files.FileClose(kCSVFileNumber);
    return outcome;
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

bool AppendCSVRecord(std::string& out, const ModelTable& table, std::int32_t row) {
    const NameField manufacturer = EncodeNameField(table.Manufacturer.get(row));
    const NameField modelName = EncodeNameField(table.ModelName.get(row));
    out.append(manufacturer.text);
    out.push_back(',');
    out.append(modelName.text);
    for (Param p : kAllParams) {
        out.push_back(',');
        appendRoundedPSstr(out, table.value(p, row), kCSVScale[static_cast<std::size_t>(p)]);
    }
    out.push_back('\r');
    return manufacturer.exact && modelName.exact;
}

ExportOutcome WriteCSVTable(AppState& app, const std::string& path) {
    app.files.FileOpenOutput(kCSVFileNumber, path);
    if (!app.files.isOpen(kCSVFileNumber)) {
        return {};
    }
    return writeRows(app);
}

ExportOutcome WriteCSVTable(AppState& app, std::ostream& out) {
    app.files.FileOpenOutput(kCSVFileNumber, out);
    return writeRows(app);
}

} // namespace kestrune
