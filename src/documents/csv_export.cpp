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

// A field a spreadsheet reads back as it was: in double quotes, with each
// double quote doubled, when it holds a separator, a double quote or a line
// break, or begins with a blank.
void appendNameField(std::string& out, std::string_view name) {
    const bool quoted =
        (!name.empty() && name.front() == ' ') || std::any_of(name.begin(), name.end(), [](char c) {
            return c == ',' || c == '"' || c == '\t' || c == '\r' || c == '\n';
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

bool writeRows(TextFiles& files, const ModelTable& table) {
    std::string line(kCSVHeader);
    line.push_back('\r');
    files.FilePrintString(kCSVFileNumber, line);
    for (std::int32_t r = 1; r <= table.fNum; ++r) {
        line.clear();
        AppendCSVRecord(line, table, r);
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

void AppendCSVRecord(std::string& out, const ModelTable& table, std::int32_t row) {
    appendNameField(out, table.Manufacturer.get(row));
    out.push_back(',');
    appendNameField(out, table.ModelName.get(row));
    for (Param p : kAllParams) {
        out.push_back(',');
        appendRoundedPSstr(out, table.value(p, row), kCSVScale[static_cast<std::size_t>(p)]);
    }
    out.push_back('\r');
}

WriteResult WriteCSVTable(const ModelTable& table, const std::string& path) {
    CodecFiles files;
    files.slots.FileOpenOutput(kCSVFileNumber, path);
    const bool ok = files.slots.isOpen(kCSVFileNumber) && writeRows(files.slots, table);
    return {ok, std::move(files.errors)};
}

WriteResult WriteCSVTable(const ModelTable& table, std::ostream& out) {
    CodecFiles files;
    files.slots.FileOpenOutput(kCSVFileNumber, out);
    const bool ok = writeRows(files.slots, table);
    return {ok, std::move(files.errors)};
}

} // namespace kestrune
