#pragma once
// Where the check for a newer version and its download stand, and what the
// update window shows.

#include "ports/window_views.h"
#include "runtime/str255.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kestrune {

enum class VersionReply : std::uint8_t {
    Waiting, // asked for, no answer yet
    Arrived, // the version file came in whole
    Failed,  // the request failed or was refused
};

enum class CheckPhase : std::uint8_t {
    Idle,
    Asking,  // within the first second
    Overdue, // asked from the menu, past its second: the window shows the wait
};

enum class DownloadPhase : std::uint8_t { None, Running, Succeeded, Failed, Installing };

struct UpdateState {
    // 1 means NO connection: the desktop reported no working network as the
    // check began, or the menu's check got no answer. 0 otherwise.
    std::int8_t NetConnectFlag = 0;
    // 1 when the server's version is newer than the running one, else 0.
    std::int8_t UpdateOkFlag = 0;
    // 1 means the download FAILED (or could not start); 0 that it came in
    // whole, or that there was none.
    std::int8_t DownLoadOkFlag = 0;
    // 1 when the user asked for the check from the menu, 0 for the launch check.
    std::int8_t CheckByMenuFlag = 0;
    // 0 at start-up, 1 once a check's outcome has been looked at: the
    // launch check runs at most once.
    std::int8_t CheckForUpFlag = 0;
    // The window is on screen.
    std::int8_t UpdateWndOnFlag = 0;

    bool noConnection() const { return NetConnectFlag == 1; }
    void setNoConnection(bool none) { NetConnectFlag = none ? 1 : 0; }
    bool newerVersionFound() const { return UpdateOkFlag == 1; }
    bool downloadFailed() const { return DownLoadOkFlag == 1; }
    void setDownloadFailed(bool failed) { DownLoadOkFlag = failed ? 1 : 0; }
    bool checkedFromMenu() const { return CheckByMenuFlag == 1; }
    bool outcomeLookedAt() const { return CheckForUpFlag == 1; }

    Str255 availStr;
    Str255 bundleStr;
    std::string gResponseData;
    std::int32_t checkUpdateBtn = 0;

    // The update server's address (scheme, host and an optional path
    // prefix); empty when no usable server is set, and every check fails.
    std::string server;
    // The server runs on this machine: it needs no network.
    bool serverOnThisMachine = false;

    CheckPhase phase = CheckPhase::Idle;
    VersionReply reply = VersionReply::Waiting;
    // Replies and timers carry the number of the check or timer they
    // belong to; only the newest one counts.
    std::uint32_t checkNumber = 0;
    std::uint32_t timerNumber = 0;

    DownloadPhase download = DownloadPhase::None;
    std::int64_t received = 0;
    std::int64_t total = -1; // -1: the server did not say
    std::string downloadedPath;
    // The number of the running download: a cancelled or replaced one's
    // late reports and timers count for nothing.
    std::uint32_t downloadNumber = 0;
    // The bytes received when the speed was last looked at.
    std::int64_t floorMark = 0;

    // The check or its window holds documents handed over meanwhile.
    bool holdsHandOvers = false;

    // Ends the program the way Quit does, asking about unsaved changes;
    // installed by the application.
    std::function<void()> quit;
};

} // namespace kestrune
