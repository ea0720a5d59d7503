#include "services/update_check.h"

#include "model/menu_states.h"
#include "runtime/mac_roman.h"
#include "services/build_info.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <optional>
#include <vector>

namespace kestrune {
namespace {

using Kind = ControlKind;
namespace U = UpdateControl;

constexpr std::int32_t kWidth = 420;
constexpr std::int32_t kHeight = 150;
constexpr int kVersionLookMs = 1000;
constexpr int kTrashPauseMs = 100;
constexpr int kInstallerPauseMs = 2000;
constexpr int kQuitPauseMs = 1000;

constexpr std::int32_t kBlue = 0x0000FF;
constexpr std::int32_t kGreen = 0x00AA00;    // red 0, green 43690, blue 0
constexpr std::int32_t kDarkGrey = 0x3A3A3A; // red, green and blue 15000

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// A version text's numbers, and whether anything follows them.
struct Version {
    std::vector<std::uint64_t> numbers;
    bool suffixed = false;
};

std::optional<Version> readVersion(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isBlank(text.back())) {
        text.remove_suffix(1);
    }
    if (text.empty() || !isDigit(text.front())) {
        return std::nullopt;
    }
    constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();
    Version version;
    std::size_t k = 0;
    for (;;) {
        std::uint64_t number = 0;
        for (; k < text.size() && isDigit(text[k]); ++k) {
            const auto digit = static_cast<std::uint64_t>(text[k] - '0');
            number = number > (kMax - digit) / 10 ? kMax : number * 10 + digit;
        }
        version.numbers.push_back(number);
        // A dot goes on only when a number follows it ("1.2." ends at the dot).
        if (k + 1 < text.size() && text[k] == '.' && isDigit(text[k + 1])) {
            ++k;
            continue;
        }
        break;
    }
    version.suffixed = k < text.size();
    return version;
}

// Runs action after the delay unless a newer timer was installed meanwhile:
// there is one timer at a time.
void installTimer(AppState& app, int milliseconds, std::function<void(AppState&)> action) {
    const std::uint32_t number = ++app.update.timerNumber;
    app.platform().startTimer(milliseconds, [&app, number, action = std::move(action)] {
        if (app.update.timerNumber == number && app.flags.EndedFlag == 0) {
            action(app);
        }
    });
}

// Documents handed over while the check or its window is up wait for it.
void holdHandOvers(AppState& app, bool hold) {
    if (app.update.holdsHandOvers == hold) {
        return;
    }
    app.update.holdsHandOvers = hold;
    app.flags.DialogsUp += hold ? 1 : -1;
}

ControlView headline(std::string text, std::int32_t color) {
    ControlView c = MakeControl(U::kHeadline, Kind::Label, {128, 25, 400, 50}, std::move(text));
    c.fontName = "Arial";
    c.fontSize = 20;
    c.bold = true;
    c.centred = true;
    c.color = color;
    return c;
}

ControlView detail(std::string text) {
    ControlView c = MakeControl(U::kDetail, Kind::Label, {128, 55, 400, 80}, std::move(text));
    c.fontSize = 15;
    c.centred = true;
    c.color = kDarkGrey;
    return c;
}

std::string withThousands(std::int64_t n) {
    std::string digits = std::to_string(n);
    for (int k = static_cast<int>(digits.size()) - 3; k > 0; k -= 3) {
        digits.insert(static_cast<std::size_t>(k), ",");
    }
    return digits;
}

// The detail line's place while the archive comes in.
ControlView progress(const UpdateState& u) {
    ControlView c = MakeControl(U::kProgress, Kind::ProgressBar, {128, 55, 400, 80}, "");
    if (u.total > 0) {
        c.value =
            static_cast<std::int32_t>(std::min<std::int64_t>(u.received, u.total) * 1000 / u.total);
        c.text = withThousands(u.received) + " of " + withThousands(u.total) + " bytes";
    } else {
        c.value = -1;
        c.text = withThousands(u.received) + " bytes received";
    }
    return c;
}

ControlView button(std::int32_t number, ControlRect rect, std::string text, bool isDefault,
                   bool enabled = true) {
    ControlView c = MakeControl(number, isDefault ? Kind::DefaultButton : Kind::PushButton, rect,
                                std::move(text));
    c.enabled = enabled;
    return c;
}

// The menu check's answer is still on its way: the window says so, with a
// busy bar in the detail line's place, and OK stops waiting.
void addWaiting(UpdateView& view) {
    view.controls.push_back(headline("Checking for a newer version\u2026", kBlue));
    ControlView busy = MakeControl(U::kProgress, Kind::ProgressBar, {128, 60, 400, 75}, "");
    busy.value = -1;
    view.controls.push_back(busy);
}

void addOutcome(UpdateView& view, const UpdateState& u) {
    if (u.noConnection()) {
        view.controls.push_back(headline("Network Connection Failed.", kBlue));
        view.controls.push_back(detail("Please confirm the network connection."));
    } else if (u.newerVersionFound()) {
        view.controls.push_back(headline("Newer Version is Available.", kGreen));
        // A line end closing the file is not shown.
        std::string_view text = u.availStr.view();
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) {
            text.remove_suffix(1);
        }
        view.controls.push_back(detail("Newer Version : " + macRomanToUtf8(text)));
    } else {
        view.controls.push_back(headline("This Version is Currently.", kBlue));
        view.controls.push_back(detail("Current Version : " + macRomanToUtf8(u.bundleStr.view())));
    }
}

