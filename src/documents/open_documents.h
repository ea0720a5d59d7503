#pragma once
// Opening data sheets: the Open dialog, documents handed over by the desktop
// (at launch through the launch timer, later at once), and a document that
// waits behind the save-changes question.

#include "core/platform.h"

#include <string>
#include <vector>

namespace kestrune {

class AppState;

// File, "Open...".
void OpenDialogSSTFile(AppState& app);
void OpenDialogGetSSTFileHandler(AppState& app, const FileChoice& choice);

// Documents handed over by the desktop, in order; the last one wins.
void HandleOpenDocuments(AppState& app, const std::vector<std::string>& paths);
void ProcessUserDocsFromFinder(AppState& app, const std::string& path);
void OpenDocSelectForExtension(AppState& app);
void OpenNextFile(AppState& app);

// Reads a "kedata" or "kedatasta" document into the cleared table.
void ClickOpenSSTFile(AppState& app, const std::string& path);

// The one-shot timer 0.2 s after start: opens the document handed over during launch.
void CarbonTimerAction(AppState& app);

// True for the four kinds a handed-over document may be.
bool IsOpenableExtension(const std::string& extension);

} // namespace kestrune
