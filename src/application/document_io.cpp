#include "application/document_io.h"

#include "application/import_report.h"
#include "application/long_work.h"
#include "application/out_of_memory.h"
#include "application/read_ahead.h"
#include "documents/csv_export.h"
#include "documents/csv_import.h"
#include "model/app_state.h"
#include "runtime/file_probe.h"
#include "runtime/short_name.h"

#include <algorithm>
#include <new>
#include <optional>
#include <utility>

namespace kestrune {
namespace {

// Puts the table read from path into the sheet, once the errors met are
// shown; identity is the file's as it was before the read.
LoadOutcome takeReadTable(AppState& app, const std::string& path, bool document,
                          const std::optional<FileIdentity>& identity, TableImport read) {
    ReportFileErrors(app, read.errors);
    if (!read.ok) {
        return {};
    }
    LoadOutcome outcome;
    outcome.skipped = std::move(read.skipped);
    if (read.table.fNum == 0 && outcome.skipped.count > 0) {
        // Not one model in it: the sheet on screen stays.
        read.table = app.emptyTable(); // gives the memory back before telling
        TellAboutSkippedLines(app, path, outcome.skipped, true);
        return {};
    }
    app.table = std::move(read.table);
    app.snap = RowSnapshot{};
    app.GPrintScale = 100.0;
    if (document) {
        ApplyOpenedDocumentState(app, path);
    } else {
        ApplyImportedDocumentState(app, path);
    }
    app.doc.fileIdentity.reset();
    if (read.errors.empty()) {
        if (app.doc.hasFile()) {
            app.doc.fileIdentity = identity;
        }
        outcome.result = LoadResult::Whole;
        return outcome;
    }
    // What was read after an error is not the file: Save must ask for a name.
    app.doc.FileOpenFlag = FileOpen::kNoFile;
    app.doc.DirtyFlag = 1;
    app.doc.fileUrl.clear();
    outcome.result = LoadResult::Partial;
    return outcome;
}

LoadOutcome loadSheetFile(AppState& app, const std::string& path, bool document) {
    // Taken before the read: a write meanwhile shows as a change at Save.
    const std::optional<FileIdentity> identity = IdentifyFile(path);
    std::optional<TableImport> read;
    try {
        if (std::optional<ModelTable> ahead = TakeReadAhead(app, path, document)) {
            read = TableImport{{std::move(*ahead), true, {}}, {}};
        } else if (!RunLongWork(app, OpeningView(path, document),
                                [&, fresh = app.emptyTable()](WorkProgress& progress) mutable {
                                    read =
                                        ReadSheetFile(std::move(fresh), path, document, &progress);
                                })) {
            return {}; // cancelled: what was read is gone, the sheet stays
        }
    } catch (const WorkCancelled&) {
        return {}; // the read ahead for it, cancelled
    } catch (const std::bad_alloc&) {
        // What was read is gone; the sheet keeps its table.
        TellCannotOpen(app, path, NotEnoughMemory("hold it"));
        return {};
    }
    return takeReadTable(app, path, document, identity, std::move(*read));
}

} // namespace

void ReportFileErrors(AppState& app, const FileErrors& errors) {
    for (const FileError& error : errors) {
        app.files.CheckFileError(error.fileNumber, error.code);
    }
}

void TellCannotOpen(AppState& app, const std::string& path, const std::string& reason) {
    app.platform().showNote("The document \u201C" + NameForMessage(LastPathComponent(path)) +
                                "\u201D could not be opened.",
                            reason);
}

TableImport ReadSheetFile(ModelTable table, const std::string& path, bool document,
                          WorkProgress* progress) {
    if (document) {
        return {ReadDataSheet(std::move(table), path, progress), {}};
    }
    return ReadCSVTable(std::move(table), path, progress);
}

void ApplyOpenedDocumentState(AppState& app, const std::string& path) {
    if (ExtensionOf(path) == kStationeryExtension) {
        app.doc.fileName1 = std::string(kUntitledName);
        app.doc.FileOpenFlag = FileOpen::kNoFile;
        app.doc.DirtyFlag = 1;
        app.doc.fileUrl.clear();
    } else {
        app.doc.fileName1 = std::string(LastPathComponent(path));
        app.doc.FileOpenFlag = 1;
        app.doc.DirtyFlag = 0;
        app.doc.fileUrl = path;
    }
    app.SelectLoadedSheet();
}

void ApplyImportedDocumentState(AppState& app, std::string_view path) {
    app.doc.fileName1 = ImportedDocumentName(path);
    app.doc.FileOpenFlag = FileOpen::kNoFile;
    app.doc.DirtyFlag = 1;
    app.doc.fileUrl.clear();
    app.SelectLoadedSheet();
}

LoadOutcome LoadDataSheet(AppState& app, const std::string& path) {
    return loadSheetFile(app, path, true);
}

LoadOutcome ImportCSVTable(AppState& app, const std::string& path) {
    return loadSheetFile(app, path, false);
}

SaveOutcome WriteDataSheet(AppState& app, const std::string& path) {
    SaveOutcome outcome;
    RunLongWork(app, SavingView(path), [&](WorkProgress& progress) {
        progress.setTotal(static_cast<std::uint64_t>(std::max(app.table.fNum, 0)));
        outcome = WriteDataSheet(app.table, path, &progress);
    });
    ReportFileErrors(app, outcome.errors);
    return outcome;
}

bool WriteCSVTable(AppState& app, const std::string& path, CsvDialect dialect) {
    const WriteResult result = WriteCSVTable(app.table, path, dialect);
    ReportFileErrors(app, result.errors);
    return result.ok;
}

} // namespace kestrune