void addDownloadOutcome(UpdateView& view, const UpdateState& u) {
    const bool failed = u.downloadFailed();
    view.controls.push_back(
        headline(failed ? "Download is Failed." : "Download is Successful.", kBlue));
    view.controls.push_back(
        detail(failed ? "Please try again later." : "Download file is in the downloads folder."));
    if (!failed) {
        view.controls.push_back(button(U::kLaunchInstaller, {130, 110, 310, 130},
                                       "Launch Installer and Quit", false,
                                       u.download != DownloadPhase::Installing));
    }
    view.controls.push_back(button(U::kOKAfterDownload, {330, 110, 400, 130}, "OK", true,
                                   u.download != DownloadPhase::Installing));
}

void showWindowUpdate(AppState& app) {
    if (app.update.UpdateWndOnFlag != 0) {
        app.platform().updateUpdateWindow(BuildUpdateView(app));
    }
}

// The outcome of the menu check is known: the window shows it.
void showOutcome(AppState& app) {
    app.update.phase = CheckPhase::Idle;
    ++app.update.timerNumber; // a pending deadline has nothing left to do
    CheckForUpdateWnd(app);
}

void versionArrived(AppState& app, std::uint32_t check, bool ok, std::string body) {
    UpdateState& u = app.update;
    if (check != u.checkNumber || u.phase == CheckPhase::Idle) {
        return; // a later check, or looked at already
    }
    if (ok) {
        u.gResponseData = std::move(body);
        u.availStr = Str255(u.gResponseData);
        u.gResponseData.clear();
        u.gResponseData.shrink_to_fit();
        u.bundleStr = Str255(BuildInfo::kBundleVersion);
        u.UpdateOkFlag = IsNewerVersion(u.availStr.view(), u.bundleStr.view()) ? 1 : 0;
        u.reply = VersionReply::Arrived;
    } else {
        u.reply = VersionReply::Failed;
        if (u.checkedFromMenu()) {
            u.setNoConnection(true);
        }
    }
    if (u.phase == CheckPhase::Overdue) {
        showOutcome(app);
    }
}

// A second after asking.
void lookAtVersion(AppState& app) {
    UpdateState& u = app.update;
    u.CheckForUpFlag = 1;
    if (u.checkedFromMenu()) {
        if (u.reply == VersionReply::Waiting) {
            // The answer is still on its way: the window shows that it is
            // waited for, up to the deadline.
            u.phase = CheckPhase::Overdue;
            installTimer(app, kCheckTimeoutMs - kVersionLookMs, [](AppState& a) {
                if (a.update.phase == CheckPhase::Overdue) {
                    a.update.setNoConnection(true);
                    showOutcome(a);
                }
            });
            CheckForUpdateWnd(app);
            return;
        }
        showOutcome(app);
        return;
    }
    u.phase = CheckPhase::Idle;
    if (u.newerVersionFound()) {
        SetMenuState(app, MenuState::MenuDisable);
        CheckForUpdateWnd(app);
    }
}

