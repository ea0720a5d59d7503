#pragma once
// The desktop services the core asks for, done with Qt.

#include "core/platform.h"

class QWidget;

namespace kestrune {

class QtPlatform final : public Platform {
public:
    // Alerts are shown over this window (may be null before it exists).
    void setWindow(QWidget* window) { window_ = window; }

    void SysBeep() override;
    void setWindowModified(bool modified) override;
    void showFileErrorAlert(int fileNumber, const std::string& message) override;
    void showFatalAlert(const std::string& message) override;
    std::int32_t contentHeight() override;
    Str255 readEditField() override;
    void updateToolArea(const ToolAreaView& view) override;
    void updateScrollBar(const ScrollBarView& view) override;
    void repaintSheet() override;
    void askSaveChanges(const std::string& fileName, std::function<void(SaveChangesAnswer)> done) override;
    void askSaveFile(const std::string& title, const std::string& proposedName,
                     std::function<void(FileChoice)> done) override;
    void askOpenFile(const std::string& title, const std::vector<std::string>& extensions,
                     std::function<void(FileChoice)> done) override;
    void showNote(const std::string& message, const std::string& details) override;
    void showSheetWindow() override;
    void closeSheetWindow() override;
    void setWindowTitle(const std::string& title, const std::string& documentPath) override;
    void updateMenus(const MenuModel& menus) override;
    void startTimer(int milliseconds, std::function<void()> action) override;
    void quitApplication() override;

private:
    QWidget* window_ = nullptr;
};

} // namespace kestrune
