#include "application/import_report.h"

#include "documents/data_sheet_format.h"
#include "model/app_state.h"
#include "runtime/short_name.h"

namespace kestrune {

SkippedLinesNote DescribeSkippedLines(std::string_view path, const SkippedLines& skipped,
                                      bool noneImported) {
    const std::string name = "\u201C" + NameForMessage(LastPathComponent(path)) + "\u201D";
    SkippedLinesNote note;
    if (noneImported) {
        note.message = "No line of " + name + " could be imported.";
    } else if (skipped.count == 1) {
        note.message = "1 line of " + name + " was not imported.";
    } else {
        note.message = std::to_string(skipped.count) + " lines of " + name + " were not imported.";
    }
    note.details = "Each line must hold one model: a manufacturer, a model name and eight "
                   "numbers.\n";
    for (const SkippedLine& line : skipped.described) {
        note.details += "Line " + std::to_string(line.line) + ": " + line.reason + "\n";
    }
    note.details += skipped.count == 1 ? "Line " : "Lines ";
    note.details += ListOfNumbers(skipped.first, skipped.count) + ".";
    return note;
}

void TellAboutSkippedLines(AppState& app, std::string_view path, const SkippedLines& skipped,
                           bool noneImported) {
    if (skipped.count == 0) {
        return;
    }
    const SkippedLinesNote note = DescribeSkippedLines(path, skipped, noneImported);
    app.platform().showNote(note.message, note.details);
}

} // namespace kestrune
