#!/usr/bin/env bash
# The check for a newer version and its download, against an update server
# of our own on 127.0.0.1 (update_server.py): the launch check, the menu
# check with a slow server (waited for, or given up) and a failing one, a
# download that comes in whole and one that breaks off, what ends up in the
# Downloads folder and the trash, and "Launch Installer and Quit" handing
# the files to the desktop. A download that stalls after its headers never
# holds the program: Escape cancels it, and Quit ends the program with it.
# Usage: update.sh PATH-TO-KESTRUNE
source "$(dirname -- "${BASH_SOURCE[0]}")/lib.sh"
e2e_init "$@"
e2e_require python3 import
SERVER_SCRIPT=$(dirname -- "${BASH_SOURCE[0]}")/update_server.py
UPDATE_TITLE="Kestrune Check for Update"
# Places in the update window.
LAUNCH_INSTALLER=(220 120)

# start_server [update_server.py options]: the server runs for the case;
# the program is pointed at it.
start_server() {
    python3 "$SERVER_SCRIPT" --port-file "$E2E_TMP/port" --log "$E2E_TMP/requests" "$@" \
        >"$E2E_TMP/server.log" 2>&1 &
    E2E_HELPER_PIDS+=($!)
    e2e_poll "$E2E_WINDOW_TIMEOUT" test -s "$E2E_TMP/port" || e2e_fail "the update server did not start"
    export KESTRUNE_UPDATE_URL="http://127.0.0.1:$(cat "$E2E_TMP/port")"
    touch "$E2E_TMP/requests"
}

requests_for() {
    E2E_COUNT=$(grep -c -- "^GET $1\$" "$E2E_TMP/requests")
}

expect_requests() {
    local path=$1 expected=$2 what=$3
    requests_for "$path"
    ((E2E_COUNT == expected)) || e2e_fail "${what}: ${E2E_COUNT} requests for ${path}, not ${expected}"
}

has_requested() {
    requests_for "$1"
    ((E2E_COUNT >= 1))
}

# The server has begun to send the version file.
has_answered() {
    grep -q -- "^ANSWERING /versions/Kestrune_version.txt\$" "$E2E_TMP/requests"
}

no_launch_check() {
    mkdir -p "$XDG_CONFIG_HOME/Kestrune"
    printf '[General]\nUpdateForCheck=0\n' >"$XDG_CONFIG_HOME/Kestrune/Kestrune.conf"
}

find_update_window() {
    e2e_find_titled "$UPDATE_TITLE" && E2E_UPDATE=$E2E_FOUND
}

wait_update_window() {
    e2e_poll "${2:-$E2E_WINDOW_TIMEOUT}" find_update_window || e2e_fail "$1: no update window"
}

# The update window offers a newer version: its headline is green.
offer_shown() {
    local green
    green=$(import -window "$E2E_UPDATE" txt:- 2>/dev/null | grep -c -F 'srgb(0,170,0)')
    ((green > 0))
}

wait_update_window_gone() {
    e2e_poll "$E2E_WINDOW_TIMEOUT" sh -c "! xdotool search --onlyvisible --name '^${UPDATE_TITLE}\$' >/dev/null 2>&1" ||
        e2e_fail "$1: the update window is still on screen"
}

# The application menu's "Check for Updates...", by the mouse and the keyboard.
check_from_menu() {
    timeout 5 xdotool mousemove --window "$E2E_MAIN" 30 10 click 1 || e2e_fail "could not open the application menu"
    sleep 0.3
    xdotool key --delay 40 Down Down Return
}

# The Downloads folder holds exactly these names, hidden ones included.
expect_downloads() {
    local expected=$1 found
    found=$(cd "$HOME/Downloads" && LC_ALL=C ls -A | tr '\n' ' ')
    [[ $found == "$expected" ]] || e2e_fail "the Downloads folder holds '${found}', not '${expected}'"
}

