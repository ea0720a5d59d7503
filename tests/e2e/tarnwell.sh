#!/usr/bin/env bash
# Sending a model to Tarnwell. Kestrune asks the Tarnwells on the session bus
# once at start-up whether they run; the Send command gives every Tarnwell
# the selected model's text, byte for byte in Mac OS Roman, once a Tarnwell
# said it is open (and none said it closed since), and never while one says
# it is busy. With the clipboard method the same text goes to the X
# clipboard instead, as UTF-8.
#
# A Tarnwell here is the stand-in tests/tarnwell builds: it writes down each
# event it receives and sends the statuses its standard input asks for.
# Usage: tarnwell.sh PATH-TO-KESTRUNE PATH-TO-TARNWELL
source "$(dirname -- "${BASH_SOURCE[0]}")/lib.sh"
e2e_init "$@"

TARNWELL=${2:-}
if [[ -z $TARNWELL || ! -x $TARNWELL || $(basename -- "$TARNWELL") != Tarnwell ]]; then
    echo "usage: $0 PATH-TO-KESTRUNE PATH-TO-TARNWELL (got '${TARNWELL}')" >&2
    exit 2
fi
TARNWELL=$(readlink -f -- "$TARNWELL")

# Three models in Mac OS Roman: accented names (\x8e is e acute, \x9f u
# umlaut), a negative Qmp, and names so long that the send text is cut off.
# The numbers carry more decimals than the model text keeps (Dia and Sd one).
LONG_MAKER="\\x80$(printf 'k%.0s' {1..129})" # A umlaut and 129 more: 130 bytes
LONG_MODEL="$(printf 'w%.0s' {1..99})\\x9a"  # o umlaut at the end: 100 bytes
DOCUMENT="Caf\\x8e,M\\x9fller-8, 20.56, 18.25, 45.1, 6.312, 220.04, 12.5, 275, 95.4\\r"
DOCUMENT+="Beta,X-1, 10, 30, 5, -0.5, 80, 3, 24, 12\\r"
DOCUMENT+="${LONG_MAKER},${LONG_MODEL}, 20.5, 18.25, 45.1, 6.312, 220, 12.5, 275, 95.4\\r"

ROW1_TEXT='Caf\x8e  M\x9fller-8  20.6  18.25  45.1  6.312  220  12.5  275  95.4  \r'
ROW1_TEXT_UTF8='Caf\xc3\xa9  M\xc3\xbcller-8  20.6  18.25  45.1  6.312  220  12.5  275  95.4  \r'
ROW1_SEND="DUMMY&  ${ROW1_TEXT}"
ROW1_SEND_UTF8="DUMMY&  ${ROW1_TEXT_UTF8}"
ROW2_SEND='DUMMY&  Beta  X-1  10  30  5 -0.5  80  3  24  12  \r'
# 8 + 130 + 2 + 100 bytes, and 15 of the numbers: 255 bytes of Mac OS Roman,
# which become 257 bytes of UTF-8.
ROW3_SEND="DUMMY&  ${LONG_MAKER}  ${LONG_MODEL}  20.5  18.25  "
ROW3_SEND_UTF8="DUMMY&  \\xc3\\x84$(printf 'k%.0s' {1..129})  $(printf 'w%.0s' {1..99})\\xc3\\xb6  20.5  18.25  "

QUERY='Are you Launched Tarnwell'
SEND_BUTTON=(693 24)
QUIET_SECONDS=1 # how long nothing must happen where nothing should

# ---------------------------------------------------------------------------
# Stand-ins. Each has an ID; its commands go through the fifo ID.in, what it
# prints goes to ID.out, its messages to ID.log, its events to ID.rec. What
# ID.rec should hold is built up in ID.expected.

declare -A TW_FD TW_PID

