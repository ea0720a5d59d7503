#include "core/app_state.h"
#include "core/lifecycle.h"
#include "documents/open_documents.h"
#include "platform/main_window.h"
#include "platform/qt_platform.h"
#include "platform/single_instance.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QUrl>
#include <string>
#include <vector>

namespace {

// The documents named on the command line (the desktop passes paths, and
// sometimes file URLs), made absolute for whichever instance opens them.
QStringList documentArguments(const QStringList& arguments) {
    QStringList paths;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        const QUrl url(argument);
        const QString path = url.isLocalFile() ? url.toLocalFile() : argument;
        paths << QFileInfo(path).absoluteFilePath();
    }
    return paths;
}

std::vector<std::string> localPaths(const QStringList& paths) {
    std::vector<std::string> result;
    for (const QString& path : paths) {
        result.push_back(QFile::encodeName(path).toStdString());
    }
    return result;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication qtApp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kestrune"));
    QApplication::setOrganizationName(QStringLiteral("Kestrune"));
    QApplication::setDesktopFileName(QStringLiteral("kestrune"));
    // Only the core ends the program: closing the window may first ask.
    QApplication::setQuitOnLastWindowClosed(false);

    const QStringList documents = documentArguments(QApplication::arguments());
    kestrune::SingleInstance instance(QDBusConnection::sessionBus());
    if (instance.busAvailable() && !instance.claim() && instance.handOver(documents)) {
        return 0; // the running Kestrune opens them
    }

    kestrune::QtPlatform platform;
    kestrune::AppState app(platform);
    kestrune::MainWindow window(app);
    platform.setWindow(&window);
    instance.setHandler([&app, &window](const QStringList& paths) {
        window.showNormal();
        window.raise();
        window.activateWindow();
        kestrune::HandleOpenDocuments(app, localPaths(paths));
    });

    window.show();
    window.activateWindow();
    kestrune::StartUp(app);
    // The launch timer started by StartUp opens the last of them.
    kestrune::HandleOpenDocuments(app, localPaths(documents));
    return QApplication::exec();
}
