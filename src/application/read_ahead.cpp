#include "application/read_ahead.h"

#include "documents/csv_import.h"
#include "documents/data_sheet_format.h"

#include <system_error>
#include <utility>

namespace kestrune {

void StartReadAhead(AppState& app, const std::string& path, bool document) {
    if (app.readAhead) {
        return;
    }
    const std::optional<FileIdentity> before = IdentifyFile(path);
    if (!before) {
        return;
    }
    ReadAhead ahead;
    ahead.path = path;
    ahead.identity = *before;
    try {
        ahead.table = std::async(
            std::launch::async,
            [path, document, identity = *before,
             table = app.emptyTable()]() mutable -> std::optional<ModelTable> {
                try {
                    TextFiles files; // its own slots, and no alert for their errors
                    const bool read = document ? ReadDataSheet(files, table, path)
                                               : ReadCSVTable(files, table, path);
                    if (!read || files.FileErrorCount() != 0 || IdentifyFile(path) != identity) {
                        return std::nullopt;
                    }
                    return std::move(table);
                } catch (...) {
                    return std::nullopt; // the usual read meets it again and tells
                }
            });
    } catch (const std::system_error&) {
        return; // no thread to spare: the document is read when its turn comes
    }
    app.readAhead = std::move(ahead);
}

std::optional<ModelTable> TakeReadAhead(AppState& app, const std::string& path) {
    if (!app.readAhead) {
        return std::nullopt;
    }
    ReadAhead ahead = std::move(*app.readAhead);
    app.readAhead.reset();
    if (ahead.path != path) {
        return std::nullopt;
    }
    std::optional<ModelTable> table = ahead.table.get();
    if (table && IdentifyFile(path) != ahead.identity) {
        return std::nullopt; // written to since: read it anew
    }
    return table;
}

void DropReadAhead(AppState& app) {
    app.readAhead.reset();
}

} // namespace kestrune
