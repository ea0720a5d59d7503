#include "application/read_ahead.h"

#include "application/document_io.h"
#include "application/long_work.h"

#include <algorithm>
#include <ctime>
#include <system_error>
#include <utility>

namespace kestrune {

namespace {

// A file changed less than this long ago may change again within the same
// tick of its clock (file times move in steps of milliseconds on some
// systems, of two seconds on FAT drives), and the change would not show in
// its identity: such a file is read when its turn comes.
constexpr std::int64_t kSettledNs = 2'000'000'000;

bool settled(const FileIdentity& identity) {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    const std::int64_t nowNs = static_cast<std::int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
    return nowNs - std::max(identity.modified, identity.changed) >= kSettledNs;
}

} // namespace

void StartReadAhead(AppState& app, const std::string& path, bool document) {
    if (app.readAhead) {
        return;
    }
    const std::optional<FileIdentity> before = IdentifyFile(path);
    if (!before || !settled(*before)) {
        return;
    }
    ReadAhead ahead;
    ahead.path = path;
    ahead.document = document;
    ahead.identity = *before;
    try {
        ahead.table =
            std::async(std::launch::async,
                       // No alert from this thread, not even for a bad row.
                       [path, document, identity = *before, progress = ahead.progress,
                        table = ModelTable(nullptr)]() mutable -> std::optional<ModelTable> {
                           try {
                               TableImport read =
                                   ReadSheetFile(std::move(table), path, document, progress.get());
                               // Lines an import skips are told about by the usual read.
                               if (!read.ok || !read.errors.empty() || read.skipped.count != 0 ||
                                   IdentifyFile(path) != identity) {
                                   return std::nullopt;
                               }
                               return std::move(read.table);
                           } catch (const WorkCancelled&) {
                               throw; // the one who waits for the table hears of it
                           } catch (...) {
                               return std::nullopt; // the usual read meets it again and tells
                           }
                       });
    } catch (const std::system_error&) {
        return; // no thread to spare: the document is read when its turn comes
    }
    app.readAhead = std::move(ahead);
}

std::optional<ModelTable> TakeReadAhead(AppState& app, const std::string& path, bool document) {
    if (!app.readAhead) {
        return std::nullopt;
    }
    ReadAhead ahead = std::move(*app.readAhead);
    app.readAhead.reset();
    if (ahead.path != path || ahead.document != document) {
        return std::nullopt;
    }
    std::optional<ModelTable> table;
    app.platform().runLongWork(OpeningView(path, document), *ahead.progress,
                               [&] { table = ahead.table.get(); });
    if (!table || IdentifyFile(path) != ahead.identity) {
        return std::nullopt; // written to since: read it anew
    }
    table->setFatalHandler(app.fatalHandler());
    return table;
}

void DropReadAhead(AppState& app) {
    if (app.readAhead) {
        app.readAhead->progress->cancel(); // no need to wait for the whole read
    }
    app.readAhead.reset();
}

} // namespace kestrune
