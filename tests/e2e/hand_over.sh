#!/usr/bin/env bash
# A second `kestrune FILE` hands the file to the running Kestrune and ends at
# once with status 0: the running one opens it (a relative path means the
# second launch's folder), tells about a file it cannot open without losing
# its sheet, takes hand-overs while an alert is up, and keeps file names
# that are not UTF-8 byte for byte. Whatever another program sends on the
# bus, the next hand-over still works, and a flood of hand-overs while a
# note is up gives one note and keeps memory low.
# Usage: hand_over.sh PATH-TO-KESTRUNE
source "$(dirname -- "${BASH_SOURCE[0]}")/lib.sh"
e2e_init "$@"

FIRST='First,F-1, 20.5, 18.25, 45.1, 6.312, 220, 12.5, 275, 95.4\rFiller,F-2, 10, 30, 5, 0.5, 80, 3, 24, 12\r'
FIRST_ROW1_TEXT='First  F-1  20.5  18.25  45.1  6.312  220  12.5  275  95.4  \r'
OTHER='Other,O-7, 16.5, 25, 8.25, 2.5, 150, 6, 90, 33.3\r'
OTHER_ROW1_TEXT='Other  O-7  16.5  25  8.25  2.5  150  6  90  33.3  \r'
DECOY='Decoy,D-0, 1, 2, 3, 4, 5, 6, 7, 8\r'
# FIRST after its row 2's manufacturer was typed over with "Zephyr".
FIRST_EDITED='First,F-1, 20.5, 18.25, 45.1, 6.312, 220, 12.5, 275, 95.4\rZephyr,F-2, 10, 30, 5, 0.5, 80, 3, 24, 12\r'
NOT_UTF8=$'caf\xe9.kedata'

# hand_over ID DIR FILE...: a second launch in DIR ends with status 0 at
# once and leaves one kestrune running.
hand_over() {
    local id=$1 dir=$2
    shift 2
    e2e_launch "$id" "$dir" "$@"
    e2e_wait_exit "$id" ||
        e2e_fail "the second kestrune $* still runs ${E2E_EXIT_TIMEOUT} s after it was started"
    ((E2E_STATUS == 0)) || e2e_fail "the second kestrune $* $(e2e_ending "$E2E_STATUS"), not with status 0"
    e2e_expect_instances 1 "after handing over $*"
}

# The sheet's selected row (row 1 after a document opens), as Ctrl+C copies it.
expect_selected_row() {
    local text=$1 what=$2
    e2e_write "$E2E_TMP/row.expected" "$text"
    e2e_key "$E2E_MAIN" ctrl+c
    e2e_poll 2 e2e_clipboard_holds "$E2E_TMP/row.expected" ||
        e2e_fail "${what}: Ctrl+C copies '$(tr '\r' '|' <"$E2E_TMP/clipboard.now")', not the row '${text}'"
}

expect_one_main_window() {
    local id count=0
    for id in $(e2e_visible_windows); do
        e2e_size_of "$id"
        ((E2E_WIDTH == E2E_MAIN_WIDTH)) && count=$((count + 1))
    done
    ((count == 1)) || e2e_fail "$1: ${count} main windows are on screen"
}

relative_path() {
    mkdir -p "$E2E_TMP/first" "$E2E_TMP/second"
    # The same name in the first instance's folder must not be the one opened.
    e2e_write "$E2E_TMP/first/rel.kedata" "$DECOY"
    e2e_write "$E2E_TMP/second/rel.kedata" "$OTHER"
    e2e_launch app "$E2E_TMP/first"
    e2e_wait_main
    e2e_wait_title "$E2E_MAIN" Kestrune "start-up with no document"
    hand_over second "$E2E_TMP/second" rel.kedata
    e2e_wait_title "$E2E_MAIN" rel.kedata "the running Kestrune after rel.kedata was handed over"
    expect_selected_row "$OTHER_ROW1_TEXT" "the sheet opened from the second launch's folder"
    expect_one_main_window "after the hand-over"
}

missing_file() {
    e2e_write "$E2E_TMP/docs/first.kedata" "$FIRST"
    e2e_launch app "$E2E_TMP/docs" first.kedata
    e2e_wait_main
    e2e_wait_title "$E2E_MAIN" first.kedata "opening first.kedata from the command line"
    hand_over second "$E2E_TMP/docs" missing.kedata
    e2e_wait_dialog "the running Kestrune after missing.kedata was handed over"
    e2e_key "$E2E_DIALOG" Return
    e2e_wait_dialog_gone "Return in the alert about missing.kedata"
    e2e_wait_title "$E2E_MAIN" first.kedata "the sheet after the alert"
    expect_selected_row "$FIRST_ROW1_TEXT" "the sheet after the alert"
    e2e_expect_instances 1 "after the alert"
}

alert_has_focus() {
    [[ $(xdotool getwindowfocus 2>/dev/null) == "$1" ]]
}

