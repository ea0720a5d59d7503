#pragma once
// Opening data sheets: the Open dialog, documents handed over by the desktop
// (at launch through the launch timer, later when the program is free), and
// a document that waits behind the save-changes question.
//
// A document that cannot be read never becomes the sheet: it is checked
// before anything is asked or closed, and read into a table of its own that
// replaces the sheet only once the read is over.

#include "ports/platform.h"

#include <string>
#include <vector>

namespace kestrune {

class AppState;

// File, "Open...".
void OpenDialogSSTFile(AppState& app);
void OpenDialogGetSSTFileHandler(AppState& app, const FileChoice& choice);
// File, "Import CSV, TXT...".
void ImportCSVFile(AppState& app);

// Documents handed over by the desktop or a second launch, in order. They
// are queued and taken from the event loop when no dialog, question or alert
// is up; of one hand-over, the last openable document wins.
void HandleOpenDocuments(AppState& app, const std::vector<std::string>& paths);
// Takes the next queued hand-over when the program is free (run by a timer).
void DrainHandedOverDocuments(AppState& app);

void ProcessUserDocsFromFinder(AppState& app, const std::string& path);
void OpenDocSelectForExtension(AppState& app);
void OpenNextFile(AppState& app);

// The one-shot timer 0.2 s after start: opens the document handed over during launch.
void CarbonTimerAction(AppState& app);

// True for the four kinds a handed-over document may be.
bool IsOpenableExtension(const std::string& extension);

} // namespace kestrune
