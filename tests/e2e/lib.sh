# shellcheck shell=bash
# shellcheck disable=SC2034 # what the helpers find is read by the scripts
# Shared helpers of the end-to-end scripts: they start the built kestrune on a
# virtual X display and a session bus of its own, drive it with real key
# presses and clicks (xdotool) and look at what a user would look at: the
# exit status, the bytes of files, the X clipboard, the windows on screen.
#
# A script sources this file, calls e2e_init with the program's path, runs
# its cases with e2e_case and ends with e2e_finish. Every case runs in a
# subshell with a fresh temporary folder (HOME, config, documents), its own
# Xvfb and its own dbus-daemon, all removed again when the case ends,
# whatever way it ends. The program is started through a symlink inside that
# folder, so its processes (and only they) are found by that path.
#
# Helpers that find something store it in a variable (E2E_MAIN, E2E_DIALOG,
# E2E_TITLE, E2E_STATUS, E2E_COUNT) instead of printing it, so that a failure
# inside them ends the case rather than a command substitution.
#
# Running them: `ctest --test-dir build -L e2e -j2`, or one script by hand,
# `bash tests/e2e/quit.sh build/app/kestrune`. E2E_ARTIFACTS=DIR keeps a
# screenshot of every failed case; E2E_WINDOW_TIMEOUT and E2E_EXIT_TIMEOUT
# (seconds) stretch the waits on a slow machine.

set -uo pipefail

E2E_WINDOW_TIMEOUT=${E2E_WINDOW_TIMEOUT:-10} # a window or a title to appear
E2E_EXIT_TIMEOUT=${E2E_EXIT_TIMEOUT:-5}      # the program to end after a Quit

# The size the sheet window gives its content; the menu bar sits above it.
E2E_CONTENT_HEIGHT=320

E2E_PASSED=0
E2E_FAILED=0
E2E_FAILED_NAMES=()

# ---------------------------------------------------------------------------
# Script level