# At launch a newer version is offered; Return downloads it over the old
# files, which go to the trash; "Launch Installer and Quit" opens the archive
# and then the package, and the program ends.
launch_check_download_and_install() {
    head -c 300000 /dev/urandom >"$E2E_TMP/archive"
    start_server --version $'9.9.9\n' --archive "$E2E_TMP/archive" --archive-chunk-delay 0.05
    mkdir -p "$HOME/Downloads"
    printf 'old archive' >"$HOME/Downloads/Kestrune.zip"
    printf 'old package' >"$HOME/Downloads/Kestrune.pkg"
    e2e_install_handler
    e2e_launch app "$E2E_TMP"
    e2e_wait_main
    wait_update_window "a newer version at launch"
    e2e_key "$E2E_UPDATE" Return
    e2e_poll "$E2E_WINDOW_TIMEOUT" cmp -s "$HOME/Downloads/Kestrune.zip" "$E2E_TMP/archive" ||
        e2e_fail "the archive did not arrive whole in the Downloads folder"
    expect_downloads "Kestrune.zip "
    local trash=$XDG_DATA_HOME/Trash/files
    [[ $(cat "$trash/Kestrune.zip" 2>/dev/null) == 'old archive' ]] || e2e_fail "the old archive is not in the trash"
    [[ $(cat "$trash/Kestrune.pkg" 2>/dev/null) == 'old package' ]] || e2e_fail "the old package is not in the trash"
    expect_requests /downloads/apps/Kestrune.zip 1 "the download"

    sleep 0.2 # the outcome's buttons
    timeout 5 xdotool mousemove --window "$E2E_UPDATE" "${LAUNCH_INSTALLER[@]}" click 1 ||
        e2e_fail "could not click Launch Installer and Quit"
    e2e_poll 5 e2e_opened_count 1 || e2e_fail "Launch Installer and Quit opened nothing"
    printf 'new package' >"$HOME/Downloads/Kestrune.pkg" # what the archive holds
    e2e_poll 5 e2e_opened_count 2 || e2e_fail "the package was not opened"
    [[ $(sed -n 1p "$E2E_TMP/opened") == "file://$HOME/Downloads/Kestrune.zip" ]] ||
        e2e_fail "opened first: $(sed -n 1p "$E2E_TMP/opened")"
    [[ $(sed -n 2p "$E2E_TMP/opened") == "file://$HOME/Downloads/Kestrune.pkg" ]] ||
        e2e_fail "opened second: $(sed -n 2p "$E2E_TMP/opened")"
    e2e_expect_exit app 0 "Launch Installer and Quit"
    expect_requests /versions/Kestrune_version.txt 1 "the launch check"
}

# An older or unreadable version on the server: nothing is shown at launch.
launch_check_quiet() {
    local version=$1
    start_server --version "$version"
    e2e_launch app "$E2E_TMP"
    e2e_wait_main
    e2e_poll 5 has_requested /versions/Kestrune_version.txt || e2e_fail "no launch check"
    ! e2e_poll 1.5 find_update_window || e2e_fail "an update window for version '${version}'"
    e2e_key "$E2E_MAIN" ctrl+q
    e2e_expect_exit app 0 "Ctrl+Q after a quiet launch check"
}

# A version later by its numbers, though not by its digits read as one
# number, is offered at launch.
launch_check_offers() {
    local version=$1
    start_server --version "$version"
    e2e_launch app "$E2E_TMP"
    e2e_wait_main
    wait_update_window "version '${version}' offered at launch"
    e2e_key "$E2E_UPDATE" Escape
    wait_update_window_gone "Escape in the update window"
    e2e_key "$E2E_MAIN" ctrl+q
    e2e_expect_exit app 0 "Ctrl+Q after the offer"
}

