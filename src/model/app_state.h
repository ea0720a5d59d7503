#pragma once
// The application object: the model table and every piece of state around it,
// grouped by what it is about. Tests build a fresh one per case.

#include "model/edit_menu_state.h"
#include "model/menu_model.h"
#include "model/model_table.h"
#include "model/read_ahead_state.h"
#include "model/sheet_state.h"
#include "model/update_state.h"
#include "model/working_set.h"
#include "ports/platform.h"
#include "ports/print_job.h"
#include "runtime/file_probe.h"
#include "runtime/str255.h"
#include "runtime/text_files.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kestrune {

// The selected cell and its scroll-dependent copies. cellH 0 selects the
// whole row; 1 Manufacturer, 2 Model Name, 3 to 10 Dia to Mms.
struct Selection {
    std::int32_t cellH = 0;
    std::int32_t cellV = 0;
    std::int32_t cellVscroll = 0;
    std::int32_t cellVshift = 0;
    std::int32_t ScrollValue = 0;
};

// A copy of the selected row taken at the end of each redraw; the next
// redraw compares the table with it to notice edits.
struct RowSnapshot {
    Str255 s_preManuf;
    Str255 s_preSP;
    double preDIA = 0.0;
    double preFS = 0.0;
    double preVAS = 0.0;
    double preQMS = 0.0;
    double preSD = 0.0;
    double preXMAX = 0.0;
    double preVD = 0.0;
    double preMMS = 0.0;
    std::int32_t prefNum = 0;
    std::int32_t preCellH = 0;
    std::int32_t preCellV = 0;

    double& value(Param p);
};

// The three values of FileOpenFlag.
namespace FileOpen {
constexpr std::int8_t kNewUntitled = -1; // "New Data Sheet...": no file yet
constexpr std::int8_t kNoFile = 0;       // no sheet, or one from stationery or an import
constexpr std::int8_t kFileBacked = 1;   // the sheet belongs to the file at fileUrl
} // namespace FileOpen

struct DocumentState {
    // Three states, not a yes or no: FileOpen::kNewUntitled, kNoFile or
    // kFileBacked. Only a file-backed sheet is saved without asking a name.
    std::int8_t FileOpenFlag = FileOpen::kNoFile;
    // 1 while the sheet has changes not saved.
    std::int8_t DirtyFlag = 0;
    std::string fileName1;
    // Location of the document file (a local path).
    std::string fileUrl;
    // The file as the sheet last read or saved it; a different one at the
    // next Save means another program wrote it meanwhile.
    std::optional<FileIdentity> fileIdentity;

    bool hasFile() const { return FileOpenFlag == FileOpen::kFileBacked; }
};

// A document handed over by the desktop that waits to be opened: kept apart
// from the sheet's own file state, so a save never goes to its location.
struct WaitingDocument {
    bool pending = false;
    std::string path;
    std::string s_extension;
};

// Documents handed over by the desktop or a second launch, held until the
// program can take them: never inside a dialog, an alert or a question.
// What one hand-over can still do: open its last document of a kind that
// is read, or, when it has none, be refused with a note naming its last path.
struct HandOverBatch {
    std::string path;
    bool openable = false;
};
struct HandOverQueue {
    // Only the last hand-overs wait; older ones could only have been replaced.
    static constexpr std::size_t kMaxWaiting = 16;
    std::deque<HandOverBatch> batches;
    // Hand-overs without a document of ours dropped from a full queue: the
    // next note about refused documents counts them.
    std::int64_t refusalsDropped = 0;
    bool drainScheduled = false;
};

// A window rectangle in content coordinates.
struct WindowBounds {
    std::int16_t top = 0;
    std::int16_t left = 0;
    std::int16_t bottom = 0;
    std::int16_t right = 0;
};

struct AppFlags {
    // 1 while the data-sheet window shows a sheet.
    std::int8_t MainWndOpenFlag = 0;
    // 1 while a Close, or a Quit, waits for the save-changes question or
    // the Save As dialog.
    std::int8_t CloseFlag = 0;
    std::int8_t QuitFlag = 0;
    // 1 while a new sheet is built, until its first redraw.
    std::int8_t NewFileFlag = 0;
    // 1 while a handed-over document waits for the save-changes question.
    std::int8_t OpenNextFlag = 0;
    // 1 from start-up until the launch timer has fired: documents handed
    // over meanwhile are NOT opened at once but wait for the timer.
    std::int8_t FastOpenFlag = 1;
    std::int8_t AddNewModel = 0;
    // 1 once a command put the selection somewhere new (a row moved or
    // added, the window resized); nothing decides on it.
    std::int8_t SelectBtnFlag = 0;
    std::int32_t EditWndNum = 1;
    // 1 once the user moved or resized the data-sheet window in this run.
    std::int8_t RePosiFlag = 0;
    // The Preferences window is open.
    std::int8_t PrefWndOnFlag = 0;
    // 1 once QuitApplication ran: nothing more happens in this process.
    std::int8_t EndedFlag = 0;
    // Dialogs and questions of the program that wait for an answer.
    std::int32_t DialogsUp = 0;

