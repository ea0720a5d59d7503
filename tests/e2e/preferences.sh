#!/usr/bin/env bash
# Settings survive from one run to the next: a choice made in the
# Preferences window and the place the window was moved to are in the
# settings file after Quit, and the next run opens the sheet there. The Help
# menu hands its documents and links to the desktop's default handler.
# Usage: preferences.sh PATH-TO-KESTRUNE
source "$(dirname -- "${BASH_SOURCE[0]}")/lib.sh"
e2e_init "$@"

DOC='Acme,PR-200, 20.5, 18.25, 45.1, 6.312, 220, 12.5, 275, 95.4\r'

settings_file() { echo "$XDG_CONFIG_HOME/Kestrune/Kestrune.conf"; }

# The value of KEY in the settings file, in E2E_VALUE.
setting() {
    E2E_VALUE=$(sed -n "s/^$1=//p" "$(settings_file)" 2>/dev/null)
}

expect_setting() {
    setting "$1"
    [[ $E2E_VALUE == "$2" ]] || e2e_fail "the settings file holds $1=${E2E_VALUE}, not $1=$2"
}

# The Preferences window, its id in E2E_PREFS.
find_preferences() {
    e2e_find_titled "Kestrune Preferences" && E2E_PREFS=$E2E_FOUND
}

settings_survive() {
    local docs=$E2E_TMP/docs
    e2e_write "$docs/a.kedata" "$DOC"
    e2e_launch app "$docs" a.kedata
    e2e_wait_main
    e2e_wait_title "$E2E_MAIN" a.kedata "opening a.kedata"
    e2e_key "$E2E_MAIN" ctrl+comma
    e2e_poll "$E2E_WINDOW_TIMEOUT" find_preferences || e2e_fail "Ctrl+, opened no Preferences window"
    # "Use Clipboard Course" and "Use Send/Copy Sound Effect", by their
    # places in the window, then Return for OK.
    timeout 5 xdotool mousemove --window "$E2E_PREFS" 61 214 click 1 || e2e_fail "could not click the radio button"
    timeout 5 xdotool mousemove --window "$E2E_PREFS" 62 79 click 1 || e2e_fail "could not click the check box"
    e2e_key "$E2E_PREFS" Return
    e2e_poll 3 sh -c '! xdotool search --name "^Kestrune Preferences$" >/dev/null 2>&1' ||
        e2e_fail "Return did not close the Preferences window"
    # The window is moved by the user (the window manager's part, done here
    # by hand), then the program quits.
    xdotool windowmove "$E2E_MAIN" 200 150 || e2e_fail "could not move the window"
    e2e_poll 2 sh -c "xdotool getwindowgeometry '$E2E_MAIN' | grep -q 'Position: 200,150'" || true
    e2e_key "$E2E_MAIN" ctrl+q
    e2e_expect_exit app 0 "Ctrl+Q after the Preferences window"
    expect_setting TransMethodCheck 2
    expect_setting SoundCheck 0
    expect_setting BoundsCheck 1
    setting Bounds
    [[ $E2E_VALUE =~ ^\"\ ?-?[0-9]+,\ ?-?[0-9]+,\ ?-?[0-9]+,\ ?-?[0-9]+\"$ ]] ||
        e2e_fail "Bounds is written as ${E2E_VALUE}, not as a rectangle text"
    [[ $E2E_VALUE != '" 44, 0, 364, 745"' ]] || e2e_fail "Bounds did not follow the move: ${E2E_VALUE}"
    echo "    Bounds after the move: ${E2E_VALUE}"
    local top left
    top=${E2E_VALUE#\"}
    top=${top%%,*}
    left=${E2E_VALUE#*,}
    left=${left%%,*}

    # The next run opens the sheet where the last one left it.
    e2e_launch again "$docs" a.kedata
    e2e_poll "$E2E_WINDOW_TIMEOUT" e2e_find_titled a.kedata || e2e_fail "the second run showed no sheet"
    E2E_MAIN=$E2E_FOUND
    local geometry
    geometry=$(xdotool getwindowgeometry "$E2E_MAIN")
    [[ $geometry == *"Position: $((left)),"* ]] ||
        e2e_fail "the second run's window is at ${geometry//$'\n'/ }, not at left ${left} (Bounds ${E2E_VALUE})"
    e2e_key "$E2E_MAIN" ctrl+q
    e2e_expect_exit again 0 "Ctrl+Q in the second run"
    expect_setting TransMethodCheck 2
}

help_items() {
    e2e_install_handler
    e2e_launch app "$E2E_TMP"
    e2e_wait_main
    # Item 1 by its shortcut, the others from the open menu with the keyboard.
    e2e_key "$E2E_MAIN" ctrl+slash
    e2e_poll 5 e2e_opened_count 1 || e2e_fail "Ctrl+/ opened nothing"
    local downs
    for downs in 2 3 4 5 6; do
        timeout 5 xdotool mousemove --window "$E2E_MAIN" 335 10 click 1 || e2e_fail "could not open the Help menu"
        sleep 0.3
        local k
        for ((k = 0; k < downs; k++)); do xdotool key --delay 40 Down; done
        xdotool key --delay 40 Return
        e2e_poll 5 e2e_opened_count "$downs" ||
            e2e_fail "Help item ${downs} of the menu opened nothing; opened so far: $(cat "$E2E_TMP/opened" 2>/dev/null)"
    done
    local line n=0
    while IFS= read -r line; do
        n=$((n + 1))
        case $n in
        1) [[ $line == file://*"/Images/Kestrune's_Manual.pdf" ]] ;;
        2) [[ $line == file://*/Images/Kestrune_Manual_ja.pdf ]] ;;
        3) [[ $line == file://*/Images/T_S_Parameters_Description.pdf ]] ;;
        4) [[ $line == file://*/Images/Kestrune_Release_Notes.pdf ]] ;;
        5) [[ $line == https://* ]] ;;
        6) [[ $line == mailto:* ]] ;;
        esac || e2e_fail "Help item ${n} opened '${line}'"
        if [[ $line == file://* ]]; then
            local path=${line#file://}
            path=${path//%27/\'}
            [[ $(head -c 5 "$path" 2>/dev/null) == %PDF- ]] || e2e_fail "${path} is not a PDF document"
        fi
    done <"$E2E_TMP/opened"
    e2e_key "$E2E_MAIN" ctrl+q
    e2e_expect_exit app 0 "Ctrl+Q after the Help items"
}

e2e_case "a choice in Preferences and the window's place survive a quit" settings_survive
e2e_case "the Help items hand their documents and links to the desktop" help_items
e2e_finish