# From the menu, a server that answers after three seconds is waited for:
# the window comes before the answer, saying that it is checking, and the
# answer turns it into the offer of the newer version. The download breaks
# off half-way: nothing of it is left, and OK ends it.
menu_check_slow_server_broken_download() {
    head -c 300000 /dev/urandom >"$E2E_TMP/archive"
    start_server --version 9.9.9 --version-delay 3 --archive "$E2E_TMP/archive" --archive-cut 150000
    no_launch_check
    e2e_launch app "$E2E_TMP"
    e2e_wait_main
    check_from_menu
    wait_update_window "the wait for a slow server" 2
    has_requested /versions/Kestrune_version.txt || e2e_fail "the menu asked nothing"
    ! has_answered || e2e_fail "the update window came only with the answer"
    ! offer_shown || e2e_fail "the waiting window offers a version"
    e2e_poll "$E2E_WINDOW_TIMEOUT" offer_shown || e2e_fail "the answer did not turn the window into the offer"
    e2e_key "$E2E_UPDATE" Return # Download...
    e2e_poll 5 has_requested /downloads/apps/Kestrune.zip ||
        e2e_fail "Return did not download: the window did not offer the newer version"
    sleep 0.5 # the broken download's end
    expect_downloads ""
    e2e_key "$E2E_UPDATE" Return # OK
    wait_update_window_gone "OK after the failed download"
    expect_downloads ""
    e2e_key "$E2E_MAIN" ctrl+q
    e2e_expect_exit app 0 "Ctrl+Q after the failed download"
    expect_requests /versions/Kestrune_version.txt 1 "with no launch check"
}

# Escape while the window waits for a slow server stops waiting: the answer
# that comes later brings nothing back, and the menus work again.
menu_check_closed_while_waiting() {
    start_server --version 9.9.9 --version-delay 3
    no_launch_check
    e2e_launch app "$E2E_TMP"
    e2e_wait_main
    check_from_menu
    wait_update_window "the wait for a slow server" 2
    e2e_key "$E2E_UPDATE" Escape
    wait_update_window_gone "Escape while waiting"
    e2e_poll 5 has_answered || e2e_fail "the server did not answer"
    ! e2e_poll 1.5 find_update_window || e2e_fail "the answer after Escape brought the window back"
    e2e_key "$E2E_MAIN" ctrl+n
    e2e_wait_title "$E2E_MAIN" "untitled.kedata" "New after the check given up"
    e2e_key "$E2E_MAIN" ctrl+q
    e2e_expect_exit app 0 "Ctrl+Q after the check given up"
}

# A failing server or none at all: the window comes, OK closes it, and the
# menus work again.
menu_check_failing() {
    case $1 in
    500) start_server --version 9.9.9 --version-status 500 ;;
    none) export KESTRUNE_UPDATE_URL=http://127.0.0.1:9 ;;
    esac
    no_launch_check
    e2e_launch app "$E2E_TMP"
    e2e_wait_main
    check_from_menu
    wait_update_window "a failing server"
    e2e_key "$E2E_UPDATE" Return
    wait_update_window_gone "OK"
    e2e_key "$E2E_MAIN" ctrl+n
    e2e_wait_title "$E2E_MAIN" "untitled.kedata" "New after the check"
    e2e_key "$E2E_MAIN" ctrl+q
    e2e_expect_exit app 0 "Ctrl+Q after a failed check"
}