# e2e_require TOOL...: every tool is on PATH, or the script ends with status 2.
e2e_require() {
    local tool missing=()
    for tool in "$@"; do
        command -v "$tool" >/dev/null 2>&1 || missing+=("$tool")
    done
    if ((${#missing[@]})); then
        echo "missing tools: ${missing[*]} (tools/bootstrap installs them)" >&2
        exit 2
    fi
}

e2e_init() {
    E2E_BIN=${1:-}
    if [[ -z $E2E_BIN || ! -x $E2E_BIN ]]; then
        echo "usage: $0 PATH-TO-KESTRUNE (got '${E2E_BIN}')" >&2
        exit 2
    fi
    E2E_BIN=$(readlink -f -- "$E2E_BIN")
    e2e_require Xvfb dbus-daemon xdotool xclip timeout flock pgrep cmp od awk
    # The program sees a plain desktop session of our own making.
    export LC_ALL=C.UTF-8
    export QT_QPA_PLATFORM=xcb
    export NO_AT_BRIDGE=1
    unset WAYLAND_DISPLAY SESSION_MANAGER QT_QPA_PLATFORMTHEME DISPLAY DBUS_SESSION_BUS_ADDRESS
    # The launch check asks a port on this machine where nothing listens:
    # no test talks to the world.
    export KESTRUNE_UPDATE_URL=http://127.0.0.1:9
}

# e2e_case TITLE FUNCTION [ARGS...]: runs one case in a subshell of its own.
e2e_case() {
    local title=$1
    shift
    echo "--- ${title}"
    (
        e2e_begin_case
        "$@"
    )
    local status=$?
    if ((status == 0)); then
        E2E_PASSED=$((E2E_PASSED + 1))
        echo "PASS: ${title}"
    else
        E2E_FAILED=$((E2E_FAILED + 1))
        E2E_FAILED_NAMES+=("$title")
        echo "FAIL: ${title}"
    fi
}

e2e_finish() {
    local name
    for name in "${E2E_FAILED_NAMES[@]}"; do
        echo "failed: ${name}"
    done
    echo "${E2E_PASSED} passed, ${E2E_FAILED} failed"
    ((E2E_FAILED == 0))
}

# ---------------------------------------------------------------------------
# Case level: set-up and clean-up

e2e_begin_case() {
    E2E_TMP=$(mktemp -d "${TMPDIR:-/tmp}/kestrune-e2e.XXXXXXXX") || exit 1
    E2E_HELPER_PIDS=()
    E2E_XVFB_PID=
    E2E_BUS_PID=
    trap e2e_end_case EXIT
    trap 'exit 130' INT TERM HUP

    mkdir -p "$E2E_TMP/home" "$E2E_TMP/config" "$E2E_TMP/runtime" "$E2E_TMP/bin" "$E2E_TMP/docs"
    chmod 700 "$E2E_TMP/runtime"
    ln -s "$E2E_BIN" "$E2E_TMP/bin/kestrune"
    export HOME="$E2E_TMP/home"
    export XDG_CONFIG_HOME="$E2E_TMP/config"
    export XDG_RUNTIME_DIR="$E2E_TMP/runtime"
    export XDG_DATA_HOME="$E2E_TMP/home/.local/share"
    export XDG_CACHE_HOME="$E2E_TMP/home/.cache"
    export TMPDIR="$E2E_TMP"

    e2e_start_display
    e2e_start_bus
}

e2e_start_display() {
    local fd number=
    exec {fd}>"$E2E_TMP/display"
    Xvfb -displayfd "$fd" -screen 0 1280x1024x24 -nolisten tcp -noreset \
        >"$E2E_TMP/xvfb.log" 2>&1 &
    E2E_XVFB_PID=$!
    # Xvfb writes the display number to its copy of the descriptor once it
    # takes connections; ours is closed.
    exec {fd}>&-
    local i
    for ((i = 0; i < E2E_WINDOW_TIMEOUT * 20; i++)); do
        if [[ -s $E2E_TMP/display ]] && read -r number <"$E2E_TMP/display" && [[ -n $number ]]; then
            break
        fi
        kill -0 "$E2E_XVFB_PID" 2>/dev/null || break
        sleep 0.05
    done
    [[ -n $number ]] || e2e_fail "Xvfb did not start: $(tail -n 5 "$E2E_TMP/xvfb.log")"
    export DISPLAY=":$number"
}

e2e_start_bus() {
    local fd address=
    exec {fd}>"$E2E_TMP/bus"
    dbus-daemon --session --nofork --nopidfile --print-address="$fd" \
        >"$E2E_TMP/bus.log" 2>&1 &
    E2E_BUS_PID=$!
    exec {fd}>&-
    local i
    for ((i = 0; i < E2E_WINDOW_TIMEOUT * 20; i++)); do
        if [[ -s $E2E_TMP/bus ]] && read -r address <"$E2E_TMP/bus" && [[ -n $address ]]; then
            break
        fi
        kill -0 "$E2E_BUS_PID" 2>/dev/null || break
        sleep 0.05
    done
    [[ -n $address ]] || e2e_fail "the session bus did not start: $(tail -n 5 "$E2E_TMP/bus.log")"
    export DBUS_SESSION_BUS_ADDRESS="$address"
}

# Ends a process we started, by its id: politely, then for good.
# e2e_start_window_manager: openbox manages the case's display from now on,
# as a desktop's window manager would: frames, title bars, placement.
e2e_start_window_manager() {
    command -v openbox >/dev/null 2>&1 || e2e_fail "openbox is missing (tools/bootstrap installs it)"
    openbox --sm-disable >"$E2E_TMP/openbox.log" 2>&1 &
    E2E_HELPER_PIDS+=($!)
    e2e_poll "$E2E_WINDOW_TIMEOUT" e2e_window_manager_runs ||
        e2e_fail "openbox did not start: $(tail -n 5 "$E2E_TMP/openbox.log")"
}

e2e_window_manager_runs() {
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'
}

# e2e_position_of WINDOW: where its own area (inside any frame) is on the
# screen, in E2E_X and E2E_Y, and its size in E2E_WIDTH and E2E_HEIGHT.
e2e_position_of() {
    local key value
    E2E_X=
    E2E_Y=
    while IFS='=' read -r key value; do
        case $key in
        X) E2E_X=$value ;;
        Y) E2E_Y=$value ;;
        WIDTH) E2E_WIDTH=$value ;;
        HEIGHT) E2E_HEIGHT=$value ;;
        esac
    done < <(xdotool getwindowgeometry --shell "$1" 2>/dev/null)
}