    bool launching() const { return FastOpenFlag != 0; }
};

class AppState {
public:
    explicit AppState(Platform& platform);
    // Waits for a read still under way before anything it may use goes.
    ~AppState();
    AppState(const AppState&) = delete;
    AppState& operator=(const AppState&) = delete;

    Platform& platform() const { return platform_; }

    // The dialogs and the question, counted while they are up so that
    // handed-over documents wait for their answer.
    void askSaveChanges(const std::string& fileName, std::function<void(SaveChangesAnswer)> done);
    void askChangedFile(const std::string& fileName, std::function<void(ChangedFileAnswer)> done);
    void askSaveFile(const std::string& title, const std::string& proposedName,
                     const std::string& extension, std::function<void(FileChoice)> done);
    void askSaveFileOfType(const std::string& title, const std::string& proposedName,
                           const std::vector<SaveFileType>& types,
                           std::function<void(FileChoice, std::size_t)> done);
    void askOpenFile(const std::string& title, const std::vector<std::string>& extensions,
                     std::function<void(FileChoice)> done);
    // True while a dialog, question or alert waits for the user.
    bool modalUp() { return flags.DialogsUp > 0 || platform_.modalUiUp(); }

    // An empty table that reports to the same fatal handler as the sheet's.
    ModelTable emptyTable() const { return ModelTable(&onFatal_); }
    // What a table of the sheet reports a bad row index to.
    const FatalErrorHandler* fatalHandler() const { return &onFatal_; }

    // Empties rows 0 to fNum+1 (Number stays) and the snapshot.
    void ClearParameterArraySheetFile();
    // Exchanges rows r and r-1 in every column; selects row 1.
    void DataSwap(std::int32_t r);
    // Row fNum becomes an "n/a" model.
    void NewOrAddModelInit();
    // "Add New Model": one "n/a" row at the end, selected at its Manufacturer.
    void AddModelAtEnd();
    // Removes rows first to last; a sheet never ends up without a row.
    void RemoveRows(std::int32_t first, std::int32_t last);
    // Removes the selected row.
    void RemoveSelectedRow();
    // Opens an empty row below row r (rows below move down); returns r+1.
    std::int32_t InsertRowAfter(std::int32_t r);
    void DirtyFlagTrue();

    // A sheet just read from a file: row 1 selected whole, scrolled to the
    // top, and its rows taken as they are (loading alone is no change).
    void SelectLoadedSheet();

    // Change detection of a redraw: marks the document modified when row
    // preCellV or the row count differs from the snapshot.
    void DetectSnapshotChanges();
    // Retakes the snapshot from row cellVscroll.
    void TakeSnapshot();

    // Start-up and load helpers.
    double GPrintScale = 100.0;
    // The paper chosen in Page Setup or Print, kept for the session; none
    // until the first of them.
    std::optional<PageFormat> pageFormat;

    ModelTable table;
    Selection sel;
    RowSnapshot snap;
    DocumentState doc;
    AppFlags flags;
    SheetState sheet;
    EditOverride edit;
    CalcWorkingSet calc;
    SortState sort;
    FindState find;
    LinkState link;
    ToolNotice notice;
    Preferences prefs;
    UpdateState update;
    MenuModel menus;
    WaitingDocument waiting;
    HandOverQueue handOver;
    std::optional<ReadAhead> readAhead;
    WindowBounds Bounds{44, 0, 364, 745};
    WindowBounds PrefeBounds{200, 160, 485, 505};
    TextFiles files;
    EditMenuState editMenu;

    // Sends or copies the selected model; installed by the exchange with
    // the sibling application.
    std::function<void(AppState&)> modelSelectSequence;
    // Writes the preferences at Quit; installed by the preferences store.
    std::function<void(AppState&)> savePreferences;

    void ModelSelectSequence() {
        if (modelSelectSequence) {
            modelSelectSequence(*this);
        }
    }

private:
    Platform& platform_;
    FatalErrorHandler onFatal_;
};

} // namespace kestrune
