#pragma once
// The data-sheet document ("kedata") and stationery ("kedatasta"): one
// CR-terminated line per model, ten comma-separated fields (Manufacturer,
// Model Name, Dia, Fp, Vap, Qmp, Sd, Xmax, Vd, Mms). Older documents have
// nine fields, without Mms. The document always uses file number 1.

#include "model/app_state.h"

#include <cstdint>
#include <functional>
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
};

// Writes rows 1 to fNum. The file form replaces the document only when every
// byte is written; a failure is reported through the file-error alert and
// leaves the old document as it was.
SaveOutcome WriteDataSheet(AppState& app, const std::string& path);
SaveOutcome WriteDataSheet(AppState& app, std::ostream& out);

// Reads the rows of a document into the table (fNum, Number, names, numbers).
// The table is not cleared first. Returns false when the file could not be opened.
bool ReadDataSheet(AppState& app, const std::string& path);
// The same with file slots and a table of the caller's: no alert is shown
// unless the slots report errors to one.
bool ReadDataSheet(TextFiles& files, ModelTable& table, const std::string& path);
void ReadDataSheet(AppState& app, std::istream& in);

// Sets the document state after a read: fileName1 from the location, the
// flags by the extension (stationery gives an untitled, modified sheet), the
// snapshot's row count and the selection of a freshly opened sheet.
void ApplyOpenedDocumentState(AppState& app, const std::string& path);

// Read and apply in one step, as the Open dialog and the desktop do.
bool LoadDataSheet(AppState& app, const std::string& path);

// The extension of a path ("" when it has none).
std::string_view ExtensionOf(std::string_view path);
// The last path component.
std::string_view LastPathComponent(std::string_view path);

} // namespace kestrune
