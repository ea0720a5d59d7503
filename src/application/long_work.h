#pragma once
// Work that may take long on a large sheet (opening, importing, saving,
// sorting) runs through the window, which shows how far it has come once it
// lasts, keeps painting meanwhile, and lets the user cancel what may be
// cancelled.

#include "ports/sheet_views.h"
#include "runtime/work_progress.h"

#include <functional>
#include <string>

namespace kestrune {

class AppState;

// What the window says while the document or table at path is read or
// written: "Opening “big.kedata”…", "Importing “big.csv”…", "Saving
// “big.kedata”…"; opening and importing may be cancelled.
LongWorkView OpeningView(const std::string& path, bool document);
LongWorkView SavingView(const std::string& path);
// "Sorting the sheet…", which is never cancelled half way.
LongWorkView SortingView();

// Runs work with a progress of its own; false when the user cancelled it
// (work then ended by throwing WorkCancelled), true when it ran to its end.
// Anything else work throws reaches the caller. Work must not call the
// platform: it may run on another thread while the window waits.
bool RunLongWork(AppState& app, const LongWorkView& view,
                 const std::function<void(WorkProgress&)>& work);

} // namespace kestrune