# tw_start ID: a stand-in runs and takes events.
tw_start() {
    local id=$1 fd
    mkfifo "$E2E_TMP/$id.in" || e2e_fail "could not make the fifo of ${id}"
    # Opened for reading and writing, so that neither side waits for the other.
    exec {fd}<>"$E2E_TMP/$id.in"
    TW_FD[$id]=$fd
    : >"$E2E_TMP/$id.expected"
    # The stand-in itself keeps no writer of its fifo open.
    "$TARNWELL" "$E2E_TMP/$id.rec" <"$E2E_TMP/$id.in" >"$E2E_TMP/$id.out" 2>"$E2E_TMP/$id.log" {fd}>&- &
    TW_PID[$id]=$!
    E2E_HELPER_PIDS+=($!)
    e2e_poll "$E2E_WINDOW_TIMEOUT" tw_said "$id" ready 1 ||
        e2e_fail "the stand-in ${id} did not get ready within ${E2E_WINDOW_TIMEOUT} s"
}

# tw_said ID LINE COUNT: the stand-in printed LINE at least COUNT times.
tw_said() {
    local times
    times=$(grep -cxF -- "$2" "$E2E_TMP/$1.out" 2>/dev/null)
    ((times >= $3))
}

# tw_tell ID COMMAND: the stand-in has run the command, and Kestrune has
# taken the status it sent.
tw_tell() {
    local id=$1 command=$2 before
    before=$(grep -cxF -- "$command" "$E2E_TMP/$id.out")
    echo "$command" >&"${TW_FD[$id]}" || e2e_fail "could not tell ${id} '${command}'"
    e2e_poll 5 tw_said "$id" "$command" $((before + 1)) ||
        e2e_fail "the stand-in ${id} did not run '${command}'"
}

tw_has_ended() {
    ! kill -0 "${TW_PID[$1]}" 2>/dev/null
}

# tw_quit ID: `quit` ends the stand-in with status 0.
tw_quit() {
    local id=$1 status
    tw_tell "$id" quit
    e2e_poll "$E2E_EXIT_TIMEOUT" tw_has_ended "$id" || e2e_fail "the stand-in ${id} still runs after quit"
    wait "${TW_PID[$id]}"
    status=$?
    ((status == 0)) || e2e_fail "the stand-in ${id} $(e2e_ending "$status") after quit"
}

# Lets every stand-in that still runs quit, so that none is killed.
tw_quit_all() {
    local id
    for id in "${!TW_PID[@]}"; do
        tw_has_ended "$id" || tw_quit "$id"
    done
}

# tw_expect_event ID CLASS EVENT-ID FORMAT: the stand-in is to record, next,
# that event with the bytes printf FORMAT gives.
tw_expect_event() {
    local hex
    # shellcheck disable=SC2059
    hex=$(printf -- "$4" | od -An -v -tx1 | tr -d ' \n')
    printf '%s\t%s\t%s\n' "$2" "$3" "$hex" >>"$E2E_TMP/$1.expected"
}

tw_expect_query() { tw_expect_event "$1" TwKS TEXT "$QUERY"; }
tw_expect_send() { tw_expect_event "$1" TwKS TEXT "$2"; }

tw_holds_expected() {
    cmp -s "$E2E_TMP/$1.rec" "$E2E_TMP/$1.expected"
}

tw_fail_record() {
    local id=$1 what=$2
    {
        echo "  ${id} should have recorded:"
        tw_show "$E2E_TMP/$id.expected"
        echo "  ${id} recorded:"
        tw_show "$E2E_TMP/$id.rec"
    } >&2
    e2e_fail "${what}: the stand-in ${id} did not record what it should"
}

# Record lines with the text as sed's `l` shows it: octal escapes for bytes
# that are not printable ASCII, a $ at the end.
tw_show() {
    local class event hex
    while IFS=$'\t' read -r class event hex; do
        printf '    %s %s ' "$class" "$event"
        # shellcheck disable=SC2001 # every pair of digits, not one pattern
        printf '%b' "$(sed 's/../\\x&/g' <<<"$hex")" | LC_ALL=C sed -n 'l 0'
    done <"$1"
}

