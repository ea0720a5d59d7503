#pragma once
// Asking the update server whether a newer version exists, the update window
// (window 5) that tells the user, and the download of the new installer into
// the Downloads folder.
//
// At launch the answer is looked at once, a second after asking, and the
// window only appears when a newer version is known by then. From the menu
// the window always appears after that second: while the answer is still on
// its way it says it is waiting, and then turns into the true outcome: the
// answer, a failure or a time-out. Closing it meanwhile stops waiting. A
// download is shown while it runs and judged when it ends.

#include "model/app_state.h"

#include <string>
#include <string_view>

namespace kestrune {

inline constexpr std::string_view checkVerURL = "/versions/Kestrune_version.txt";
inline constexpr std::string_view downloadURL = "/downloads/apps/Kestrune.zip";
inline constexpr std::string_view downFileZip = "Kestrune.zip";
inline constexpr std::string_view downFileName = "Kestrune.pkg";

// The version file is a short text; more than this is not read.
inline constexpr std::size_t kVersionTextLimit = 255;
// The largest installer archive that is accepted.
inline constexpr std::int64_t kArchiveLimit = std::int64_t{512} * 1024 * 1024;
// How long the menu check waits for the server, and a download for its next bytes.
inline constexpr int kCheckTimeoutMs = 15000;
inline constexpr int kDownloadStallMs = 60000;
// A download that brings fewer than kDownloadFloorBytes in any
// kDownloadFloorMs fails: a trickle never holds the window.
inline constexpr std::int64_t kDownloadFloorBytes = 1024;
inline constexpr int kDownloadFloorMs = 30000;

namespace UpdateControl {
constexpr std::int32_t kIcon = 94;
constexpr std::int32_t kOK = 95;
constexpr std::int32_t kDownload = 96;
constexpr std::int32_t kDontDownload = 97;
constexpr std::int32_t kOKAfterDownload = 98;
constexpr std::int32_t kLaunchInstaller = 99;
constexpr std::int32_t kHeadline = 100;
constexpr std::int32_t kDetail = 101;
constexpr std::int32_t kCheckOnLaunch = 102;
constexpr std::int32_t kProgress = 103;
constexpr std::int32_t kCancel = 104;
} // namespace UpdateControl

// Whether the version text available names a later version than running.
// Versions compare by their dot-separated numbers, left to right, a missing
// number counting as 0 (0.1.0 < 0.2 < 1.0 < 1.2.3 < 1.9 < 1.10 < 2.0); with
// the same numbers, one followed by a suffix ("1.2-beta") comes before the
// one without. A text that does not start with a number is never later;
// blanks and line ends around the text do not count.
bool IsNewerVersion(std::string_view available, std::string_view running);

// Whether the update server may be reached at an address of this scheme and
// host: https anywhere, plain http only on this machine.
bool UpdateAddressAllowed(std::string_view scheme, std::string_view host);
// A path on the update server: its address without a trailing '/', then the path.
std::string UpdateServerUrl(std::string_view server, std::string_view path);
// "Kestrune.zip" for k = 0, then "Kestrune-1.zip", "Kestrune-2.zip" ...
std::string DownloadNameCandidate(std::string_view fileName, int k);

void InitUpdateFlag(AppState& app);
// Starts a check: asks the server and looks at the outcome a second later.
void CheckForVersion(AppState& app);
// The launch check, when the preferences ask for it and none ran yet.
void CheckForVersionAtLaunch(AppState& app);
// The application menu's "Check for Updates...".
void CheckForUpdatesCommand(AppState& app);

UpdateView BuildUpdateView(const AppState& app);
void CheckForUpdateWnd(AppState& app);
void CheckForUpdateWndOkButton(AppState& app);
void CheckForUpdateWndDownloadButton(AppState& app);
void ShowDownLoadFinished(AppState& app);

// A click in the window: a button, or the check box's new state.
void UpdateControlHit(AppState& app, std::int32_t control, std::int32_t value);
// Return or Enter in the window: the default button's action.
void UpdateWndReturnKey(AppState& app);
// The close box or Escape: as "OK" wherever the window offers one, and
// as "Cancel" while the archive comes in.
void UpdateWndCloseBox(AppState& app);
// Ctrl+Q in the window: Quit, while a download runs (the menus' Quit is
// usable then too).
void UpdateWndQuitKey(AppState& app);

// Whether the archive is being fetched (or about to be).
bool DownloadRunning(const AppState& app);
// Stops the running download, removes what came of it and closes the
// window as "OK" does.
void CancelDownload(AppState& app);

} // namespace kestrune
