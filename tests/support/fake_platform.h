#pragma once
// A Platform that records every call, for tests without a display.

#include "core/platform.h"
#include "sheet/tool_area.h"

#include <string>
#include <vector>

namespace kestrune::test {

class FakePlatform : public Platform {
public:
    void SysBeep() override { calls.push_back("SysBeep"); ++beeps; }
    void setWindowModified(bool modified) override {
        calls.push_back(modified ? "setWindowModified(true)" : "setWindowModified(false)");
        windowModified = modified;
    }
    void showFileErrorAlert(int fileNumber, const std::string& message) override {
        fileErrors.push_back({fileNumber, message});
    }
    void showFatalAlert(const std::string& message) override { fatalMessages.push_back(message); }
    std::int32_t contentHeight() override { return height; }
    Str255 readEditField() override { return editField; }
    void updateToolArea(const ToolAreaView& view) override {
        toolArea = view;
        editField = view.editFieldShown ? view.editText : Str255();
        ++toolAreaUpdates;
    }
    void updateScrollBar(const ScrollBarView& view) override { scrollBar = view; }
    void repaintSheet() override { ++repaints; }

    // Types into the edit field, replacing its text.
    void type(std::string_view text) { editField = Str255(text); }

    struct FileError {
        int fileNumber;
        std::string message;
    };
    std::vector<std::string> calls;
    std::vector<FileError> fileErrors;
    std::vector<std::string> fatalMessages;
    int beeps = 0;
    bool windowModified = false;
    std::int32_t height = 400;
    Str255 editField;
    ToolAreaView toolArea;
    ScrollBarView scrollBar;
    int toolAreaUpdates = 0;
    int repaints = 0;
};

} // namespace kestrune::test
