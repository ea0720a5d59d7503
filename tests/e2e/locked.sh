#!/usr/bin/env bash
# A document another program holds locked is refused with an alert, and
# nothing the user does next (Add New Model, Ctrl+S, Quit) writes to it.
# Usage: locked.sh PATH-TO-KESTRUNE
source "$(dirname -- "${BASH_SOURCE[0]}")/lib.sh"
e2e_init "$@"

LOCKED='Acme,PR-200, 20.5, 18.25, 45.1, 6.312, 220, 12.5, 275, 95.4\rBeta,X-1, 10, 30, 5, 0.5, 80, 3, 24, 12\r'
OPEN='Open,O-1, 16.5, 25, 8.25, 2.5, 150, 6, 90, 33.3\r'

# Another program takes an exclusive lock on FILE and keeps it until
# release_lock.
hold_lock() {
    local file=$1
    (
        exec 9<"$file"
        flock -x 9 || exit 1
        : >"$E2E_TMP/lock.held"
        while [[ ! -e $E2E_TMP/lock.release ]]; do sleep 0.05; done
        flock -u 9
        : >"$E2E_TMP/lock.gone"
    ) &
    E2E_HELPER_PIDS+=($!)
    e2e_poll 5 test -e "$E2E_TMP/lock.held" || e2e_fail "could not lock ${file##*/}"
}

release_lock() {
    : >"$E2E_TMP/lock.release"
    e2e_poll 5 test -e "$E2E_TMP/lock.gone" || e2e_fail "the lock was not released"
}

# Ctrl+S; an alert it brings is answered with its default button, a Save
# As dialog is cancelled.
save_and_back_out() {
    e2e_key "$E2E_MAIN" ctrl+s
    if e2e_poll 1 e2e_find_dialog; then
        if [[ $E2E_DIALOG_TITLE == "Save This File As..." ]]; then
            e2e_key "$E2E_DIALOG" Escape
        else
            e2e_key "$E2E_DIALOG" Return
        fi
        e2e_wait_dialog_gone "answering '${E2E_DIALOG_TITLE}' after Ctrl+S"
    fi
}

asks_or_ended() {
    e2e_has_ended app || e2e_find_dialog
}

# locked_case HOW: HOW is argument (kestrune doc.kedata) or hand-over (to a
# running Kestrune that shows open.kedata).
locked_case() {
    local how=$1 docs=$E2E_TMP/docs
    e2e_write "$docs/doc.kedata" "$LOCKED"
    cp -- "$docs/doc.kedata" "$E2E_TMP/doc.before"
    hold_lock "$docs/doc.kedata"

    if [[ $how == argument ]]; then
        e2e_launch app "$docs" doc.kedata
        e2e_wait_main
    else
        e2e_write "$docs/open.kedata" "$OPEN"
        e2e_launch app "$docs" open.kedata
        e2e_wait_main
        e2e_wait_title "$E2E_MAIN" open.kedata "opening open.kedata from the command line"
        e2e_launch second "$docs" doc.kedata
        e2e_wait_exit second || e2e_fail "the second kestrune doc.kedata still runs ${E2E_EXIT_TIMEOUT} s after it was started"
    fi
    e2e_wait_dialog "opening the locked doc.kedata"
    e2e_key "$E2E_DIALOG" Return
    e2e_wait_dialog_gone "Return in the alert about the locked document"

    e2e_title_of "$E2E_MAIN"
    local shown=$E2E_TITLE
    if [[ $shown != Kestrune ]]; then
        # Whatever sheet is shown gets a change and a save.
        e2e_click "$E2E_MAIN" "${E2E_ADD_NEW_MODEL[@]}"
        e2e_poll 2 e2e_title_is "$E2E_MAIN" "${shown%\*}*" ||
            e2e_fail "Add New Model did not mark '${shown}' changed"
    fi
    # Ctrl+S while the lock is held, and again once the other program is done.
    save_and_back_out
    release_lock
    save_and_back_out
    e2e_key "$E2E_MAIN" ctrl+q
    if e2e_poll 2 asks_or_ended && ! e2e_has_ended app; then
        e2e_key "$E2E_DIALOG" Tab space # Don't Save
    fi
    local ended=yes
    e2e_wait_exit app || ended=no
    # The document comes first: a program that did not quit is ended by the
    # clean-up, but a document it wrote stays written.
    e2e_expect_bytes "$docs/doc.kedata" "$E2E_TMP/doc.before" \
        "the locked document after the alert, Add New Model, Ctrl+S (locked and released) and Quit (the window showed '${shown}')"
    [[ $ended == yes ]] || e2e_fail "Ctrl+Q did not end the program"
    ((E2E_STATUS == 0)) || e2e_fail "after Ctrl+Q the program $(e2e_ending "$E2E_STATUS"), not with status 0"
}

e2e_case "a locked document on the command line" locked_case argument
e2e_case "a locked document handed over to a running sheet" locked_case hand-over
e2e_finish
