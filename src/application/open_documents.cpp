#include "application/open_documents.h"

#include "application/document_io.h"
#include "application/import_report.h"
#include "application/lifecycle.h"
#include "application/out_of_memory.h"
#include "application/read_ahead.h"
#include "application/refused_documents.h"
#include "calculators/calculator_window.h"
#include "documents/csv_export.h"
#include "documents/csv_import.h"
#include "documents/data_sheet_format.h"
#include "model/app_state.h"
#include "model/menu_states.h"
#include "runtime/file_probe.h"
#include "sheet/sheet_input.h"
#include "sheet/sheet_redraw.h"

#include <algorithm>
#include <optional>
#include <utility>

namespace kestrune {
namespace {

// How soon a hand-over that found the program busy looks again.
constexpr int kBusyRetryMs = 50;

enum class SheetFileKind { Document, Table };

bool isSheetExtension(const std::string& ext) {
    return ext == kDocumentExtension || ext == kStationeryExtension;
}
bool isTableExtension(const std::string& ext) {
    return ext == kCSVExtension || ext == kTXTExtension;
}

SheetFileKind kindOf(const std::string& extension) {
    return isSheetExtension(extension) ? SheetFileKind::Document : SheetFileKind::Table;
}

// Why a file of another kind is not opened from the desktop or the command line.
constexpr const char* kNotADocument =
    "Kestrune opens data sheets and stationery (names ending in .kedata or "
    ".kedatasta) and tables from spreadsheets (.csv or .txt).";

void tellNotADocument(AppState& app, const std::string& path) {
    TellCannotOpen(app, path, kNotADocument);
}

// True, after telling the user why, when the file cannot be read at all.
bool refuseUnreadable(AppState& app, const std::string& path) {
    const FileProbe probe = ProbeInputFile(path);
    if (probe == FileProbe::Readable) {
        return false;
    }
    TellCannotOpen(app, path, FileProbeReason(probe));
    return true;
}

// Shows the table just loaded as the sheet, in place of whatever was open.
void showLoadedSheet(AppState& app) {
    if (app.flags.PrefWndOnFlag != 0) {
        app.flags.PrefWndOnFlag = 0;
        app.platform().closePreferencesWindow();
    }
    if (app.calc.CalcWndOnFlag != 0) {
        CloseCalculatorWindow(app);
    }
    if (app.flags.MainWndOpenFlag != 0) {
        app.platform().closeSheetWindow();
    }
    SetMenuState(app, MenuState::InitMenu2);
    MainWnd1(app);
    DrawSheet(app);
}

// The menus of whatever is on screen when nothing new was opened.
void restoreMenus(AppState& app) {
    if (app.flags.MainWndOpenFlag != 0) {
        SetMenuState(app, MenuState::MenuEnable);
        ResumeSheetScrolling(app);
        DrawSheet(app);
    } else {
        // Back to the no-sheet menus: New, Open and Import stay usable.
        SetMenuState(app, MenuState::InitMenu1);
    }
}

// A file of another kind chosen under "All Files" in the Open dialog is read
// as a document, but never saved over: the sheet is a new document named
// after it ("pr3" gives "pr3.kedata").
void openAsNewDocument(AppState& app, const std::string& path) {
    const std::string_view name = LastPathComponent(path);
    const std::string_view extension = ExtensionOf(name);
    std::string_view stem =
        name.substr(0, extension.empty() ? name.size() : name.size() - extension.size() - 1);
    if (stem.empty()) {
        stem = name; // ".profile" gives ".profile.kedata"
    }
    std::string documentName(stem);
    documentName.append(".").append(kDocumentExtension);
    app.doc.fileName1 = documentName;
    app.doc.FileOpenFlag = FileOpen::kNoFile;
    app.doc.DirtyFlag = 1;
    app.doc.fileUrl.clear();
}

// Reads the file at path and shows it as the sheet (as a new document when
// asNew), then tells about the lines of a table that were left out; the sheet
// stays when it cannot be read.
void openSheetFile(AppState& app, const std::string& path, SheetFileKind kind, bool asNew = false) {
    const LoadOutcome outcome =
        kind == SheetFileKind::Document ? LoadDataSheet(app, path) : ImportCSVTable(app, path);
    if (!outcome.loaded()) {
        restoreMenus(app);
        return;
    }
    if (asNew) {
        openAsNewDocument(app, path);
    }
    showLoadedSheet(app);
    TellAboutSkippedLines(app, path, outcome.skipped, false);
}

// A file chosen in the Open or Import dialog.
void openChosenFile(AppState& app, const FileChoice& choice, SheetFileKind kind) {
    if (!choice || refuseUnreadable(app, *choice)) {
        restoreMenus(app);
        return;
    }
    const std::string extension(ExtensionOf(*choice));
    const bool foreign = kind == SheetFileKind::Document && !IsOpenableExtension(extension);
    if (kind == SheetFileKind::Document && isTableExtension(extension)) {
        kind = SheetFileKind::Table; // a table chosen under "All Files" is imported
    }
    openSheetFile(app, *choice, kind, foreign);
}

// Opens the waiting document; the sheet stays when it cannot be read.
void openWaitingDocument(AppState& app) {
    const WaitingDocument doc = std::exchange(app.waiting, WaitingDocument{});
    if (!doc.pending) {
        restoreMenus(app);
        return;
    }
    openSheetFile(app, doc.path, kindOf(doc.s_extension));
}

void scheduleDrain(AppState& app, int milliseconds) {
    if (app.handOver.drainScheduled) {
        return;
    }
    app.handOver.drainScheduled = true;
    app.platform().startTimer(milliseconds, [&app] {
        app.handOver.drainScheduled = false;
        DrainHandedOverDocuments(app);
    });
}

// Of one hand-over the last document of a kind we read wins; the others
// would only have been replaced by it. Without one, its last path is refused.
HandOverBatch batchOf(const std::vector<std::string>& paths) {
    for (auto it = paths.rbegin(); it != paths.rend(); ++it) {
        if (IsOpenableExtension(std::string(ExtensionOf(*it)))) {
            return HandOverBatch{*it, true};
        }
    }
    return HandOverBatch{paths.back(), false};
}

// Takes waiting hand-overs up to the first document that can be read,
// gathering those that cannot be opened; the sheet on screen stays for them.
std::optional<HandOverBatch> takeNextReadable(AppState& app, RefusedDocuments& refused) {
    refused.addUnnamed(std::exchange(app.handOver.refusalsDropped, 0));
    while (!app.handOver.batches.empty()) {
        HandOverBatch batch = std::move(app.handOver.batches.front());
        app.handOver.batches.pop_front();
        if (!batch.openable) {
            refused.add(batch.path, kNotADocument);
            continue;
        }
        const FileProbe probe = ProbeInputFile(batch.path);
        if (probe != FileProbe::Readable) {
            refused.add(batch.path, FileProbeReason(probe));
            continue;
        }
        return batch;
    }
    return std::nullopt;
}

} // namespace

bool IsOpenableExtension(const std::string& extension) {
    return isSheetExtension(extension) || isTableExtension(extension);
}

void OpenDialogSSTFile(AppState& app) {
    app.askOpenFile("Select Open File...",
                    {std::string(kDocumentExtension), std::string(kStationeryExtension)},
                    [&app](const FileChoice& choice) { OpenDialogGetSSTFileHandler(app, choice); });
}

void OpenDialogGetSSTFileHandler(AppState& app, const FileChoice& choice) {
    openChosenFile(app, choice, SheetFileKind::Document);
}

void ImportCSVFile(AppState& app) {
    app.askOpenFile(
        std::string(kImportDialogMessage), {"csv", "txt"},
        [&app](const FileChoice& choice) { openChosenFile(app, choice, SheetFileKind::Table); });
}

void HandleOpenDocuments(AppState& app, const std::vector<std::string>& paths) {
    if (app.flags.EndedFlag != 0 || paths.empty()) {
        return;
    }
    HandOverQueue& queue = app.handOver;
    queue.batches.push_back(batchOf(paths));
    while (queue.batches.size() > HandOverQueue::kMaxWaiting) {
        // A document that can be read would only have been replaced; one
        // that cannot is still told about.
        const HandOverBatch& dropped = queue.batches.front();
        if (!dropped.openable || ProbeInputFile(dropped.path) != FileProbe::Readable) {
            ++queue.refusalsDropped;
        }
        queue.batches.pop_front();
    }
    const HandOverBatch& batch = queue.batches.back();
    if (!app.flags.launching()) {
        scheduleDrain(app, 0);
    } else if (batch.openable) {
        // The launch timer gives time to read it before it is opened.
        StartReadAhead(app, batch.path,
                       kindOf(std::string(ExtensionOf(batch.path))) == SheetFileKind::Document);
    }
}

void DrainHandedOverDocuments(AppState& app) {
    if (app.flags.EndedFlag != 0 || app.flags.launching() || app.handOver.batches.empty()) {
        return;
    }
    if (app.modalUp() || app.flags.OpenNextFlag != 0) {
        scheduleDrain(app, kBusyRetryMs);
        return;
    }
    RefusedDocuments refused;
    const std::optional<HandOverBatch> next = takeNextReadable(app, refused);
    if (!refused.empty()) {
        // One note for them all; the next document opens once it is read.
        app.platform().showNote(refused.message(), refused.details());
        if (next) {
            app.handOver.batches.push_front(*next);
        }
    } else if (next) {
        ProcessUserDocsFromFinder(app, next->path);
    }
    if (!app.waiting.pending) {
        DropReadAhead(app); // the document it was for was refused or replaced
    }
    if (!app.handOver.batches.empty()) {
        scheduleDrain(app, 0);
    }
}

void ProcessUserDocsFromFinder(AppState& app, const std::string& path) {
    const std::string ext(ExtensionOf(path));
    if (!IsOpenableExtension(ext)) {
        tellNotADocument(app, path);
        return;
    }
    app.waiting = WaitingDocument{true, path, ext};
    OpenDocSelectForExtension(app);
}

void OpenDocSelectForExtension(AppState& app) {
    if (!app.waiting.pending) {
        return;
    }
    // A document that cannot be read is refused before anything is asked.
    if (refuseUnreadable(app, app.waiting.path)) {
        app.waiting = WaitingDocument{};
        return;
    }
    CommitEditFieldNow(app);
    if (app.flags.MainWndOpenFlag != 0 && app.doc.DirtyFlag == 1) {
        SetMenuState(app, MenuState::MenuDisable);
        app.flags.OpenNextFlag = 1;
        app.flags.CloseFlag = 0;
        app.flags.QuitFlag = 0;
        NavAskWind(app);
        return;
    }
    openWaitingDocument(app);
}

void OpenNextFile(AppState& app) {
    app.flags.OpenNextFlag = 0;
    openWaitingDocument(app);
}

void CarbonTimerAction(AppState& app) {
    if (!app.flags.launching()) {
        return;
    }
    app.flags.FastOpenFlag = 0;
    // Everything handed over during launch counts as one hand-over: the
    // last document wins.
    std::deque<HandOverBatch>& batches = app.handOver.batches;
    if (batches.size() > 1) {
        const auto openable = std::find_if(batches.rbegin(), batches.rend(),
                                           [](const HandOverBatch& b) { return b.openable; });
        HandOverBatch last = openable != batches.rend() ? *openable : batches.back();
        batches.clear();
        batches.push_back(std::move(last));
        app.handOver.refusalsDropped = 0;
    }
    DrainHandedOverDocuments(app);
}

} // namespace kestrune
