#include "core/app_state.h"
#include "platform/main_window.h"
#include "platform/qt_platform.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication qtApp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kestrune"));
    QApplication::setOrganizationName(QStringLiteral("Kestrune"));

    kestrune::QtPlatform platform;
    kestrune::AppState app(platform);
    kestrune::MainWindow window(app);
    platform.setWindow(&window);
    window.show();
    return QApplication::exec();
}