hand_over_during_alert() {
    e2e_write "$E2E_TMP/docs/first.kedata" "$FIRST"
    e2e_write "$E2E_TMP/docs/other.kedata" "$OTHER"
    e2e_launch app "$E2E_TMP/docs" first.kedata
    e2e_wait_main
    e2e_wait_title "$E2E_MAIN" first.kedata "opening first.kedata from the command line"
    hand_over second "$E2E_TMP/docs" missing.kedata
    e2e_wait_dialog "the running Kestrune after missing.kedata was handed over"
    local alert=$E2E_DIALOG
    hand_over third "$E2E_TMP/docs" other.kedata
    expect_one_main_window "a hand-over while an alert is up"
    if ! e2e_find_dialog || [[ $E2E_DIALOG != "$alert" ]]; then
        e2e_fail "the alert about missing.kedata is no longer the window on screen"
    fi
    # The alert keeps the keyboard: Return goes to whatever has it.
    e2e_poll 2 alert_has_focus "$alert" ||
        e2e_fail "the hand-over took the keyboard from the alert to window $(xdotool getwindowfocus)"
    xdotool key Return
    # What was handed over meanwhile opens once the alert is answered.
    e2e_wait_title "$E2E_MAIN" other.kedata "the sheet after the alert was answered"
    expect_selected_row "$OTHER_ROW1_TEXT" "the sheet after the alert was answered"
    e2e_expect_instances 1 "at the end"
}

# not_utf8_name HOW: HOW is argument (the name on the command line) or
# hand-over (the name handed to a running Kestrune); a change and Ctrl+S
# then write that very file.
not_utf8_name() {
    local how=$1 docs=$E2E_TMP/docs
    e2e_write "$docs/$NOT_UTF8" "$FIRST"
    e2e_write "$E2E_TMP/expected" "$FIRST_EDITED"
    if [[ $how == argument ]]; then
        e2e_launch app "$docs" "$NOT_UTF8"
        e2e_wait_main
    else
        e2e_launch app "$docs"
        e2e_wait_main
        e2e_wait_title "$E2E_MAIN" Kestrune "start-up with no document"
        hand_over second "$docs" "$NOT_UTF8"
    fi
    e2e_poll "$E2E_WINDOW_TIMEOUT" cafe_or_alert
    if ! e2e_title_is_cafe; then
        e2e_describe_main
        e2e_find_dialog && E2E_SHOWN+=", under an alert"
        e2e_fail "the document named caf\\xe9.kedata did not open: ${E2E_SHOWN}"
    fi
    e2e_no_dialog || e2e_fail "opening caf\\xe9.kedata showed '${E2E_DIALOG_TITLE}'"
    e2e_click "$E2E_MAIN" "$E2E_MANUFACTURER_X" "$(e2e_row_y 2)"
    e2e_type "$E2E_MAIN" Zephyr
    e2e_key "$E2E_MAIN" ctrl+s
    if ! e2e_poll "$E2E_WINDOW_TIMEOUT" cmp -s "$docs/$NOT_UTF8" "$E2E_TMP/expected"; then
        e2e_find_dialog && e2e_fail "Ctrl+S showed '${E2E_DIALOG_TITLE}' instead of saving caf\\xe9.kedata"
        e2e_expect_bytes "$docs/$NOT_UTF8" "$E2E_TMP/expected" "caf\\xe9.kedata after Ctrl+S"
    fi
    local others
    others=$(find "$docs" -mindepth 1 ! -name "$NOT_UTF8" -printf '%f ')
    [[ -z $others ]] || e2e_fail "Ctrl+S wrote another file: $(printf '%q' "$others")"
}

cafe_or_alert() {
    e2e_title_is_cafe || e2e_find_dialog
}

# The title shows the name, whatever it makes of the byte that is not UTF-8.
e2e_title_is_cafe() {
    e2e_title_of "$E2E_MAIN"
    [[ $E2E_TITLE == caf?.kedata || $E2E_TITLE == caf?*.kedata ]] && [[ $E2E_TITLE != *'*' ]]
}

# Quit on a changed sheet asks; a document handed over meanwhile is not
# lost when the answer ends the program: the next run opens it.
hand_over_during_quit() {
    local docs=$E2E_TMP/docs
    e2e_write "$docs/first.kedata" "$FIRST"
    e2e_write "$docs/other.kedata" "$OTHER"
    e2e_launch app "$docs" first.kedata
    e2e_wait_main
    e2e_wait_title "$E2E_MAIN" first.kedata "opening first.kedata"
    e2e_click "$E2E_MAIN" "${E2E_ADD_NEW_MODEL[@]}"
    e2e_poll 2 e2e_title_is "$E2E_MAIN" "first.kedata*" || e2e_fail "Add New Model did not mark the sheet changed"
    e2e_key "$E2E_MAIN" ctrl+q
    e2e_wait_dialog "Ctrl+Q on the changed sheet"
    hand_over second "$docs" other.kedata
    e2e_key "$E2E_DIALOG" alt+d # Don't Save
    e2e_expect_exit app 0 "Don't Save in the question of Ctrl+Q"
    e2e_poll "$E2E_WINDOW_TIMEOUT" e2e_find_titled other.kedata ||
        e2e_fail "other.kedata, handed over during the question, was never opened"
    e2e_expect_instances 1 "after the next run took other.kedata"
}

