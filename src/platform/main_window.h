#pragma once
// The one main window. With no sheet open it shows its menu bar and a short
// hint; the data sheet will live in it.

#include <QMainWindow>

namespace kestrune {

class AppState;

class MainWindow final : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(AppState& app, QWidget* parent = nullptr);

private:
    void buildMenus();
    AppState& app_;
};

} // namespace kestrune
