#include "application/commands.h"

#include "application/document_io.h"
#include "application/find_commands.h"
#include "application/lifecycle.h"
#include "application/open_documents.h"
#include "application/out_of_memory.h"
#include "application/sort_command.h"
#include "calculators/calculator_window.h"
#include "documents/csv_export.h"
#include "documents/csv_import.h"
#include "exchange/edit_menu.h"
#include "model/app_state.h"
#include "model/menu_states.h"
#include "services/help.h"
#include "services/preference_window.h"
#include "services/printing.h"
#include "services/update_check.h"
#include "sheet/sheet_input.h"
#include "sheet/sheet_redraw.h"
#include "sheet/sorting.h"

#include <new>
#include <string>

namespace kestrune {
namespace {

void ExportCSVFile(AppState& app) {
    CommitEditFieldNow(app);
    SetMenuState(app, MenuState::MenuDisable);
    std::vector<SaveFileType> types;
    for (const CsvDialectInfo& dialect : kCsvDialects) {
        types.push_back({std::string(dialect.fileType), std::string(dialect.extension)});
    }
    app.askSaveFileOfType(std::string(kExportDialogMessage),
                          ProposedSavePath(app, ProposedCSVExportName(app.doc.fileName1)), types,
                          [&app](const FileChoice& choice, std::size_t type) {
                              if (choice) {
                                  // A failure of the file, or of memory, was shown.
                                  const CsvDialect dialect =
                                      kCsvDialects[std::min(type, kCsvDialects.size() - 1)].dialect;
                                  WriteOrTellNotEnoughMemory(app, kCSVFileNumber, *choice, [&] {
                                      WriteCSVTable(app, *choice, dialect);
                                  });
                              }
                              SetMenuState(app, MenuState::MenuEnable);
                              DrawSheet(app);
                          });
}

void sortCommand(AppState& app, MenuCommand command) {
    CommitEditFieldNow(app);
    bool sorted = false;
    try {
        sorted = SortMenuCommand(app, command);
    } catch (const std::bad_alloc&) {
        // The sheet is as it was, and so are the key and the direction.
        TellNotEnoughMemory(app, "The sheet could not be sorted.", "sort it");
        DrawSheet(app);
        return;
    }
    if (sorted) {
        app.menus.setSortMarks(app.sort);
        DrawSheet(app);
    }
}

bool sheetOpen(const AppState& app) {
    return app.flags.MainWndOpenFlag != 0;
}

} // namespace

bool DispatchMenuCommand(AppState& app, int menu, int item) {
    const MenuCommand command = commandFor(menu, item);
    switch (command.command) {
    case Command::None:
        return false;
    case Command::Quit:
        QuitSequence(app);
        return true;
    case Command::New:
        NewDataSheet(app);
        return true;
    case Command::Open:
        OpenDialogSSTFile(app);
        return true;
    case Command::Import:
        ImportCSVFile(app);
        return true;
    case Command::Close:
        if (sheetOpen(app)) {
            CloseSequence(app);
        }
        return true;
    case Command::Save:
        if (sheetOpen(app)) {
            SaveCommand(app);
        }
        return true;
    case Command::SaveAs:
        if (sheetOpen(app)) {
            SaveAsSSTFile(app);
        }
        return true;
    case Command::SaveAsStationery:
        if (sheetOpen(app)) {
            SaveAsStationeryFile(app);
        }
        return true;
    case Command::Export:
        if (sheetOpen(app)) {
            ExportCSVFile(app);
        }
        return true;
    case Command::SortKey:
    case Command::SortAscending:
    case Command::SortDescending:
        if (sheetOpen(app)) {
            sortCommand(app, command);
        }
        return true;
    case Command::Calculator:
    case Command::MmsCalculator:
    case Command::AddMassCalculator:
        // A calculator works on the row and hands its result to the cell.
        if (!EditFieldBlocksMove(app)) {
            CommitEditFieldNow(app);
            CalculateMenuCommand(app, command);
        }
        return true;
    case Command::Find:
        OpenFindBar(app);
        return true;
    case Command::FindNext:
        FindNext(app, app.find.text);
        return true;
    case Command::CheckParameters:
        if (!EditFieldBlocksMove(app)) {
            CommitEditFieldNow(app);
            CheckParametersCommand(app);
        }
        return true;
    case Command::Undo:
    case Command::Redo:
    case Command::Cut:
    case Command::Copy:
    case Command::Paste:
    case Command::Delete:
    case Command::SelectAll:
        EditMenuCommand(app, command.command);
        return true;
    case Command::Minimize:
        return true;
    case Command::About:
        HiAboutWnd(app);
        return true;
    case Command::Preferences:
        CommitEditFieldNow(app);
        PreferenceWnd(app);
        return true;
    case Command::HelpManual:
    case Command::HelpDocument:
    case Command::HelpParameters:
    case Command::HelpReleaseNotes:
    case Command::WebSite:
    case Command::MailToMaker:
        return HelpMenuCommand(app, command.command);
    case Command::PageSetup:
        if (sheetOpen(app)) {
            SetMenuState(app, MenuState::MenuDisable);
            MyDoPageSetup(app);
        }
        return true;
    case Command::Print:
        if (sheetOpen(app)) {
            CommitEditFieldNow(app);
            SetMenuState(app, MenuState::MenuDisable);
            MyDoPrint(app, 1);
            DrawSheet(app);
        } else {
            app.platform().SysBeep();
        }
        return true;
    case Command::CheckForUpdates:
        CheckForUpdatesCommand(app);
        return true;
    }
    return false;
}

void AddNewModelCommand(AppState& app) {
    if (EditFieldBlocksMove(app)) {
        return;
    }
    app.AddModelAtEnd();
    SetInstallScrollButton(app);
    DrawSheet(app);
}

void SendButtonCommand(AppState& app) {
    app.sheet.cellHbak = app.sel.cellH;
    app.sel.cellH = 0;
    app.ModelSelectSequence();
    app.sel.cellH = app.sheet.cellHbak;
}

void MoveUpCommand(AppState& app) {
    if (!EditFieldBlocksMove(app) && MoveToUpper(app)) {
        app.flags.SelectBtnFlag = 1;
        DrawSheet(app);
    }
}

void MoveDownCommand(AppState& app) {
    if (!EditFieldBlocksMove(app) && MoveToLower(app)) {
        app.flags.SelectBtnFlag = 1;
        DrawSheet(app);
    }
}

void SheetWindowActivated(AppState& app, bool active) {
    app.sheet.WndDeactiveFlag = active ? 0 : 1;
}

bool SheetKeyCommand(AppState& app, std::int32_t charCode, KeyModifiers modifiers) {
    if (charCode == SheetKey::kEscape) {
        return RevertEditField(app);
    }
    if (charCode == SheetKey::kDelete) {
        if (app.sel.cellH != 0 || modifiers.option || modifiers.command || modifiers.control) {
            return false;
        }
        if (app.menus.usable(MenuCommand{Command::Delete})) {
            EditMenuCommand(app, Command::Delete);
        }
        return true;
    }
    return SheetKeyDown(app, charCode, modifiers);
}

void SheetWindowBoundsChanged(AppState& app, const WindowBounds& content, bool sizeChanged) {
    app.Bounds = content;
    app.flags.RePosiFlag = 1;
    // The window without a sheet keeps its place for the sheet to come.
    if (sizeChanged && app.flags.MainWndOpenFlag != 0) {
        app.flags.SelectBtnFlag = 1;
        SheetResized(app);
    }
}

} // namespace kestrune
