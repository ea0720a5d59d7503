#include "application/long_work.h"

#include "documents/data_sheet_format.h"
#include "model/app_state.h"
#include "runtime/short_name.h"

namespace kestrune {
namespace {

std::string quoted(const std::string& path) {
    return "\u201C" + NameForMessage(LastPathComponent(path)) + "\u201D";
}

} // namespace

LongWorkView OpeningView(const std::string& path, bool document) {
    return {(document ? "Opening " : "Importing ") + quoted(path) + "\u2026", true};
}

LongWorkView SavingView(const std::string& path) {
    return {"Saving " + quoted(path) + "\u2026", false};
}

LongWorkView SortingView() {
    return {"Sorting the sheet\u2026", false};
}

bool RunLongWork(AppState& app, const LongWorkView& view,
                 const std::function<void(WorkProgress&)>& work) {
    WorkProgress progress;
    try {
        app.platform().runLongWork(view, progress, [&] { work(progress); });
    } catch (const WorkCancelled&) {
        return false;
    }
    return true;
}

} // namespace kestrune