PEER=$(dirname -- "${BASH_SOURCE[0]}")/bus_peer.py

# peer ARGS...: bus_peer.py sends a message to the running Kestrune, which answers it.
peer() {
    local answer
    answer=$(timeout 60 python3 "$PEER" "$1" org.kestrune.Kestrune "${@:2}" 2>&1)
    [[ $answer == return ]] || e2e_fail "a message '$1 ${*:2:2}' got '${answer}', not an answer"
}

# A note answered with Return, if one is up.
answer_note_if_any() {
    if e2e_find_dialog; then
        e2e_key "$E2E_DIALOG" Return
        e2e_wait_dialog_gone "Return in the note after $1"
    fi
}

# Huge messages, each followed by a normal hand-over that opens its document.
huge_messages() {
    local docs=$E2E_TMP/docs message n=0
    e2e_write "$docs/first.kedata" "$FIRST"
    e2e_launch app "$docs" first.kedata
    e2e_wait_main
    e2e_wait_title "$E2E_MAIN" first.kedata "opening first.kedata"
    # KIND COUNT LENGTH: one path of 63 MB as bytes and as text, 120,000
    # paths, an event with 63 MB of text.
    for message in "paths 1 63000000" "uris 1 63000000" "paths 120000 500" "event 63000000"; do
        n=$((n + 1))
        # shellcheck disable=SC2086 # the words of the message are its arguments
        peer $message
        # A note about a document that cannot be opened comes at once, its name cut.
        e2e_poll 2 e2e_find_dialog || true
        answer_note_if_any "the message '${message}'"
        e2e_write "$docs/other$n.kedata" "$OTHER"
        hand_over "second$n" "$docs" "other$n.kedata"
        e2e_wait_title "$E2E_MAIN" "other$n.kedata" "a hand-over after the message '${message}'"
    done
    e2e_expect_instances 1 "after the messages"
}

# A dialog is up, and it is not window $1.
another_dialog_than() {
    e2e_find_dialog && [[ $E2E_DIALOG != "$1" ]]
}

rss_kb() {
    awk '/^VmRSS:/ { print $2 }' "/proc/$1/status"
}

# 40 hand-overs of 10,000 missing documents while a note is up: one note
# for them after it, the memory stays low, the last document opens.
flood_during_note() {
    local docs=$E2E_TMP/docs pid before after k
    e2e_write "$docs/first.kedata" "$FIRST"
    e2e_write "$docs/last.kedata" "$OTHER"
    e2e_launch app "$docs" first.kedata
    e2e_wait_main
    e2e_wait_title "$E2E_MAIN" first.kedata "opening first.kedata"
    hand_over second "$docs" missing.kedata
    e2e_wait_dialog "the running Kestrune after missing.kedata was handed over"
    pid=$(e2e_instance_pids)
    before=$(rss_kb "$pid")
    for ((k = 1; k < 40; k++)); do
        peer paths 10000 40
    done
    peer paths 10000 40 "$docs/last.kedata"
    after=$(rss_kb "$pid")
    ((after - before < 65536)) ||
        e2e_fail "40 hand-overs of 10,000 paths during a note took $(((after - before) / 1024)) MB"
    local first_note=$E2E_DIALOG
    e2e_key "$E2E_DIALOG" Return # the note about missing.kedata
    e2e_poll "$E2E_WINDOW_TIMEOUT" another_dialog_than "$first_note" ||
        e2e_fail "no note about the 40 hand-overs came after the note about missing.kedata"
    e2e_key "$E2E_DIALOG" Return
    e2e_wait_dialog_gone "Return in the note about the 40 hand-overs"
    e2e_wait_title "$E2E_MAIN" last.kedata "the sheet after the notes"
    e2e_poll 1 e2e_find_dialog && e2e_fail "a third note '${E2E_DIALOG_TITLE}' came after the flood"
    e2e_expect_instances 1 "after the flood"
}

e2e_case "a relative path handed over from another folder" relative_path
e2e_case "a document handed over during the question of Quit" hand_over_during_quit
e2e_case "a missing file handed over: an alert, the sheet stays" missing_file
e2e_case "a document handed over while an alert is up" hand_over_during_alert
e2e_case "a name that is not UTF-8 on the command line, then Ctrl+S" not_utf8_name argument
e2e_case "a name that is not UTF-8 handed over, then Ctrl+S" not_utf8_name hand-over
e2e_case "huge messages on the bus, then a hand-over" huge_messages
e2e_case "a flood of hand-overs while a note is up" flood_during_note
e2e_finish
