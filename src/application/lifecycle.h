#pragma once
// The life of a data sheet: start-up, New, Save, Save As, Save As
// Stationery, Close and Quit, and the save-changes question between them.

#include "ports/platform.h"

#include <string>

namespace kestrune {

class AppState;

// After the application object exists: the no-sheet menus and the launch timer.
void StartUp(AppState& app);

void NewDataSheet(AppState& app);
// Shows the data-sheet window for the current table.
// The sheet's content is this wide and at least this high.
constexpr std::int32_t kSheetContentWidth = 745;
constexpr std::int32_t kSheetContentHeight = 320;
// Where the window opens, with or without a sheet: the place the user left
// it, when remembered, else the default.
WindowPlace PlaceOfSheetWindow(const AppState& app);
void MainWnd1(AppState& app);

void SaveCommand(AppState& app);
void SaveAsSSTFile(AppState& app);
void SaveAsStationeryFile(AppState& app);
// Writes the sheet to its own file; false when the write failed.
bool SaveSSTFile(AppState& app);

void CloseSequence(AppState& app);
void QuitSequence(AppState& app);
void NavAskWind(AppState& app);
void NavAskHandler(AppState& app, SaveChangesAnswer answer);
void SaveSequence(AppState& app);
void CloseFile(AppState& app);
void QuitApplication(AppState& app);

// Where a save dialog starts: the name in the document's own folder when the
// sheet has a file, else the bare name.
std::string ProposedSavePath(const AppState& app, const std::string& name);

// "Name.kedata" -> "Name.kedatasta" (extension compared without case); other names unchanged.
std::string StationeryName(const std::string& fileName1);

} // namespace kestrune
