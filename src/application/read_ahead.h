#pragma once
// The document handed over at launch is read on other threads while the
// launch timer runs; when its turn comes, the table is taken as it stands if
// the file has not changed since, else the document is read as usual. A
// read-ahead never shows anything: any trouble leaves the document to the
// usual read, which reports it.

#include "model/app_state.h"

#include <optional>
#include <string>

namespace kestrune {

// Starts reading path (a document when document, else a table to import)
// unless a read-ahead is already under way or the file changed less than two
// seconds ago.
void StartReadAhead(AppState& app, const std::string& path, bool document);

// The table read ahead for path as a document (or as a table to import),
// when there is one, the read went through and the file is still the same;
// the read-ahead is over either way. Waiting for it shows the read's
// progress; when the user cancels it, WorkCancelled is thrown.
std::optional<ModelTable> TakeReadAhead(AppState& app, const std::string& path, bool document);

// Waits for a read-ahead still under way and lets its table go.
void DropReadAhead(AppState& app);

} // namespace kestrune
