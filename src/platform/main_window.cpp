#include "platform/main_window.h"

#include "core/app_state.h"

#include <QApplication>
#include <QLabel>
#include <QMenuBar>

namespace kestrune {

MainWindow::MainWindow(AppState& app, QWidget* parent) : QMainWindow(parent), app_(app) {
    setWindowTitle(QStringLiteral("Kestrune"));
    auto* hint = new QLabel(QStringLiteral("New Data Sheet...  Ctrl+N\nOpen...  Ctrl+O\nImport CSV, TXT..."), this);
    hint->setAlignment(Qt::AlignCenter);
    hint->setEnabled(false);
    setCentralWidget(hint);
    resize(745, 320);
    buildMenus();
}

void MainWindow::buildMenus() {
    QMenu* appMenu = menuBar()->addMenu(QStringLiteral("Kestrune"));
    const auto notYet = [this] { app_.platform().SysBeep(); };
    appMenu->addAction(QStringLiteral("About Kestrune"), this, notYet);
    appMenu->addSeparator();
    appMenu->addAction(QStringLiteral("Check for Updates..."), this, notYet);
    appMenu->addAction(QStringLiteral("Preference..."), this, notYet);
    appMenu->addSeparator();
    QAction* quit = appMenu->addAction(QStringLiteral("Quit Kestrune"), qApp, &QApplication::quit);
    quit->setShortcut(QKeySequence::Quit);
}

} // namespace kestrune
