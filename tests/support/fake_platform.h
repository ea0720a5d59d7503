#pragma once
// A Platform that records every call, for tests without a display.

#include "core/platform.h"

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

    struct FileError {
        int fileNumber;
        std::string message;
    };
    std::vector<std::string> calls;
    std::vector<FileError> fileErrors;
    std::vector<std::string> fatalMessages;
    int beeps = 0;
    bool windowModified = false;
};

} // namespace kestrune::test