# tw_check ID WHAT: the stand-in's record comes to be what is expected.
tw_check() {
    e2e_poll 5 tw_holds_expected "$1" || tw_fail_record "$1" "$2"
}

# tw_check_quiet ID WHAT: the record is what is expected and stays so.
tw_check_quiet() {
    tw_holds_expected "$1" || tw_fail_record "$1" "$2"
    if e2e_poll "$QUIET_SECONDS" tw_record_moved "$1"; then
        tw_fail_record "$1" "$2"
    fi
}

tw_record_moved() { ! tw_holds_expected "$1"; }

# ---------------------------------------------------------------------------
# Kestrune

settings_method() {
    mkdir -p "$XDG_CONFIG_HOME/Kestrune"
    printf '[General]\nTransMethodCheck=%s\n' "$1" >"$XDG_CONFIG_HOME/Kestrune/Kestrune.conf"
}

open_document() {
    e2e_write "$E2E_TMP/docs/doc.kedata" "$DOCUMENT"
    e2e_launch app "$E2E_TMP/docs" doc.kedata
    e2e_wait_main
    e2e_wait_title "$E2E_MAIN" doc.kedata "opening doc.kedata from the command line"
}

# select_row ROW: the whole row, by a click on its number (after a click on
# a cell, so that the click on the number is what chooses it).
select_row() {
    e2e_click "$E2E_MAIN" "$E2E_MODEL_NAME_X" "$(e2e_row_y 2)"
    e2e_click "$E2E_MAIN" "$E2E_ROW_NUMBER_X" "$(e2e_row_y "$1")"
}

select_cell() {
    e2e_click "$E2E_MAIN" "$E2E_MODEL_NAME_X" "$(e2e_row_y "$1")"
}

double_click_row() {
    local y
    y=$(e2e_row_y "$1")
    e2e_menu_bar_height "$E2E_MAIN"
    timeout 5 xdotool mousemove --window "$E2E_MAIN" "$E2E_MODEL_NAME_X" "$((y + E2E_MENU_BAR))" \
        click --repeat 2 --delay 60 1 || e2e_fail "could not double-click row $1"
}

# expect_clipboard FORMAT WHAT: the X clipboard comes to hold those bytes.
expect_clipboard() {
    e2e_write "$E2E_TMP/clipboard.expected" "$1"
    e2e_poll 3 e2e_clipboard_holds "$E2E_TMP/clipboard.expected" ||
        e2e_expect_bytes "$E2E_TMP/clipboard.now" "$E2E_TMP/clipboard.expected" "$2"
}

# The clipboard holds those bytes and keeps them.
expect_clipboard_kept() {
    e2e_write "$E2E_TMP/clipboard.expected" "$1"
    e2e_clipboard_holds "$E2E_TMP/clipboard.expected" ||
        e2e_expect_bytes "$E2E_TMP/clipboard.now" "$E2E_TMP/clipboard.expected" "$2"
    if e2e_poll "$QUIET_SECONDS" clipboard_moved; then
        e2e_expect_bytes "$E2E_TMP/clipboard.now" "$E2E_TMP/clipboard.expected" "$2"
    fi
}

clipboard_moved() { ! e2e_clipboard_holds "$E2E_TMP/clipboard.expected"; }

# The row selected is still row 1: Ctrl+C copies its model text.
expect_row1_selected() {
    e2e_key "$E2E_MAIN" ctrl+c
    expect_clipboard "$ROW1_TEXT_UTF8" "$1, then Ctrl+C"
}

# ---------------------------------------------------------------------------
# Cases. Each ends by letting its stand-ins quit.

run() {
    "$@"
    tw_quit_all
}

