#pragma once
// The one main window. With no sheet open it shows its menu bar and a short
// hint; with a sheet open it is the data-sheet window: 745 pixels of content
// wide, at least 320 high, resizable in height only.

#include "platform/calculator_dialog.h"
#include "platform/preferences_dialog.h"
#include "platform/update_dialog.h"
#include "ports/platform.h"

#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <string>

class QLabel;

namespace kestrune {

class AppState;
class CoreGate;
struct Menu;
class MenuBarMirror;
class SheetPage;

class MainWindow final : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int kContentWidth = 745;
    static constexpr int kMinContentHeight = 320;

    explicit MainWindow(AppState& app, QWidget* parent = nullptr);

    // The two states of the window.
    void showSheet(const WindowPlace& place);
    void showNoSheet();
    bool sheetShown() const;

    // Puts the content area's top-left corner at the place and makes it that
    // high; the window manager's frame goes around it.
    void placeContent(const WindowPlace& place);
    // Height of the content area below the menu bar.
    int contentHeight() const;
    // A point of the content area on the screen.
    QPoint contentToGlobal(QPoint point) const;
    void setTitle(const std::string& title, const std::string& documentPath);
    void updateMenus(const std::vector<Menu>& menus);

    // The calculator window, window-modal on this one (at most one).
    void openCalculator(const CalculatorView& view);
    void updateCalculator(const CalculatorView& view);
    void closeCalculator();
    CalculatorDialog* calculator() const { return calculator_; }

    // The Preferences window, a window of its own.
    void openPreferences(const PreferenceView& view);
    void updatePreferences(const PreferenceView& view);
    void closePreferences();
    PreferencesDialog* preferences() const { return preferences_; }
    // The update window, a window of its own.
    void openUpdate(const UpdateView& view);
    void updateUpdate(const UpdateView& view);
    void closeUpdate();
    UpdateDialog* updateWindow() const { return update_; }
    void bringToFront();

    // The window's moves and activation reach the core through gate.
    void setCoreGate(CoreGate* gate) { gate_ = gate; }

    SheetPage* sheetPage() const { return sheetPage_; }
    QLabel* hint() const { return hint_; }
    MenuBarMirror* menus() const { return menus_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Resizes the window so that its content area has the given size, at once.
    void setContentSize(int width, int height);
    // Runs change (given the height above the content) and lays the content
    // out at once; the bounds it passes through are not the user's.
    void reshape(const std::function<void(int chrome)>& change);
    void syncLayout();
    // Height of what lies above the content area (the menu bar).
    int chromeHeight();
    void boundsChanged(bool sizeChanged);

    // Runs action now, or once long work is over.
    void toCore(std::function<void()> action);

    AppState& app_;
    CoreGate* gate_ = nullptr;
    QWidget* content_ = nullptr;
    QLabel* hint_ = nullptr;
    SheetPage* sheetPage_ = nullptr;
    MenuBarMirror* menus_ = nullptr;
    QPointer<CalculatorDialog> calculator_;
    QPointer<PreferencesDialog> preferences_;
    QPointer<UpdateDialog> update_;
    // Set while the window changes its own geometry: only the user's moves
    // and resizes are news to the core.
    bool adjusting_ = false;
};

} // namespace kestrune
