#include "documents/open_documents.h"

#include "calculators/calculator_window.h"
#include "core/app_state.h"
#include "core/lifecycle.h"
#include "core/menu_states.h"
#include "documents/csv_import.h"
#include "documents/data_sheet_format.h"
#include "sheet/sheet_redraw.h"

namespace kestrune {
namespace {

bool isSheetExtension(const std::string& ext) {
    return ext == kDocumentExtension || ext == kStationeryExtension;
}
bool isTableExtension(const std::string& ext) {
    return ext == "csv" || ext == "txt";
}

// Reads the waiting document into the cleared table and shows it.
void loadWaitingDocument(AppState& app) {
    const WaitingDocument doc = app.waiting;
    app.waiting = WaitingDocument{};
    if (isSheetExtension(doc.s_extension)) {
        ClickOpenSSTFile(app, doc.path);
    } else {
        ClickOpenCSVFile(app, doc.path);
    }
    MainWnd1(app);
    DrawSheet(app);
}

} // namespace

bool IsOpenableExtension(const std::string& extension) {
    return isSheetExtension(extension) || isTableExtension(extension);
}

void ClickOpenSSTFile(AppState& app, const std::string& path) {
    ReadDataSheet(app, path);
    ApplyOpenedDocumentState(app, path);
    SetMenuState(app, MenuState::InitMenu2);
}

void OpenDialogSSTFile(AppState& app) {
    app.platform().askOpenFile(
        "Select Open File...", {std::string(kDocumentExtension), std::string(kStationeryExtension)},
        [&app](const FileChoice& choice) { OpenDialogGetSSTFileHandler(app, choice); });
}

void OpenDialogGetSSTFileHandler(AppState& app, const FileChoice& choice) {
    if (!choice) {
        // Back to the no-sheet menus: New, Open and Import stay usable.
        SetMenuState(app, MenuState::InitMenu1);
        return;
    }
    app.ClearParameterArraySheetFile();
    ClickOpenSSTFile(app, *choice);
    MainWnd1(app);
    DrawSheet(app);
}

void HandleOpenDocuments(AppState& app, const std::vector<std::string>& paths) {
    for (const std::string& path : paths) {
        ProcessUserDocsFromFinder(app, path);
    }
}

void ProcessUserDocsFromFinder(AppState& app, const std::string& path) {
    const std::string ext(ExtensionOf(path));
    if (!IsOpenableExtension(ext)) {
        // Not a kind we read: the sheet on screen stays as it is.
        app.platform().SysBeep();
        return;
    }
    if (app.flags.OpenNextFlag != 0) {
        // A question about the current sheet is up: this one waits instead.
        app.waiting = WaitingDocument{true, path, ext};
        return;
    }
    app.waiting = WaitingDocument{true, path, ext};
    if (app.flags.FastOpenFlag == 0) {
        OpenDocSelectForExtension(app);
    }
}

void OpenDocSelectForExtension(AppState& app) {
    if (!app.waiting.pending) {
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
    if (app.calc.CalcWndOnFlag != 0) {
        CloseCalculatorWindow(app);
    }
    if (app.flags.MainWndOpenFlag != 0) {
        app.platform().closeSheetWindow();
    }
    app.ClearParameterArraySheetFile();
    loadWaitingDocument(app);
}

void OpenNextFile(AppState& app) {
    if (app.flags.MainWndOpenFlag != 0) {
        app.platform().closeSheetWindow();
    }
    app.ClearParameterArraySheetFile();
    app.flags.OpenNextFlag = 0;
    if (!app.waiting.pending) {
        return;
    }
    loadWaitingDocument(app);
}

void CarbonTimerAction(AppState& app) {
    if (app.waiting.pending && app.flags.FastOpenFlag != 0) {
        app.flags.FastOpenFlag = 0;
        OpenDocSelectForExtension(app);
    }
    app.flags.FastOpenFlag = 0;
}

} // namespace kestrune