void downloadEnded(AppState& app, std::uint32_t number, bool ok, std::string path) {
    UpdateState& u = app.update;
    if (number != u.downloadNumber) {
        return; // cancelled
    }
    u.setDownloadFailed(!ok);
    if (u.download != DownloadPhase::Running) {
        return;
    }
    u.downloadedPath = ok ? std::move(path) : std::string();
    u.download = ok ? DownloadPhase::Succeeded : DownloadPhase::Failed;
    // The window holds the menus again, Quit included, until it is closed.
    SetMenuState(app, MenuState::MenuDisable);
    ShowDownLoadFinished(app);
}

// Every kDownloadFloorMs the download must have brought kDownloadFloorBytes
// more, or it fails; each byte resetting a stall timer is not enough.
void watchSpeed(AppState& app, std::uint32_t number) {
    app.update.floorMark = app.update.received;
    app.platform().startTimer(kDownloadFloorMs, [&app, number] {
        UpdateState& u = app.update;
        if (number != u.downloadNumber || u.download != DownloadPhase::Running ||
            app.flags.EndedFlag != 0) {
            return;
        }
        if (u.received - u.floorMark < kDownloadFloorBytes) {
            app.platform().cancelDownload();
            downloadEnded(app, number, false, {});
            return;
        }
        watchSpeed(app, number);
    });
}

void startDownload(AppState& app) {
    UpdateState& u = app.update;
    const std::uint32_t number = u.downloadNumber;
    if (u.server.empty()) {
        downloadEnded(app, number, false, {});
        return;
    }
    DownloadRequest request;
    request.url = UpdateServerUrl(u.server, downloadURL);
    request.folder = app.platform().downloadsFolder();
    request.fileName = std::string(downFileZip);
    request.maxBytes = kArchiveLimit;
    request.timeoutMs = kDownloadStallMs;
    app.platform().downloadFile(
        request,
        [&app, number](std::int64_t received, std::int64_t total) {
            if (app.update.downloadNumber == number &&
                app.update.download == DownloadPhase::Running) {
                app.update.received = received;
                app.update.total = total;
                showWindowUpdate(app);
            }
        },
        [&app, number](bool ok, std::string path) {
            downloadEnded(app, number, ok, std::move(path));
        });
    watchSpeed(app, number);
}

std::string inDownloads(AppState& app, std::string_view name) {
    return (std::filesystem::path(app.platform().downloadsFolder()) / name).string();
}

// "Launch Installer and Quit": the archive, then the installer package
// when the archive has put one there, then Quit as the menu's Quit does it,
// so that unsaved changes are asked about.
void launchInstallerAndQuit(AppState& app) {
    UpdateState& u = app.update;
    u.download = DownloadPhase::Installing;
    u.checkUpdateBtn = 0;
    showWindowUpdate(app);
    app.platform().openWithDefaultHandler(u.downloadedPath);
    installTimer(app, kInstallerPauseMs, [](AppState& a) {
        const std::string package = inDownloads(a, downFileName);
        std::error_code error;
        if (std::filesystem::exists(package, error)) {
            a.platform().openWithDefaultHandler(package);
        }
        installTimer(a, kQuitPauseMs, [](AppState& b) {
            b.update.UpdateWndOnFlag = 0;
            b.platform().closeUpdateWindow();
            holdHandOvers(b, false);
            if (b.update.quit) {
                b.update.quit();
            }
        });
    });
}

} // namespace

bool IsNewerVersion(std::string_view available, std::string_view running) {
    const std::optional<Version> later = readVersion(available);
    const std::optional<Version> now = readVersion(running);
    if (!later) {
        return false;
    }
    if (!now) {
        return true;
    }
    const std::size_t count = std::max(later->numbers.size(), now->numbers.size());
    for (std::size_t k = 0; k < count; ++k) {
        const std::uint64_t a = k < later->numbers.size() ? later->numbers[k] : 0;
        const std::uint64_t b = k < now->numbers.size() ? now->numbers[k] : 0;
        if (a != b) {
            return a > b;
        }
    }
    return !later->suffixed && now->suffixed;
}

bool UpdateAddressAllowed(std::string_view scheme, std::string_view host) {
    if (host.empty()) {
        return false;
    }
    if (scheme == "https") {
        return true;
    }
    return scheme == "http" &&
           (host == "127.0.0.1" || host == "::1" || host == "[::1]" || host == "localhost");
}

std::string UpdateServerUrl(std::string_view server, std::string_view path) {
    while (!server.empty() && server.back() == '/') {
        server.remove_suffix(1);
    }
    return std::string(server) + std::string(path);
}