# startup_query COUNT: COUNT stand-ins run before Kestrune; each is asked
# once whether it runs, and answers.
startup_query() {
    local count=$1 i
    for ((i = 1; i <= count; i++)); do
        tw_start "tw$i"
        tw_expect_query "tw$i"
    done
    e2e_launch app "$E2E_TMP"
    e2e_wait_main
    for ((i = 1; i <= count; i++)); do
        tw_check "tw$i" "Kestrune's start-up"
        e2e_poll 5 tw_said "tw$i" opened 1 || e2e_fail "tw$i did not answer the start-up query"
    done
    for ((i = 1; i <= count; i++)); do
        tw_check_quiet "tw$i" "${QUIET_SECONDS} s after Kestrune's start-up"
    done
}

# One stand-in from before Kestrune (it answers the query), one from after
# (it says it is open as it starts): Return on row 1 reaches both, exactly.
send_to_two() {
    tw_start early
    tw_expect_query early
    open_document
    e2e_poll 5 tw_said early opened 1 || e2e_fail "the stand-in did not answer the start-up query"
    tw_start late
    select_row 1
    e2e_key "$E2E_MAIN" Return
    tw_expect_send early "$ROW1_SEND"
    tw_expect_send late "$ROW1_SEND"
    tw_check early "Return on row 1"
    tw_check late "Return on row 1"
    expect_row1_selected "Return on row 1"
    tw_check_quiet early "Ctrl+C after the send"
    tw_check_quiet late "Ctrl+C after the send"
}

# send_by HOW SEND: HOW (a function) sends a model, the text SEND.
send_by() {
    local how=$1 text=$2
    open_document
    tw_start tw
    "$how"
    tw_expect_send tw "$text"
    tw_check tw "$how"
    tw_check_quiet tw "after ${how}"
}

enter_on_row_1() {
    select_row 1
    e2e_key "$E2E_MAIN" KP_Enter
}
send_button_on_cell_of_row_2() {
    select_cell 2
    e2e_click "$E2E_MAIN" "${SEND_BUTTON[@]}"
}
alt_return_on_cell_of_row_2() {
    select_cell 2
    e2e_key "$E2E_MAIN" alt+Return
}
double_click_on_row_2() {
    double_click_row 2
}
return_on_row_3() {
    select_row 3
    e2e_key "$E2E_MAIN" Return
}

# While the stand-in is busy Return sends nothing; once free it does.
busy_then_free() {
    open_document
    tw_start tw
    select_row 1
    tw_tell tw busy
    e2e_key "$E2E_MAIN" Return
    tw_check_quiet tw "Return while busy"
    tw_tell tw free
    e2e_key "$E2E_MAIN" Return
    tw_expect_send tw "$ROW1_SEND"
    tw_check tw "Return once free again"
}

# After the only Tarnwell that said it is open says it closed, Return sends
# nothing (the other stand-in, there all along, would record it); a new
# "Now I Opend" makes it send again.
closed_then_opened() {
    tw_start first
    tw_expect_query first
    open_document
    e2e_poll 5 tw_said first opened 1 || e2e_fail "the stand-in did not answer the start-up query"
    tw_start watcher
    select_row 1
    e2e_key "$E2E_MAIN" Return
    tw_expect_send first "$ROW1_SEND"
    tw_expect_send watcher "$ROW1_SEND"
    tw_check first "Return with two stand-ins open"
    tw_check watcher "Return with two stand-ins open"
    tw_quit first
    e2e_key "$E2E_MAIN" Return
    tw_check_quiet watcher "Return after the first stand-in said it closed"
    tw_tell watcher opened
    e2e_key "$E2E_MAIN" Return
    tw_expect_send watcher "$ROW1_SEND"
    tw_check watcher "Return after the watcher said it is open"
}

