// The real program launched on a catalogue: the time from its start until
// the sheet is drawn, 0.2 s of which is the launch timer every launch waits
// for before it opens its documents. The program runs on its own session bus
// (dbus-run-session), on the offscreen display unless DISPLAY is set, with
// settings of its own, and says when it has drawn the sheet.

#include "catalogue.h"
#include "documents/data_sheet_format.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

using namespace kestrune;

namespace {

struct Launch {
    pid_t pid = -1;
    FILE* out = nullptr;
};

Launch start(const std::string& document, const std::string& home) {
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) {
        return {};
    }
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string entry(*e);
        if (entry.rfind("HOME=", 0) != 0 && entry.rfind("XDG_CONFIG_HOME=", 0) != 0 &&
            entry.rfind("DBUS_SESSION_BUS_ADDRESS=", 0) != 0) {
            env.push_back(entry);
        }
    }
    env.push_back("HOME=" + home);
    env.push_back("XDG_CONFIG_HOME=" + home + "/config");
    env.push_back("KESTRUNE_REPORT_SHEET_SHOWN=1");
    env.push_back("KESTRUNE_UPDATE_URL=http://127.0.0.1:9");
    if (std::getenv("DISPLAY") == nullptr) {
        env.push_back("QT_QPA_PLATFORM=offscreen");
    }
    std::vector<char*> envp;
    for (std::string& e : env) {
        envp.push_back(e.data());
    }
    envp.push_back(nullptr);
    std::string runSession = "dbus-run-session";
    std::string dashes = "--";
    std::string program = KESTRUNE_APP_PATH;
    std::string doc = document;
    std::vector<char*> argv{runSession.data(), dashes.data(), program.data(), doc.data(), nullptr};

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP); // its own group, ended whole
    posix_spawnattr_setpgroup(&attributes, 0);
    Launch launch;
    if (posix_spawnp(&launch.pid, "dbus-run-session", &actions, &attributes, argv.data(),
                     envp.data()) != 0) {
        launch.pid = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    ::close(pipeFds[1]);
    launch.out = ::fdopen(pipeFds[0], "r");
    return launch;
}

// True once the program says the sheet is drawn; false when it ended first.
bool waitForSheet(FILE* out) {
    char line[256];
    while (std::fgets(line, sizeof line, out) != nullptr) {
        if (std::string(line).find("sheet shown") != std::string::npos) {
            return true;
        }
    }
    return false;
}

void stop(Launch& launch) {
    if (launch.pid > 0) {
        ::kill(-launch.pid, SIGTERM);
        int status = 0;
        ::waitpid(launch.pid, &status, 0);
    }
    if (launch.out != nullptr) {
        std::fclose(launch.out);
    }
}

void BM_LaunchAndShowDocument(benchmark::State& state) {
    const auto rows = static_cast<std::int32_t>(state.range(0));
    const std::string folder = "/tmp/kestrune_launch_bench_" + std::to_string(::getpid());
    std::filesystem::create_directories(folder + "/config");
    const std::string document = folder + "/catalogue.kedata";
    {
        ModelTable table(nullptr);
        bench::fillRandomCatalogue(table, rows);
        WriteDataSheet(table, document);
    }
    // A catalogue as users open it: not changed a moment ago (a file changed
    // in the last two seconds is not read during the launch timer).
    std::this_thread::sleep_for(std::chrono::milliseconds(2100));
    for (auto _ : state) {
        const auto begin = std::chrono::steady_clock::now();
        Launch launch = start(document, folder);
        const bool shown = launch.pid > 0 && waitForSheet(launch.out);
        const auto end = std::chrono::steady_clock::now();
        stop(launch);
        if (!shown) {
            state.SkipWithError("the program did not show the document");
            break;
        }
        state.SetIterationTime(std::chrono::duration<double>(end - begin).count());
    }
    std::filesystem::remove_all(folder);
}

} // namespace

BENCHMARK(BM_LaunchAndShowDocument)
    ->Arg(10'000)
    ->Arg(1'000'000)
    ->UseManualTime()
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);
