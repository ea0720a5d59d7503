#!/usr/bin/env bash
# Windows come back exactly where the user left them, run after run, with a
# window manager and without: the main window at its place and height, the
# empty window where the sheet will be (so opening one moves nothing), and
# the Preferences window at its place. Settings that cannot be used neither
# hang the start nor put a window out of sight.
# Usage: windows.sh PATH-TO-KESTRUNE
source "$(dirname -- "${BASH_SOURCE[0]}")/lib.sh"
e2e_init "$@"

DOC='Acme,PR-200, 20.5, 18.25, 45.1, 6.312, 220, 12.5, 275, 95.4\r'
PREFS_TITLE='Kestrune Preferences'

# e2e_wait_still WINDOW: its place and size stay the same for a moment (the
# window manager has done with it); they are in E2E_X, E2E_Y, E2E_WIDTH and
# E2E_HEIGHT.
wait_still() {
    local i last=
    for ((i = 0; i < 40; i++)); do
        e2e_position_of "$1"
        [[ -n $E2E_X && $last == "$E2E_X,$E2E_Y,$E2E_WIDTH,$E2E_HEIGHT" ]] && return 0
        last="$E2E_X,$E2E_Y,$E2E_WIDTH,$E2E_HEIGHT"
        sleep 0.1
    done
    e2e_fail "window $1 did not settle: ${last}"
}

expect_place() {
    local window=$1 expected=$2 what=$3
    wait_still "$window"
    [[ "$E2E_X,$E2E_Y,$E2E_WIDTH,$E2E_HEIGHT" == "$expected" ]] ||
        e2e_fail "${what}: the window is at ${E2E_X},${E2E_Y} sized ${E2E_WIDTH}x${E2E_HEIGHT}, not ${expected}"
}

quit_run() {
    e2e_key "$E2E_MAIN" ctrl+q
    e2e_expect_exit "$1" 0 "Ctrl+Q"
}

find_preferences() {
    e2e_find_titled "$PREFS_TITLE" && E2E_PREFS=$E2E_FOUND
}

open_preferences() {
    e2e_key "$E2E_MAIN" ctrl+comma
    e2e_poll "$E2E_WINDOW_TIMEOUT" find_preferences || e2e_fail "Ctrl+, opened no Preferences window"
}

close_preferences() {
    e2e_key "$E2E_PREFS" Return
    e2e_poll 3 sh -c "! xdotool search --onlyvisible --name '^${PREFS_TITLE}\$' >/dev/null 2>&1" ||
        e2e_fail "Return did not close the Preferences window"
}

# places_case MODE: MODE is none or openbox.
places_case() {
    [[ $1 == openbox ]] && e2e_start_window_manager
    local docs=$E2E_TMP/docs run
    e2e_write "$docs/a.kedata" "$DOC"

    e2e_launch run0 "$docs" a.kedata
    e2e_wait_main
    e2e_wait_title "$E2E_MAIN" a.kedata "opening a.kedata"
    wait_still "$E2E_MAIN"
    # The user moves the window and makes it taller (the window manager's
    # part, done here by hand), and moves the Preferences window.
    xdotool windowsize "$E2E_MAIN" "$E2E_WIDTH" $((E2E_HEIGHT + 96)) || e2e_fail "could not resize the window"
    xdotool windowmove "$E2E_MAIN" 211 157 || e2e_fail "could not move the window"
    sleep 0.3
    wait_still "$E2E_MAIN"
    local main_place="$E2E_X,$E2E_Y,$E2E_WIDTH,$E2E_HEIGHT"
    open_preferences
    wait_still "$E2E_PREFS"
    xdotool windowmove "$E2E_PREFS" 403 281 || e2e_fail "could not move the Preferences window"
    sleep 0.3
    wait_still "$E2E_PREFS"
    local prefs_place="$E2E_X,$E2E_Y,$E2E_WIDTH,$E2E_HEIGHT"
    close_preferences
    quit_run run0

    for run in run1 run2 run3; do
        e2e_launch "$run" "$docs" a.kedata
        e2e_wait_main
        e2e_wait_title "$E2E_MAIN" a.kedata "${run}: opening a.kedata"
        expect_place "$E2E_MAIN" "$main_place" "${run}: the sheet window"
        open_preferences
        expect_place "$E2E_PREFS" "$prefs_place" "${run}: the Preferences window"
        close_preferences
        quit_run "$run"
    done

    # Without a document the window opens where the sheet will be; a
    # document handed over then moves nothing.
    e2e_launch empty "$docs"
    e2e_wait_main
    e2e_wait_title "$E2E_MAIN" Kestrune "start-up without a document"
    wait_still "$E2E_MAIN"
    [[ "$E2E_X,$E2E_Y" == "${main_place%,*,*}" ]] ||
        e2e_fail "the empty window is at ${E2E_X},${E2E_Y}, not where the sheet was (${main_place})"
    e2e_launch second "$docs" a.kedata
    e2e_expect_exit second 0 "handing a.kedata over"
    e2e_wait_title "$E2E_MAIN" a.kedata "a.kedata handed over"
    expect_place "$E2E_MAIN" "$main_place" "the sheet opened in the empty window"
    quit_run empty
}

# expect_on_screen WINDOW WHAT: the window lies wholly on the 1280 x 1024 screen.
expect_on_screen() {
    wait_still "$1"
    ((E2E_X >= 0 && E2E_Y >= 0 && E2E_X + E2E_WIDTH <= 1280 && E2E_Y + E2E_HEIGHT <= 1024)) ||
        e2e_fail "$2 is at ${E2E_X},${E2E_Y} sized ${E2E_WIDTH}x${E2E_HEIGHT}, not on the screen"
}

# Settings that cannot be used: a pipe in place of the settings file does
# not hang the start; places far off any screen open the windows on it.
bad_settings_case() {
    local kind=$1 conf=$XDG_CONFIG_HOME/Kestrune/Kestrune.conf docs=$E2E_TMP/docs
    mkdir -p "${conf%/*}"
    e2e_write "$docs/a.kedata" "$DOC"
    if [[ $kind == pipe ]]; then
        mkfifo "$conf"
    else
        printf '[General]\nBounds="%s"\nPrefeBounds="%s"\nBoundsCheck=1\nSoundCheck=-1\n' \
            "$2" "$3" >"$conf"
    fi
    e2e_launch app "$docs" a.kedata
    e2e_wait_main
    e2e_wait_title "$E2E_MAIN" a.kedata "opening a.kedata with the settings ${kind}"
    expect_on_screen "$E2E_MAIN" "the sheet window"
    open_preferences
    expect_on_screen "$E2E_PREFS" "the Preferences window"
    close_preferences
    quit_run app
    [[ $kind != pipe || -p $conf ]] || e2e_fail "the pipe in place of the settings was replaced"
}

e2e_case "windows reopen where they were left, without a window manager" places_case none
e2e_case "windows reopen where they were left, under openbox" places_case openbox
e2e_case "a pipe as the settings file" bad_settings_case pipe
e2e_case "places far above and left of the screen" bad_settings_case places "-32768,-32768,-32448,-32023" "-32768,-32768,0,0"
e2e_case "places far below and right of the screen" bad_settings_case places "32767,32767,32767,32767" "32000,32000,0,0"
e2e_finish