std::string DownloadNameCandidate(std::string_view fileName, int k) {
    if (k <= 0) {
        return std::string(fileName);
    }
    const auto dot = fileName.rfind('.');
    const std::string_view stem =
        dot == std::string_view::npos || dot == 0 ? fileName : fileName.substr(0, dot);
    const std::string_view extension =
        stem.size() == fileName.size() ? std::string_view() : fileName.substr(dot);
    return std::string(stem) + "-" + std::to_string(k) + std::string(extension);
}

void InitUpdateFlag(AppState& app) {
    UpdateState& u = app.update;
    u.NetConnectFlag = 0;
    u.UpdateOkFlag = 0;
    u.DownLoadOkFlag = 0;
    u.CheckByMenuFlag = 0;
}

void CheckForVersion(AppState& app) {
    UpdateState& u = app.update;
    u.setNoConnection(!u.serverOnThisMachine && !app.platform().internetAvailable());
    u.phase = CheckPhase::Asking;
    u.reply = VersionReply::Waiting;
    u.gResponseData.clear();
    const std::uint32_t check = ++u.checkNumber;
    installTimer(app, kVersionLookMs, lookAtVersion);
    if (u.server.empty()) {
        versionArrived(app, check, false, {});
        return;
    }
    app.platform().fetchText(UpdateServerUrl(u.server, checkVerURL), kVersionTextLimit,
                             kCheckTimeoutMs, [&app, check](bool ok, std::string body) {
                                 versionArrived(app, check, ok, std::move(body));
                             });
}

void CheckForVersionAtLaunch(AppState& app) {
    if (app.prefs.UpdateForCheck == 1 && !app.update.outcomeLookedAt()) {
        InitUpdateFlag(app);
        CheckForVersion(app);
    }
}

void CheckForUpdatesCommand(AppState& app) {
    if (app.update.UpdateWndOnFlag != 0 || app.update.phase == CheckPhase::Overdue) {
        return;
    }
    SetMenuState(app, MenuState::MenuDisable);
    InitUpdateFlag(app);
    app.update.CheckByMenuFlag = 1;
    holdHandOvers(app, true);
    CheckForVersion(app);
}

UpdateView BuildUpdateView(const AppState& app) {
    const UpdateState& u = app.update;
    UpdateView view;
    view.title = "Kestrune Check for Update";
    view.width = kWidth;
    view.height = kHeight;
    ControlView icon = MakeControl(U::kIcon, Kind::Icon, {24, 20, 104, 100}, "");
    icon.enabled = false;
    view.controls.push_back(icon);
    const bool finished = u.download == DownloadPhase::Succeeded ||
                          u.download == DownloadPhase::Failed ||
                          u.download == DownloadPhase::Installing;
    if (finished) {
        addDownloadOutcome(view, u);
    } else if (u.phase == CheckPhase::Overdue) {
        addWaiting(view);
    } else {
        addOutcome(view, u);
        if (u.download == DownloadPhase::Running) {
            view.controls.back() = progress(u);
        }
    }
    ControlView box = MakeControl(U::kCheckOnLaunch, Kind::CheckBox, {129, 80, 380, 99},
                                  " Check for New Updates on Launch.");
    box.checked = app.prefs.UpdateForCheck == 1;
    view.controls.push_back(box);
    if (finished) {
        return view;
    }
    if (u.newerVersionFound()) {
        const bool idle = u.download == DownloadPhase::None;
        view.controls.push_back(
            button(U::kDownload, {275, 110, 400, 130}, "Download...", true, idle));
        if (idle) {
            view.controls.push_back(
                button(U::kDontDownload, {130, 110, 255, 130}, "Don't Download", false));
        } else {
            view.controls.push_back(button(U::kCancel, {130, 110, 255, 130}, "Cancel", false));
        }
    } else {
        view.controls.push_back(button(U::kOK, {320, 110, 400, 130}, "OK", true));
    }
    return view;
}

void CheckForUpdateWnd(AppState& app) {
    UpdateState& u = app.update;
    u.checkUpdateBtn = u.newerVersionFound() ? U::kDownload : U::kOK;
    u.download = DownloadPhase::None;
    u.received = 0;
    u.total = -1;
    u.downloadedPath.clear();
    holdHandOvers(app, true);
    if (u.UpdateWndOnFlag != 0) {
        app.platform().updateUpdateWindow(BuildUpdateView(app));
        return;
    }
    u.UpdateWndOnFlag = 1;
    app.platform().openUpdateWindow(BuildUpdateView(app));
}