e2e_stop_pid() {
    local pid=$1 i
    kill -TERM "$pid" 2>/dev/null || return 0
    for ((i = 0; i < 40; i++)); do
        kill -0 "$pid" 2>/dev/null || return 0
        sleep 0.05
    done
    kill -KILL "$pid" 2>/dev/null || true
}

e2e_end_case() {
    local status=$?
    trap - EXIT INT TERM HUP
    if ((status != 0)) && [[ -n ${E2E_ARTIFACTS:-} && -n ${DISPLAY:-} ]] && command -v import >/dev/null; then
        mkdir -p "$E2E_ARTIFACTS"
        import -window root "$E2E_ARTIFACTS/$(basename "$0" .sh)-$BASHPID.png" 2>/dev/null || true
    fi
    local pid
    for pid in $(e2e_instance_pids); do
        e2e_stop_pid "$pid"
    done
    for pid in "${E2E_HELPER_PIDS[@]}"; do
        e2e_stop_pid "$pid"
    done
    [[ -n $E2E_BUS_PID ]] && e2e_stop_pid "$E2E_BUS_PID"
    [[ -n $E2E_XVFB_PID ]] && e2e_stop_pid "$E2E_XVFB_PID"
    wait 2>/dev/null
    [[ -n ${E2E_TMP:-} && -d $E2E_TMP ]] && rm -rf -- "$E2E_TMP"
    exit "$status"
}

# Prints why the case failed, with what was on screen, and ends the case.
e2e_fail() {
    echo "  FAILED: $*" >&2
    if [[ -n ${DISPLAY:-} ]]; then
        local id
        echo "  windows on screen:" >&2
        for id in $(e2e_visible_windows); do
            e2e_size_of "$id"
            e2e_title_of "$id"
            echo "    ${id} ${E2E_WIDTH}x${E2E_HEIGHT} '${E2E_TITLE}'" >&2
        done
    fi
    local log
    for log in "${E2E_TMP:-/nonexistent}"/*.log; do
        [[ -s $log && $log != */xvfb.log && $log != */bus.log ]] || continue
        echo "  $(basename "$log"):" >&2
        grep -v -e 'Failed to set fd limit' -e 'XDG_RUNTIME_DIR' "$log" | tail -n 10 | sed 's/^/    /' >&2
    done
    exit 1
}

# Microseconds since the epoch.
e2e_now() {
    E2E_NOW=${EPOCHREALTIME/[.,]/}
}

# e2e_poll SECONDS COMMAND...: true as soon as COMMAND succeeds, false when
# it has not within SECONDS (tried every 50 ms, and once more at the end).
e2e_poll() {
    local seconds=$1
    shift
    local deadline
    e2e_now
    deadline=$((E2E_NOW + $(awk -v s="$seconds" 'BEGIN { printf "%d", s * 1000000 }')))
    while true; do
        "$@" && return 0
        e2e_now
        ((E2E_NOW < deadline)) || break
        sleep 0.05
    done
    "$@"
}

# ---------------------------------------------------------------------------
# Documents

# e2e_write FILE FORMAT [ARGS...]: printf into a file.
e2e_write() {
    local file=$1
    shift
    # shellcheck disable=SC2059
    printf "$@" >"$file"
}

