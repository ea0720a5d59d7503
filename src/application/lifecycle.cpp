#include "application/lifecycle.h"

#include "application/document_io.h"
#include "application/import_report.h"
#include "application/open_documents.h"
#include "application/out_of_memory.h"
#include "application/read_ahead.h"
#include "calculators/calculator_window.h"
#include "documents/csv_export.h"
#include "documents/data_sheet_format.h"
#include "model/app_state.h"
#include "model/menu_states.h"
#include "model/screen_fit.h"
#include "runtime/file_probe.h"
#include "services/help.h"
#include "services/tarnwell_link.h"
#include "services/update_check.h"
#include "sheet/sheet_input.h"
#include "sheet/sheet_redraw.h"

namespace kestrune {
namespace {

constexpr int kLaunchDelayMs = 200;

void tellAboutAlteredNames(AppState& app, const SaveOutcome& outcome) {
    if (outcome.alteredNameRows.empty()) {
        return;
    }
    const std::string rows = ListOfNumbers(
        outcome.alteredNameRows, static_cast<std::int64_t>(outcome.alteredNameRows.size()));
    app.platform().showNote(
        "Some names were changed so that the document can hold them.",
        "A data sheet cannot store a line break in a name, nor a straight double quote in a "
        "name that needs quoting or begins with one. Line breaks became blanks and straight "
        "double quotes became typographic ones in row " +
            rows + ".");
}

// A save that had to change names put the written names into the table:
// the sheet is what the file holds, so the selected row's snapshot and the
// edit field take them too, or the next redraw would see a change (or store
// the field's old text back) and mark the saved sheet modified again.
void adoptWrittenNames(AppState& app, const SaveOutcome& outcome) {
    if (outcome.alteredNameRows.empty() || app.flags.MainWndOpenFlag == 0) {
        return;
    }
    app.TakeSnapshot();
    const std::int32_t column = app.sel.cellH;
    if (column == 1 || column == 2) {
        app.edit.s_PASS = ShownEditText(app, app.sel.cellVscroll, column);
        app.edit.CalcOnFlag = 1;
    }
}

void markSaved(AppState& app, const SaveOutcome& outcome) {
    adoptWrittenNames(app, outcome);
    app.doc.DirtyFlag = 0;
    app.platform().setWindowModified(false);
}

// Remembers the sheet's file as it is now, read or just saved.
void rememberOwnFile(AppState& app) {
    app.doc.fileIdentity = IdentifyFile(app.doc.fileUrl);
}

// True when another program wrote the sheet's own file since the sheet read
// or last saved it. A file gone since is not: saving only puts it back.
bool changedByOtherProgram(const AppState& app) {
    if (!app.doc.hasFile() || !app.doc.fileIdentity) {
        return false;
    }
    const std::optional<FileIdentity> now = IdentifyFile(app.doc.fileUrl);
    return now && WrittenSince(*app.doc.fileIdentity, *now);
}

// Writes the sheet to the document at path. Out of memory nothing is
// written: the document stays as it was, the user is told, and the outcome
// is a failed save, so the sheet keeps its changes.
SaveOutcome writeSheet(AppState& app, const std::string& path) {
    SaveOutcome outcome;
    WriteOrTellNotEnoughMemory(app, kDocumentFileNumber, path,
                               [&] { outcome = WriteDataSheet(app, path); });
    return outcome;
}

void showTitle(AppState& app) {
    app.platform().setWindowTitle(app.doc.fileName1,
                                  app.doc.hasFile() ? app.doc.fileUrl : std::string());
}

// What a pending Quit, Close or waiting document asks for once the sheet is
// saved or discarded.
void continueAfterSave(AppState& app) {
    const bool openNext = app.flags.OpenNextFlag != 0;
    if (app.flags.QuitFlag != 0) {
        QuitApplication(app);
        return;
    }
    if (app.flags.CloseFlag != 0) {
        CloseFile(app);
    }
    if (openNext) {
        OpenNextFile(app);
    }
}

// The pending commands end with a cancelled dialog: nothing happens later by
// surprise. Documents handed over meanwhile stay queued and open after all,
// through the usual save question.
void dropPendingCommands(AppState& app) {
    app.flags.QuitFlag = 0;
    app.flags.CloseFlag = 0;
    app.flags.OpenNextFlag = 0;
    app.waiting = WaitingDocument{};
    DropReadAhead(app);
}

// Save As with its continuation: after the question it quits, closes or
// opens the waiting document; from the menu it redraws.
void saveAs(AppState& app, bool fromQuestion) {
    SetMenuState(app, MenuState::MenuDisable);
    app.askSaveFile("Save This File As...", ProposedSavePath(app, app.doc.fileName1),
                    std::string(kDocumentExtension), [&app, fromQuestion](FileChoice choice) {
                        if (!choice) {
                            dropPendingCommands(app);
                            SetMenuState(app, MenuState::MenuEnable);
                            ResumeSheetScrolling(app);
                            DrawSheet(app);
                            return;
                        }
                        const SaveOutcome outcome = writeSheet(app, *choice);
                        SetMenuState(app, MenuState::MenuEnable);
                        if (!outcome.ok) {
                            // The old document is untouched and the sheet keeps its changes.
                            dropPendingCommands(app);
                            DrawSheet(app);
                            return;
                        }
                        app.doc.fileUrl = *choice;
                        app.doc.fileName1 = std::string(LastPathComponent(*choice));
                        app.doc.FileOpenFlag = FileOpen::kFileBacked;
                        rememberOwnFile(app);
                        markSaved(app, outcome);
                        showTitle(app);
                        tellAboutAlteredNames(app, outcome);
                        if (fromQuestion || app.flags.QuitFlag != 0 || app.flags.CloseFlag != 0) {
                            continueAfterSave(app);
                            if (app.flags.MainWndOpenFlag == 0 || app.flags.QuitFlag != 0) {
                                return;
                            }
                        }
                        DrawSheet(app);
                    });
}

// Reopen: the sheet becomes the file as the other program left it. Changes
// on the sheet go through the usual question first, and saving them there
// asks for another name, so that the other program's file stays as it is.
void reopenOwnFile(AppState& app) {
    const std::string path = app.doc.fileUrl;
    app.waiting = WaitingDocument{true, path, std::string(ExtensionOf(path))};
    app.flags.CloseFlag = 0;
    app.flags.QuitFlag = 0;
    CommitEditFieldNow(app);
    if (app.doc.DirtyFlag != 1) {
        OpenNextFile(app);
        return;
    }
    SetMenuState(app, MenuState::MenuDisable);
    app.flags.OpenNextFlag = 1;
    app.askSaveChanges(app.doc.fileName1, [&app](SaveChangesAnswer answer) {
        if (answer == SaveChangesAnswer::Save) {
            saveAs(app, true);
            return;
        }
        NavAskHandler(app, answer);
    });
}

// Save is about to write over the sheet's file, which another program
// changed: the user says whether to replace it (then gets true), keep it
// (false) or reopen it (then does not come back).
void askAboutOtherProgram(AppState& app, std::function<void(bool replace)> then) {
    app.askChangedFile(app.doc.fileName1, [&app, then = std::move(then)](ChangedFileAnswer answer) {
        switch (answer) {
        case ChangedFileAnswer::SaveAnyway:
            then(true);
            return;
        case ChangedFileAnswer::Reopen:
            reopenOwnFile(app);
            return;
        case ChangedFileAnswer::Cancel:
            then(false);
            return;
        }
    });
}

// The Save answer of the question for a sheet with a file: saved, then on
// to what was pending; nothing is closed or replaced while the changes are
// not on disk.
void saveOwnFileAndGoOn(AppState& app) {
    if (!SaveSSTFile(app)) {
        dropPendingCommands(app);
        SetMenuState(app, MenuState::MenuEnable);
        DrawSheet(app);
        return;
    }
    continueAfterSave(app);
}

} // namespace

std::string ProposedSavePath(const AppState& app, const std::string& name) {
    const std::string& location = app.doc.fileUrl;
    const auto slash = location.rfind('/');
    if (!app.doc.hasFile() || location.empty() || slash == std::string::npos) {
        return name;
    }
    return location.substr(0, slash + 1) + name;
}

std::string StationeryName(const std::string& fileName1) {
    return CFStringCopyPathReplacingExtension(fileName1, kDocumentExtension, kStationeryExtension);
}

void StartUp(AppState& app) {
    InstallTarnwellLink(app);
    AnnounceToTarnwell(app);
    app.menus.setHelpDocumentTitle(JPManualName());
    app.flags.FastOpenFlag = 1;
    app.flags.EditWndNum = 1;
    SetMenuState(app, MenuState::InitMenu1);
    app.update.quit = [&app] { QuitSequence(app); };
    app.platform().startTimer(kLaunchDelayMs, [&app] { CarbonTimerAction(app); });
    CheckForVersionAtLaunch(app);
}

WindowPlace PlaceOfSheetWindow(const AppState& app) {
    // The last place and height of the window when the user keeps it or
    // moved it in this run, else the top-left corner below the menu bar.
    const bool remembered = app.prefs.BoundsCheck == 1 || app.flags.RePosiFlag == 1;
    WindowPlace place{0, 44, kSheetContentHeight};
    if (remembered) {
        const std::int32_t height = app.Bounds.bottom - app.Bounds.top;
        place = {app.Bounds.left, app.Bounds.top, std::max(height, kSheetContentHeight)};
    }
    return FitOnScreens(place, kSheetContentWidth, app.platform().screenAreas());
}

void MainWnd1(AppState& app) {
    app.platform().showSheetWindow(PlaceOfSheetWindow(app));
    SetInstallScrollButton(app);
    app.flags.EditWndNum = 1;
    app.flags.MainWndOpenFlag = 1;
    showTitle(app);
    app.platform().setWindowModified(app.doc.DirtyFlag == 1);
}

void NewDataSheet(AppState& app) {
    SetMenuState(app, MenuState::InitMenu2);
    app.flags.NewFileFlag = 1;
    app.doc.FileOpenFlag = FileOpen::kNewUntitled;
    app.doc.DirtyFlag = 0;
    app.doc.fileName1 = std::string(kUntitledName);
    app.doc.fileUrl.clear();
    app.table.fNum = 1;
    app.table.ensureRows(2);
    app.sel = Selection{};
    app.sel.cellV = 1;
    app.sel.cellH = 1;
    app.snap.prefNum = app.table.fNum; // a new sheet starts unmodified
    MainWnd1(app);
    app.NewOrAddModelInit();
    DrawSheet(app);
    app.flags.NewFileFlag = 0;
}

bool SaveSSTFile(AppState& app) {
    const SaveOutcome outcome = writeSheet(app, app.doc.fileUrl);
    if (!outcome.ok) {
        return false;
    }
    app.doc.FileOpenFlag = FileOpen::kFileBacked;
    rememberOwnFile(app);
    markSaved(app, outcome);
    tellAboutAlteredNames(app, outcome);
    return true;
}

void SaveCommand(AppState& app) {
    CommitEditFieldNow(app);
    if (!app.doc.hasFile()) {
        saveAs(app, false);
        return;
    }
    if (!changedByOtherProgram(app)) {
        SaveSSTFile(app);
        DrawSheet(app);
        return;
    }
    SetMenuState(app, MenuState::MenuDisable);
    askAboutOtherProgram(app, [&app](bool replace) {
        SetMenuState(app, MenuState::MenuEnable);
        if (replace) {
            SaveSSTFile(app);
        } else {
            ResumeSheetScrolling(app);
        }
        DrawSheet(app);
    });
}

void SaveAsSSTFile(AppState& app) {
    CommitEditFieldNow(app);
    saveAs(app, false);
}

void SaveAsStationeryFile(AppState& app) {
    CommitEditFieldNow(app);
    SetMenuState(app, MenuState::MenuDisable);
    app.askSaveFile("Save This Stationery File As...",
                    ProposedSavePath(app, StationeryName(app.doc.fileName1)),
                    std::string(kStationeryExtension), [&app](FileChoice choice) {
                        if (choice) {
                            // The sheet stays the document it was.
                            const SaveOutcome outcome = writeSheet(app, *choice);
                            if (outcome.ok) {
                                tellAboutAlteredNames(app, outcome);
                            }
                        }
                        SetMenuState(app, MenuState::MenuEnable);
                        DrawSheet(app);
                    });
}

void CloseSequence(AppState& app) {
    // Typed text that could not be kept is told of first, and the user
    // closes again once read.
    if (!CommitEditFieldNow(app)) {
        return;
    }
    app.flags.CloseFlag = 1;
    app.flags.QuitFlag = 0;
    if (app.doc.DirtyFlag == 1) {
        SetMenuState(app, MenuState::MenuDisable);
        NavAskWind(app);
    } else {
        CloseFile(app);
    }
}

void QuitSequence(AppState& app) {
    // A download never keeps the program from ending: it stops, and its
    // partial file goes, before the question about unsaved changes.
    CancelDownload(app);
    if (!CommitEditFieldNow(app)) {
        return; // as Close
    }
    app.flags.QuitFlag = 1;
    if (app.doc.DirtyFlag != 1 || app.flags.MainWndOpenFlag == 0) {
        QuitApplication(app);
        return;
    }
    SetMenuState(app, MenuState::MenuDisable);
    NavAskWind(app);
}

void NavAskWind(AppState& app) {
    app.askSaveChanges(app.doc.fileName1,
                       [&app](SaveChangesAnswer answer) { NavAskHandler(app, answer); });
}

void NavAskHandler(AppState& app, SaveChangesAnswer answer) {
    switch (answer) {
    case SaveChangesAnswer::Save:
        if (!app.doc.hasFile()) {
            saveAs(app, true);
            return;
        }
        if (!changedByOtherProgram(app)) {
            saveOwnFileAndGoOn(app);
            return;
        }
        askAboutOtherProgram(app, [&app](bool replace) {
            if (replace) {
                saveOwnFileAndGoOn(app);
            } else {
                NavAskHandler(app, SaveChangesAnswer::Cancel);
            }
        });
        return;
    case SaveChangesAnswer::DontSave:
        continueAfterSave(app);
        return;
    case SaveChangesAnswer::Cancel:
        ResumeSheetScrolling(app);
        SetMenuState(app, MenuState::MenuEnable);
        dropPendingCommands(app);
        DrawSheet(app);
        return;
    }
}

void SaveSequence(AppState& app) {
    if (app.flags.QuitFlag != 0) {
        QuitApplication(app);
    } else {
        CloseFile(app);
    }
}

void CloseFile(AppState& app) {
    // Documents handed over while the Close question was up stay queued:
    // they open once the sheet is closed.
    if (app.calc.CalcWndOnFlag != 0) {
        CloseCalculatorWindow(app);
    }
    app.platform().closeSheetWindow();
    SetMenuState(app, MenuState::InitMenu1);
    app.ClearParameterArraySheetFile();
    app.doc.FileOpenFlag = FileOpen::kNoFile;
    app.doc.DirtyFlag = 0;
    app.doc.fileIdentity.reset();
    app.flags.CloseFlag = 0;
    app.flags.MainWndOpenFlag = 0;
    app.platform().setWindowModified(false);
    app.platform().setWindowTitle("Kestrune", {});
}

void QuitApplication(AppState& app) {
    if (app.flags.EndedFlag != 0) {
        return;
    }
    app.flags.EndedFlag = 1;
    // Documents handed over that this run will not open were taken on its
    // word: they go to a new run of the program once this one is gone.
    std::vector<std::string> untaken;
    for (const HandOverBatch& batch : app.handOver.batches) {
        untaken.push_back(batch.path);
    }
    if (app.waiting.pending) {
        untaken.push_back(app.waiting.path);
    }
    app.handOver.batches.clear();
    app.waiting = WaitingDocument{};
    if (app.flags.MainWndOpenFlag != 0) {
        app.platform().closeSheetWindow();
    }
    if (app.savePreferences) {
        app.savePreferences(app);
    }
    app.platform().quitApplication();
    if (!untaken.empty()) {
        app.platform().startNewInstance(untaken);
    }
}

} // namespace kestrune