void CheckForUpdateWndOkButton(AppState& app) {
    UpdateState& u = app.update;
    if (u.UpdateWndOnFlag == 0) {
        return;
    }
    if (u.phase == CheckPhase::Overdue) {
        // Closed while waiting: the answer that comes later is not looked at.
        u.phase = CheckPhase::Idle;
        ++u.timerNumber;
    }
    u.UpdateWndOnFlag = 0;
    u.checkUpdateBtn = 0;
    app.platform().closeUpdateWindow();
    holdHandOvers(app, false);
    SetMenuState(app, app.flags.MainWndOpenFlag != 0 ? MenuState::MenuEnable
                                                     : MenuState::MenuEnableAtClose);
}

void CheckForUpdateWndDownloadButton(AppState& app) {
    UpdateState& u = app.update;
    if (u.UpdateWndOnFlag == 0 || !u.newerVersionFound() || u.download != DownloadPhase::None) {
        return;
    }
    for (const std::string_view name : {downFileZip, downFileName}) {
        const std::string old = inDownloads(app, name);
        std::error_code error;
        if (std::filesystem::exists(std::filesystem::symlink_status(old, error))) {
            app.platform().moveToTrash(
                old); // what cannot be moved stays; the download picks a free name
        }
    }
    // Only Cancel is offered until the download has ended, and Quit.
    u.download = DownloadPhase::Running;
    ++u.downloadNumber;
    u.checkUpdateBtn = 0;
    u.received = 0;
    u.total = -1;
    app.menus.enableQuit();
    app.platform().updateMenus(app.menus.menus());
    showWindowUpdate(app);
    installTimer(app, kTrashPauseMs, startDownload);
}

void ShowDownLoadFinished(AppState& app) {
    app.update.checkUpdateBtn = U::kOKAfterDownload;
    showWindowUpdate(app);
}

void UpdateControlHit(AppState& app, std::int32_t control, std::int32_t value) {
    UpdateState& u = app.update;
    if (u.UpdateWndOnFlag == 0) {
        return;
    }
    switch (control) {
    case U::kOK:
    case U::kDontDownload:
    case U::kOKAfterDownload:
        if (u.download != DownloadPhase::Running && u.download != DownloadPhase::Installing) {
            CheckForUpdateWndOkButton(app);
        }
        return;
    case U::kDownload:
        CheckForUpdateWndDownloadButton(app);
        return;
    case U::kCancel:
        CancelDownload(app);
        return;
    case U::kLaunchInstaller:
        if (u.download == DownloadPhase::Succeeded) {
            launchInstallerAndQuit(app);
        }
        return;
    case U::kCheckOnLaunch:
        app.prefs.UpdateForCheck = value != 0 ? 1 : 0;
        showWindowUpdate(app);
        return;
    default:
        return;
    }
}

void UpdateWndReturnKey(AppState& app) {
    switch (app.update.checkUpdateBtn) {
    case U::kOK:
    case U::kOKAfterDownload:
        CheckForUpdateWndOkButton(app);
        return;
    case U::kDownload:
        CheckForUpdateWndDownloadButton(app);
        return;
    default:
        return;
    }
}

void UpdateWndCloseBox(AppState& app) {
    const UpdateState& u = app.update;
    if (u.download == DownloadPhase::Running) {
        CancelDownload(app);
        return;
    }
    if (u.download == DownloadPhase::Installing) {
        return; // the program is about to end
    }
    CheckForUpdateWndOkButton(app);
}

void UpdateWndQuitKey(AppState& app) {
    if (DownloadRunning(app) && app.update.quit) {
        app.update.quit();
    }
}

bool DownloadRunning(const AppState& app) {
    return app.update.UpdateWndOnFlag != 0 && app.update.download == DownloadPhase::Running;
}

void CancelDownload(AppState& app) {
    UpdateState& u = app.update;
    if (!DownloadRunning(app)) {
        return;
    }
    ++u.downloadNumber;
    ++u.timerNumber; // a download still to start after the trash stays unstarted
    app.platform().cancelDownload();
    u.download = DownloadPhase::None;
    CheckForUpdateWndOkButton(app);
}

} // namespace kestrune