# e2e_expect_bytes FILE EXPECTED_FILE WHAT: the file holds exactly the bytes.
e2e_expect_bytes() {
    local file=$1 expected=$2 what=$3
    [[ -e $file ]] || e2e_fail "${what}: ${file##*/} does not exist"
    if ! cmp -s -- "$file" "$expected"; then
        {
            echo "  expected bytes:"
            od -c -- "$expected" | sed 's/^/    /'
            echo "  found bytes:"
            od -c -- "$file" | sed 's/^/    /'
        } >&2
        e2e_fail "${what}: ${file##*/} does not hold the expected bytes"
    fi
}

# ---------------------------------------------------------------------------
# The program

# e2e_launch ID DIR [ARGS...]: starts kestrune in DIR through the case's
# symlink; its output goes to ID.log and its exit status to ID.rc.
e2e_launch() {
    local id=$1 dir=$2
    shift 2
    (
        cd -- "$dir" || exit 1
        "$E2E_TMP/bin/kestrune" "$@" >"$E2E_TMP/$id.log" 2>&1
        echo $? >"$E2E_TMP/$id.rc.part"
        mv -f "$E2E_TMP/$id.rc.part" "$E2E_TMP/$id.rc"
    ) 2>/dev/null & # no "Terminated" from the shell when a case ends it
    E2E_HELPER_PIDS+=($!)
}

e2e_has_ended() {
    [[ -s $E2E_TMP/$1.rc ]]
}

# e2e_wait_exit ID [SECONDS]: true once that launch has ended, with its
# status in E2E_STATUS; false while it still runs.
e2e_wait_exit() {
    local id=$1 seconds=${2:-$E2E_EXIT_TIMEOUT}
    E2E_STATUS=
    e2e_poll "$seconds" e2e_has_ended "$id" || return 1
    read -r E2E_STATUS <"$E2E_TMP/$id.rc"
}

# e2e_expect_exit ID STATUS WHAT: that launch ends, with that status.
e2e_expect_exit() {
    local id=$1 expected=$2 what=$3
    if ! e2e_wait_exit "$id"; then
        if e2e_find_dialog; then
            e2e_fail "${what}: the program still runs ${E2E_EXIT_TIMEOUT} s later and shows a window '${E2E_DIALOG_TITLE}'"
        fi
        e2e_describe_main
        e2e_fail "${what}: the program still runs ${E2E_EXIT_TIMEOUT} s later; ${E2E_SHOWN}"
    fi
    ((E2E_STATUS == expected)) || e2e_fail "${what}: the program $(e2e_ending "$E2E_STATUS"), not with status ${expected}"
}

# How a program with exit status STATUS ended, in words.
e2e_ending() {
    local status=$1
    if ((status > 128)); then
        echo "was killed by signal SIG$(kill -l $((status - 128)) 2>/dev/null) (status ${status})"
    else
        echo "ended with status ${status}"
    fi
}

# Ids of this case's kestrune processes, one a line.
e2e_instance_pids() {
    [[ -n ${E2E_TMP:-} ]] || return 0
    pgrep -f -- "^${E2E_TMP}/bin/kestrune( |\$)" || true
}

# The number of this case's kestrune processes, in E2E_COUNT.
e2e_count_instances() {
    E2E_COUNT=$(e2e_instance_pids | wc -l)
}

e2e_expect_instances() {
    local expected=$1 what=$2
    e2e_count_instances
    ((E2E_COUNT == expected)) || e2e_fail "${what}: ${E2E_COUNT} kestrune processes run, not ${expected}"
}

# ---------------------------------------------------------------------------
# Windows

# Visible windows of the program, one id a line.
e2e_visible_windows() {
    xdotool search --onlyvisible --classname '^kestrune$' 2>/dev/null || true
}

# e2e_size_of WINDOW: its size in E2E_WIDTH and E2E_HEIGHT (0 when it is gone).
e2e_size_of() {
    local key value
    E2E_WIDTH=0
    E2E_HEIGHT=0
    while IFS='=' read -r key value; do
        case $key in
        WIDTH) E2E_WIDTH=$value ;;
        HEIGHT) E2E_HEIGHT=$value ;;
        esac
    done < <(xdotool getwindowgeometry --shell "$1" 2>/dev/null)
}

