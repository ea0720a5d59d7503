#include "application/command_line.h"
#include "application/lifecycle.h"
#include "application/open_documents.h"
#include "documents/document_paths.h"
#include "model/app_state.h"
#include "platform/images.h"
#include "platform/main_window.h"
#include "platform/qt_platform.h"
#include "platform/qt_preference_store.h"
#include "platform/single_instance.h"
#include "platform/update_network.h"
#include "services/build_info.h"
#include "services/preferences.h"
#include "services/tarnwell_link.h"

#include <QApplication>
#include <QIcon>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace {

kestrune::CommandLine readCommandLine(int argc, char* argv[]) {
    std::vector<std::string_view> arguments;
    for (int i = 1; i < argc; ++i) {
        arguments.emplace_back(argv[i]);
    }
    return kestrune::ParseCommandLine(arguments, kestrune::BuildInfo::kBundleVersion);
}

// Prints what an option answers and gives the exit status, or -1 to go on.
int answerOption(const kestrune::CommandLine& line) {
    using Action = kestrune::CommandLine::Action;
    if (line.action == Action::Help || line.action == Action::Version) {
        std::fputs(line.text.c_str(), stdout);
        return 0;
    }
    if (line.action == Action::Error) {
        std::fputs(line.text.c_str(), stderr);
        return 2;
    }
    return -1;
}

// The documents named on the command line (the desktop passes paths, and
// sometimes file URLs), as absolute paths in the file system's own bytes, so
// that whichever instance opens them finds them.
std::vector<std::string> documentArguments(const std::vector<std::string>& files) {
    std::error_code unknown;
    const std::string here = std::filesystem::current_path(unknown).native();
    std::vector<std::string> paths;
    for (const std::string& file : files) {
        std::string path = kestrune::DocumentPathFromArgument(file, here);
        if (!path.empty()) {
            paths.push_back(std::move(path));
        }
    }
    return paths;
}

} // namespace

int main(int argc, char* argv[]) {
    // A save beyond the file-size limit must fail like a full disk (and leave
    // the document as it was) instead of killing the program.
    std::signal(SIGXFSZ, SIG_IGN);

    // Help and the version answer without a display.
    if (const kestrune::CommandLine early = readCommandLine(argc, argv);
        early.action != kestrune::CommandLine::Action::Error) {
        if (const int status = answerOption(early); status >= 0) {
            return status;
        }
    }
    QApplication qtApp(argc, argv); // takes its own options out of argv
    const kestrune::CommandLine line = readCommandLine(argc, argv);
    if (const int status = answerOption(line); status >= 0) {
        return status;
    }
    QApplication::setApplicationName(QStringLiteral("Kestrune"));
    QApplication::setOrganizationName(QStringLiteral("Kestrune"));
    QApplication::setDesktopFileName(QStringLiteral("org.kestrune.Kestrune"));
    QApplication::setWindowIcon(QIcon::fromTheme(
        QStringLiteral("org.kestrune.Kestrune"),
        QIcon(kestrune::imagesFolder() + QStringLiteral("/org.kestrune.Kestrune.svg"))));
    // Only the core ends the program: closing the window may first ask.
    QApplication::setQuitOnLastWindowClosed(false);

    const std::vector<std::string> documents = documentArguments(line.files);
    kestrune::SingleInstance instance(QDBusConnection::sessionBus());
    bool handedOver = false;
    if (!kestrune::ClaimOrHandOver(instance, documents, handedOver)) {
        if (handedOver) {
            return 0; // the running Kestrune opens them
        }
        std::fputs("kestrune: another Kestrune is running but does not answer; not starting a "
                   "second one.\n",
                   stderr);
        return 1;
    }

    kestrune::QtPlatform platform;
    kestrune::AppState app(platform);
    // The settings of the last run, before the menus and windows are built;
    // they are written back when the program quits.
    kestrune::QtPreferenceStore settings;
    kestrune::LoadPrefs(app, settings);
    app.savePreferences = [&settings](kestrune::AppState& state) {
        kestrune::SavePrefs(state, settings);
    };
    const kestrune::UpdateServerChoice server = kestrune::ChooseUpdateServer();
    if (!server.warning.empty()) {
        std::fprintf(stderr, "%s\n", server.warning.c_str());
    }
    app.update.server = server.address;
    app.update.serverOnThisMachine = server.onThisMachine;
    kestrune::MainWindow window(app);
    platform.setWindow(&window);
    platform.setProgram(argv[0]);
    // From the moment the program ends, a later launch runs on its own.
    platform.setEndingHandler([&instance] { instance.release(); });
    // Long work under way lets what other programs ask for wait until it is over.
    instance.setHandler([&app, &window, &platform](const std::vector<std::string>& paths) {
        if (app.flags.EndedFlag != 0) {
            return false;
        }
        platform.gate().pass([&app, &window, paths] {
            window.showNormal();
            window.raise();
            // A dialog, alert or question keeps the keyboard: its answer comes first.
            if (QWidget* modal = QApplication::activeModalWidget()) {
                modal->raise();
                modal->activateWindow();
            } else {
                window.activateWindow();
            }
            kestrune::HandleOpenDocuments(app, paths);
        });
        return true;
    });

    instance.setEventHandler([&app, &platform](const std::string& eventClass,
                                               const std::string& eventId,
                                               const std::string& text) {
        platform.gate().pass([&app, eventClass, eventId, text] {
            kestrune::DoAppleEvent(app, eventClass, eventId, text);
        });
    });

    kestrune::StartUp(app); // builds the menus, so the window knows its menu bar
    // The window opens where the sheet will be, so opening one moves nothing.
    window.placeContent(kestrune::PlaceOfSheetWindow(app));
    window.show();
    window.activateWindow();
    // The launch timer started by StartUp opens the last of them.
    kestrune::HandleOpenDocuments(app, documents);
    return QApplication::exec();
}
