#pragma once
// The data-sheet document ("kedata") and stationery ("kedatasta"): one
// CR-terminated line per model, ten comma-separated fields (Manufacturer,
// Model Name, Dia, Fp, Vap, Qmp, Sd, Xmax, Vd, Mms). Older documents have
// nine fields, without Mms. The document always uses file number 1.

#include "documents/codec_result.h"
#include "model/model_table.h"

#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace kestrune {

inline constexpr std::string_view kDocumentExtension = "kedata";
inline constexpr std::string_view kStationeryExtension = "kedatasta";
inline constexpr std::string_view kUntitledName = "untitled.kedata";
constexpr int kDocumentFileNumber = 1;

// How a name is written: as it stands, or in double quotes when it holds a
// comma or a tab or begins with a space or a tab. A name the item reader
// cannot take back even quoted (a line break, a double quote that would need
// quoting, a leading double quote) is written with its line breaks as spaces
// and its double quotes as typographic ones; exact is false then.
struct NameField {
    std::string text;
    bool exact = true;
};
NameField EncodeNameField(std::string_view name);
// The name as it will read back from EncodeNameField's text.
std::string WritableName(std::string_view name);

// The document line of one row, CR included, as a save writes it (a name the
// format cannot carry changed as EncodeNameField changes it).
void AppendDocumentRecord(std::string& out, const ModelTable& table, std::int32_t row);

struct SaveOutcome {
    bool ok = false;
    // Rows whose names had to be changed to be written (the table now holds
    // what was written); the caller tells the user.
    std::vector<std::int32_t> alteredNameRows;
    FileErrors errors;
};

// Writes rows 1 to fNum of table. The file form replaces the document only
// when every byte is written; a failure leaves the old document as it was.
// With progress, it advances by the rows written.
SaveOutcome WriteDataSheet(ModelTable& table, const std::string& path,
                           WorkProgress* progress = nullptr);
SaveOutcome WriteDataSheet(ModelTable& table, std::ostream& out);

// Reads the rows of a document into table (fNum, Number, names, numbers)
// and gives it back; the rows after the last one read are not cleared. Not
// ok when the file could not be opened. With progress, its total becomes
// the bytes the read goes through and it advances as they are read; once
// it is cancelled the read throws WorkCancelled.
TableRead ReadDataSheet(ModelTable table, const std::string& path,
                        WorkProgress* progress = nullptr);
// The same from where the stream stands.
TableRead ReadDataSheet(ModelTable table, std::istream& in);

// The extension of a path ("" when it has none).
std::string_view ExtensionOf(std::string_view path);
// The last path component.
std::string_view LastPathComponent(std::string_view path);

} // namespace kestrune