e2e_title_of() {
    E2E_TITLE=$(xdotool getwindowname "$1" 2>/dev/null) || E2E_TITLE=
}

# What the main window shows, in words, in E2E_SHOWN.
e2e_describe_main() {
    e2e_title_of "${E2E_MAIN:-0}"
    E2E_SHOWN="its window shows '${E2E_TITLE}'"
    [[ $E2E_TITLE != Kestrune ]] || E2E_SHOWN+=" with no sheet"
}

# The main window keeps the sheet's width with or without a sheet; the
# dialogs and alerts on top of it are narrower.
E2E_MAIN_WIDTH=745

e2e_find_main() {
    local id
    for id in $(e2e_visible_windows); do
        e2e_size_of "$id"
        if ((E2E_WIDTH == E2E_MAIN_WIDTH)); then
            E2E_MAIN=$id
            return 0
        fi
    done
    return 1
}

# e2e_wait_main: the program's main window is on screen, its id in E2E_MAIN.
e2e_wait_main() {
    E2E_MAIN=
    e2e_poll "$E2E_WINDOW_TIMEOUT" e2e_find_main ||
        e2e_fail "no kestrune window appeared within ${E2E_WINDOW_TIMEOUT} s"
}

# A dialog or alert on screen: its id in E2E_DIALOG, its title in
# E2E_DIALOG_TITLE. Any window of the program other than the main one, but
# for tooltips and other small popups.
e2e_find_dialog() {
    local id
    for id in $(e2e_visible_windows); do
        [[ $id != "${E2E_MAIN:-}" ]] || continue
        e2e_size_of "$id"
        ((E2E_WIDTH >= 150 && E2E_HEIGHT >= 60)) || continue
        E2E_DIALOG=$id
        e2e_title_of "$id"
        E2E_DIALOG_TITLE=$E2E_TITLE
        return 0
    done
    return 1
}

e2e_no_dialog() {
    ! e2e_find_dialog
}

# e2e_wait_dialog WHAT [SECONDS]
e2e_wait_dialog() {
    local what=$1 seconds=${2:-$E2E_WINDOW_TIMEOUT}
    E2E_DIALOG=
    e2e_poll "$seconds" e2e_find_dialog || e2e_fail "${what}: no dialog appeared within ${seconds} s"
}

# e2e_wait_dialog_gone WHAT: the dialog on screen goes away.
e2e_wait_dialog_gone() {
    local what=$1
    e2e_poll "$E2E_WINDOW_TIMEOUT" e2e_no_dialog ||
        e2e_fail "${what}: the window '${E2E_DIALOG_TITLE}' is still on screen"
}

e2e_title_is() {
    e2e_title_of "$1"
    [[ $E2E_TITLE == "$2" ]]
}

# e2e_find_titled TITLE: a window of the program titled exactly TITLE is on
# screen; its id in E2E_FOUND.
e2e_find_titled() {
    local id
    for id in $(e2e_visible_windows); do
        e2e_title_of "$id"
        if [[ $E2E_TITLE == "$1" ]]; then
            E2E_FOUND=$id
            return 0
        fi
    done
    return 1
}

# e2e_wait_title WINDOW TITLE WHAT: the window's title becomes exactly TITLE.
e2e_wait_title() {
    local window=$1 title=$2 what=$3
    e2e_poll "$E2E_WINDOW_TIMEOUT" e2e_title_is "$window" "$title" ||
        e2e_fail "${what}: the window title is '${E2E_TITLE}', not '${title}'"
}

# ---------------------------------------------------------------------------
# Keyboard and mouse. There is no window manager: the keyboard goes to the
# window that has the X input focus, so every key press first gives it to
# the window meant.

e2e_focus() {
    local window=$1
    timeout 5 xdotool windowfocus --sync "$window" >/dev/null 2>&1 ||
        e2e_fail "could not give the keyboard to window ${window}"
}

# e2e_key WINDOW KEY...: presses the keys (xdotool names: ctrl+q, Return, Tab).
e2e_key() {
    local window=$1
    shift
    e2e_focus "$window"
    xdotool key --delay 40 "$@" || e2e_fail "xdotool could not press $*"
}

