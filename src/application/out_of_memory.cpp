#include "application/out_of_memory.h"

#include "documents/data_sheet_format.h"
#include "model/app_state.h"
#include "runtime/short_name.h"

#include <new>

namespace kestrune {

std::string NotEnoughMemory(std::string_view toDo) {
    return "There is not enough memory to " + std::string(toDo) + ".";
}

void TellNotEnoughMemory(AppState& app, const std::string& message, std::string_view toDo) {
    app.platform().showNote(message, NotEnoughMemory(toDo));
}

bool WriteOrTellNotEnoughMemory(AppState& app, int fileNumber, const std::string& path,
                                const std::function<void()>& write) {
    try {
        write();
        return true;
    } catch (const std::bad_alloc&) {
        app.files.FileAbandon(fileNumber);
    }
    // Told once the memory the write took is given back.
    TellNotEnoughMemory(app,
                        "The document \u201C" + NameForMessage(LastPathComponent(path)) +
                            "\u201D could not be saved.",
                        "save it");
    return false;
}

} // namespace kestrune