# The archive's headers come, then nothing: the download is under way with
# its partial file in the Downloads folder. How it ends: Escape in the update
# window cancels it (the window goes, the partial file too, the program goes
# on); Ctrl+Q in the update window or in the main window quits with status 0
# and leaves nothing.
download_stalled_then() {
    local how=$1
    head -c 300000 /dev/urandom >"$E2E_TMP/archive"
    start_server --version 9.9.9 --archive "$E2E_TMP/archive" --archive-stall
    mkdir -p "$HOME/Downloads"
    e2e_launch app "$E2E_TMP"
    e2e_wait_main
    wait_update_window "a newer version at launch"
    e2e_key "$E2E_UPDATE" Return # Download...
    e2e_poll 5 grep -q -- "^STALLING /downloads/apps/Kestrune.zip\$" "$E2E_TMP/requests" ||
        e2e_fail "the download did not start"
    sleep 0.3 # the headers reach the program
    case $how in
    escape)
        e2e_key "$E2E_UPDATE" Escape
        wait_update_window_gone "Escape during the download"
        expect_downloads ""
        e2e_key "$E2E_MAIN" ctrl+n
        e2e_wait_title "$E2E_MAIN" "untitled.kedata" "New after the cancelled download"
        e2e_key "$E2E_MAIN" ctrl+q
        e2e_expect_exit app 0 "Ctrl+Q after the cancelled download"
        ;;
    quit-in-update) e2e_key "$E2E_UPDATE" ctrl+q ;;
    quit-in-main) e2e_key "$E2E_MAIN" ctrl+q ;;
    esac
    [[ $how == escape ]] || e2e_expect_exit app 0 "Ctrl+Q during the download"
    expect_downloads ""
}

# The memory, in KiB, of the program's process: "VmHWM" (its peak) or "VmRSS".
program_memory() {
    local pid
    pid=$(pgrep -n -f -- "^$E2E_TMP/bin/kestrune") || return 1
    awk -v key="$1:" '$1 == key { print $2 }' "/proc/$pid/status"
}

# An archive without end is cut at the limit: the download fails, nothing of
# it is left, and the program's memory stays within 64 MB of what it held.
download_endless() {
    head -c 1048576 /dev/urandom >"$E2E_TMP/archive"
    start_server --version 9.9.9 --archive "$E2E_TMP/archive" --archive-endless
    mkdir -p "$HOME/Downloads"
    e2e_launch app "$E2E_TMP"
    e2e_wait_main
    wait_update_window "a newer version at launch"
    local before peak
    before=$(program_memory VmRSS) || e2e_fail "no program to measure"
    e2e_key "$E2E_UPDATE" Return # Download...
    e2e_poll 60 grep -q -- "^CUT /downloads/apps/Kestrune.zip\$" "$E2E_TMP/requests" ||
        e2e_fail "the endless archive was not cut"
    peak=$(program_memory VmHWM)
    echo "an endless archive: peak ${peak} KiB, ${before} KiB before the download, $(program_memory VmRSS) KiB after"
    ((peak - before < 65536)) || e2e_fail "the download took $((peak - before)) KiB"
    e2e_poll 5 test -z "$(ls -A "$HOME/Downloads")" || e2e_fail "the cut archive left $(ls -A "$HOME/Downloads")"
    e2e_key "$E2E_UPDATE" Return # OK, once the failure is shown
    wait_update_window_gone "OK after the cut archive"
    e2e_key "$E2E_MAIN" ctrl+q
    e2e_expect_exit app 0 "Ctrl+Q after the cut archive"
}

e2e_case "launch check: newer version, download over old files, install and quit" launch_check_download_and_install
e2e_case "launch check: 1.0 is offered to 0.1.0" launch_check_offers $'1.0\n'
e2e_case "launch check: an older version shows nothing" launch_check_quiet 0.0.1
e2e_case "launch check: the same version with a suffix shows nothing" launch_check_quiet 0.1.0-beta
e2e_case "launch check: a version file without a number shows nothing" launch_check_quiet "Version 99"
e2e_case "launch check: an empty version file shows nothing" launch_check_quiet ""
e2e_case "menu check: a slow server is waited for; a broken download leaves nothing" menu_check_slow_server_broken_download
e2e_case "menu check: Escape while waiting, the late answer shows nothing" menu_check_closed_while_waiting
e2e_case "menu check: a server answering 500" menu_check_failing 500
e2e_case "menu check: no server listening" menu_check_failing none
e2e_case "an endless archive is cut at the limit in bounded memory" download_endless
for how in escape quit-in-update quit-in-main; do
    e2e_case "a stalled download: $how" download_stalled_then "$how"
done
e2e_finish