# e2e_type WINDOW TEXT
e2e_type() {
    local window=$1 text=$2
    e2e_focus "$window"
    xdotool type --delay 30 -- "$text" || e2e_fail "xdotool could not type '${text}'"
}

# Height of the menu bar above the sheet window's content, in E2E_MENU_BAR.
e2e_menu_bar_height() {
    local window=$1
    e2e_size_of "$window"
    E2E_MENU_BAR=$((E2E_HEIGHT - E2E_CONTENT_HEIGHT))
    ((E2E_MENU_BAR > 5 && E2E_MENU_BAR < 80)) ||
        e2e_fail "window ${window} is ${E2E_WIDTH}x${E2E_HEIGHT}: not a sheet window of content height ${E2E_CONTENT_HEIGHT}"
}

# e2e_click WINDOW X Y: a left click at X, Y of the window's content (the
# area below the menu bar), as the program's own layout counts.
e2e_click() {
    local window=$1 x=$2 y=$3
    e2e_menu_bar_height "$window"
    # No --sync: it waits for a motion that never comes when the pointer is
    # there already. The server plays the move and the click in order.
    timeout 5 xdotool mousemove --window "$window" "$x" "$((y + E2E_MENU_BAR))" click 1 \
        2>"$E2E_TMP/xdotool.err" ||
        e2e_fail "could not click at ${x},${y} of window ${window}: $(cat "$E2E_TMP/xdotool.err")"
}

# Places on the sheet window, in content coordinates: the top bar is 48
# pixels high, the column header ends at 80 and each row is 16 high.
E2E_ADD_NEW_MODEL=(500 24)
E2E_QUIT_BUTTON=(609 24)
e2e_row_y() { echo $((80 + 16 * $1 - 8)); }
E2E_ROW_NUMBER_X=14
E2E_MANUFACTURER_X=80
E2E_MODEL_NAME_X=210

# ---------------------------------------------------------------------------
# The X clipboard

# e2e_clipboard_to FILE: what the clipboard holds, byte for byte.
e2e_clipboard_to() {
    timeout 5 xclip -o -selection clipboard >"$1" 2>/dev/null
}

e2e_clipboard_holds() {
    e2e_clipboard_to "$E2E_TMP/clipboard.now" && cmp -s "$E2E_TMP/clipboard.now" "$1"
}

# e2e_offer_clipboard FILE: another program (xclip) puts FILE's bytes on the
# clipboard and keeps serving them.
e2e_offer_clipboard() {
    local file=$1
    xclip -quiet -i -selection clipboard <"$file" >"$E2E_TMP/xclip.out" 2>&1 &
    E2E_HELPER_PIDS+=($!)
    e2e_poll "$E2E_WINDOW_TIMEOUT" e2e_clipboard_holds "$file" ||
        e2e_fail "xclip did not take the clipboard"
}

# ---------------------------------------------------------------------------
# The desktop's default handler

# e2e_install_handler: a stand-in xdg-open on PATH writes down, a line each,
# what the program asks the desktop to open, in $E2E_TMP/opened.
e2e_install_handler() {
    mkdir -p "$E2E_TMP/handler"
    cat >"$E2E_TMP/handler/xdg-open" <<EOF
#!/bin/sh
printf '%s\n' "\$*" >>"$E2E_TMP/opened"
EOF
    chmod +x "$E2E_TMP/handler/xdg-open"
    export PATH="$E2E_TMP/handler:$PATH"
}

# e2e_opened_count N: at least N things were handed to the desktop.
e2e_opened_count() {
    [[ -f $E2E_TMP/opened ]] && (($(wc -l <"$E2E_TMP/opened") >= $1))
}

# ---------------------------------------------------------------------------
# Sorting and saving a catalogue