# ignored_status CLASS EVENT-ID TEXT: a status Kestrune does not know (sent
# here by dbus-send) does not keep it from sending.
ignored_status() {
    local class=$1 event=$2 text=$3 bytes
    open_document
    tw_start tw
    select_row 1
    bytes=$(printf '%s' "$text" | od -An -v -tu1 | tr -s ' \n' ',,' | sed 's/^,//; s/,$//')
    timeout 5 dbus-send --session --type=method_call --dest=org.kestrune.Kestrune \
        /org/kestrune/Events org.kestrune.Events.Event \
        "string:$class" "string:$event" "array:byte:$bytes" ||
        e2e_fail "dbus-send could not send ${class} ${event} '${text}'"
    # By the time Kestrune answers this, it has had the event above.
    timeout 5 dbus-send --session --print-reply --dest=org.kestrune.Kestrune \
        /org/kestrune/Events org.freedesktop.DBus.Introspectable.Introspect >/dev/null ||
        e2e_fail "Kestrune offers no /org/kestrune/Events"
    e2e_key "$E2E_MAIN" Return
    tw_expect_send tw "$ROW1_SEND"
    tw_check tw "Return after ${class} ${event} '${text}'"
}

# clipboard_send ROW TEXT: with the clipboard method and no Tarnwell at all,
# Return on ROW puts TEXT on the clipboard.
clipboard_send() {
    local row=$1 text=$2
    settings_method 2
    open_document
    select_row "$row"
    e2e_key "$E2E_MAIN" Return
    expect_clipboard "$text" "Return on row ${row} with the clipboard method"
}

# With the clipboard method too, a busy Tarnwell stops Return.
clipboard_busy() {
    settings_method 2
    open_document
    tw_start tw
    e2e_write "$E2E_TMP/offered" 'from another program'
    e2e_offer_clipboard "$E2E_TMP/offered"
    select_row 1
    tw_tell tw busy
    e2e_key "$E2E_MAIN" Return
    expect_clipboard_kept 'from another program' "Return while busy with the clipboard method"
    tw_tell tw free
    e2e_key "$E2E_MAIN" Return
    expect_clipboard "$ROW1_SEND_UTF8" "Return once free again with the clipboard method"
}

e2e_case "the start-up query reaches a stand-in once" run startup_query 1
e2e_case "the start-up query reaches two stand-ins once" run startup_query 2
e2e_case "Return on a row reaches two stand-ins, selection kept" run send_to_two

#        title                                          function      how                          text
e2e_case "keypad Enter on a selected row"               run send_by   enter_on_row_1               "$ROW1_SEND"
e2e_case "the Send button with a cell selected"         run send_by   send_button_on_cell_of_row_2 "$ROW2_SEND"
e2e_case "Alt+Return with a cell selected"              run send_by   alt_return_on_cell_of_row_2  "$ROW2_SEND"
e2e_case "a double click on a row"                      run send_by   double_click_on_row_2        "$ROW2_SEND"
e2e_case "a send text longer than 255 bytes is cut"     run send_by   return_on_row_3              "$ROW3_SEND"

e2e_case "busy: Return sends nothing until free" run busy_then_free
e2e_case "closed: Return sends nothing until opened" run closed_then_opened

#        title                                          function            class  id    text
e2e_case "a status with another class is ignored"       run ignored_status  kqKX   TEXT  "Now I Closed"
e2e_case "a status with another id is ignored"          run ignored_status  kqKS   TEXX  "Now I am busy"
e2e_case "a status misspelt is ignored"                 run ignored_status  kqKS   TEXT  "Now I am Busy"
e2e_case "a status with more after it is ignored"       run ignored_status  kqKS   TEXT  "Now I Closed!"

#        title                                          function            row  clipboard
e2e_case "clipboard method: Return copies the send text" run clipboard_send 1    "$ROW1_SEND_UTF8"
e2e_case "clipboard method: cut at 255 bytes, then UTF-8" run clipboard_send 3   "$ROW3_SEND_UTF8"
e2e_case "clipboard method: busy keeps the clipboard"   run clipboard_busy
e2e_finish