# e2e_pick_sort_item N: the N-th item of the Sort menu that is not a
# separator (the keyboard passes over those), by the keyboard; whatever the
# command then shows is for the caller to wait for.
e2e_pick_sort_item() {
    local item=$1 downs=()
    e2e_key "$E2E_MAIN" alt Right Right Right Down
    e2e_wait_dialog "the Sort menu opened from the keyboard"
    for ((; item > 1; item--)); do
        downs+=(Down)
    done
    # The open menu has the keyboard: the keys go to it as they are.
    xdotool key --delay 40 "${downs[@]}" Return || e2e_fail "xdotool could not choose Sort item $1"
}

# e2e_choose_sort_item N: as e2e_pick_sort_item, and the menu has gone.
e2e_choose_sort_item() {
    e2e_pick_sort_item "$1"
    e2e_wait_dialog_gone "choosing Sort item $1"
}

# e2e_export_csv NAME FILE [TYPE-KEYS...]: File, "Export CSV..." from the
# keyboard, NAME typed, the file type chosen by TYPE-KEYS (none: the
# first), Return; waits until FILE has been written.
e2e_export_csv() {
    local name=$1 file=$2
    shift 2
    # With a sheet open the fifth usable item of File (after Close, Save,
    # Save As, Save As Stationery) is Export CSV...
    e2e_key "$E2E_MAIN" alt Right Down
    e2e_wait_dialog "the File menu opened from the keyboard"
    xdotool key --delay 40 Down Down Down Down Return || e2e_fail "xdotool could not choose Export CSV..."
    e2e_poll "$E2E_WINDOW_TIMEOUT" e2e_find_titled "Save This CSV File As..." ||
        e2e_fail "Export CSV... opened no save dialog"
    e2e_key "$E2E_FOUND" ctrl+a
    e2e_type "$E2E_FOUND" "$name"
    (($# == 0)) || e2e_key "$E2E_FOUND" "$@"
    e2e_key "$E2E_FOUND" Return
    e2e_poll "$E2E_WINDOW_TIMEOUT" test -s "$file" || e2e_fail "nothing was exported"
    e2e_wait_dialog_gone "Return in the export dialog"
}

# e2e_save_as PATH: Ctrl+S on a sheet without a file, PATH typed into the
# Save As dialog, Return; the window is then named after it.
e2e_save_as() {
    local target=$1
    e2e_key "$E2E_MAIN" ctrl+s
    e2e_wait_dialog "Ctrl+S on a sheet without a file"
    e2e_key "$E2E_DIALOG" ctrl+a
    e2e_type "$E2E_DIALOG" "$target"
    e2e_key "$E2E_DIALOG" Return
    e2e_wait_dialog_gone "Return in the Save As dialog"
    e2e_wait_title "$E2E_MAIN" "${target##*/}" "the sheet after Save As"
}

# e2e_save_and_expect EXPECTED WHAT: Ctrl+S, then docs/doc.kedata holds the
# bytes of $E2E_TMP/EXPECTED; a difference is told by its row (Mac OS Roman
# shown as UTF-8), not shown whole: the files are large.
e2e_save_and_expect() {
    local expected=$E2E_TMP/$1 what=$2 doc=$E2E_TMP/docs/doc.kedata
    e2e_wait_title "$E2E_MAIN" "doc.kedata*" "${what} marks the sheet changed"
    e2e_key "$E2E_MAIN" ctrl+s
    e2e_wait_title "$E2E_MAIN" doc.kedata "Ctrl+S after ${what}"
    cmp -s -- "$doc" "$expected" && return 0
    local byte row
    byte=$(cmp -- "$doc" "$expected" 2>&1 | grep -o 'byte [0-9]*' | grep -o '[0-9]*')
    row=$(($(head -c "${byte:-0}" -- "$doc" | tr -cd '\r' | wc -c) + 1))
    e2e_fail "after ${what} row ${row} is $(tr '\r' '\n' <"$doc" | iconv -f MACINTOSH -t UTF-8 | sed -n "${row}p") instead of $(tr '\r' '\n' <"$expected" | iconv -f MACINTOSH -t UTF-8 | sed -n "${row}p")"
}
