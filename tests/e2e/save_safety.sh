#!/usr/bin/env bash
# Ctrl+S never silently writes over what another program wrote, and a
# document that cannot be written says so: a document rewritten by another
# program after it was opened brings a question (Cancel keeps the other
# program's bytes, Save Anyway writes the sheet); a document that may not be
# changed brings an alert saying it could not be saved, and the sheet stays
# marked unsaved.
# Usage: save_safety.sh PATH-TO-KESTRUNE
source "$(dirname -- "${BASH_SOURCE[0]}")/lib.sh"
e2e_init "$@"

OURS='Acme,PR-200, 20.5, 18.25, 45.1, 6.312, 220, 12.5, 275, 95.4\r'
THEIRS='Other,O-1, 16.5, 25, 8.25, 2.5, 150, 6, 90, 33.3\rOther,O-2, 10, 30, 5, 0.5, 80, 3, 24, 12\r'

# How another program writes: in place, as a shell redirect does, or into a
# new file renamed over the old one, as most editors do.
leave_alone() { :; }
write_in_place() { e2e_write "$1" "$THEIRS"; }
write_and_rename() {
    e2e_write "$1.part" "$THEIRS"
    mv -f -- "$1.part" "$1"
}

# The file may not be changed: immutable for root (whom permissions do not
# stop; a file system without that skips the case), read-only for anyone else.
forbid() {
    if ((EUID == 0)); then
        if ! chattr +i -- "$1" 2>/dev/null; then
            echo "  skipped: this file system cannot make ${1##*/} immutable (chattr +i)"
            exit 0
        fi
        FORBIDDEN=$1
        # shellcheck disable=SC2154 # status is set inside the trap
        trap 'status=$?; chattr -i -- "$FORBIDDEN"; (exit "$status"); e2e_end_case' EXIT
    else
        chmod 0444 -- "$1"
    fi
}

# The folder of the document is mounted read-only for the program alone: it
# starts in a mount namespace of its own (under its usual name, so that the
# case finds and ends it).
read_only_disk() {
    local docs=$1 real
    real=$(readlink -f -- "$E2E_TMP/bin/kestrune")
    local user=(-r)
    ((EUID == 0)) && user=()
    unshare "${user[@]}" -m true 2>/dev/null || {
        echo "  skipped: no mount namespace can be made here (unshare -m)"
        exit 0
    }
    rm -f -- "$E2E_TMP/bin/kestrune"
    # shellcheck disable=SC2016 # expanded by the inner bash
    printf '#!/bin/bash\nexec unshare %s -m --propagation private bash -c %q %q %q %q "$@"\n' \
        "${user[*]}" 'mount --bind -o ro "$1" "$1" && shift && exec -a "$0" "$@"' \
        "$E2E_TMP/bin/kestrune" "$docs" "$real" >"$E2E_TMP/bin/kestrune"
    chmod +x "$E2E_TMP/bin/kestrune"
}
read_write_disk() { :; }

# The message of the window on screen, copied the way a user copies it: a
# click into it, select all, copy.
dialog_text_holds() {
    local words=$1
    timeout 5 xdotool mousemove --window "$E2E_DIALOG" 80 20 click 1 ||
        e2e_fail "could not click into the message of window ${E2E_DIALOG}"
    e2e_key "$E2E_DIALOG" ctrl+a ctrl+c
    e2e_clipboard_to "$E2E_TMP/dialog.txt" && grep -qF -- "$words" "$E2E_TMP/dialog.txt"
}

# save_case DISK MEANWHILE ANSWER WORDS AFTER TITLE: the document is
# opened from a folder on DISK (read_write_disk or read_only_disk), gets a new row, MEANWHILE happens to it, then Ctrl+S. The window
# that comes holds WORDS and is answered with ANSWER (xdotool keys); the
# document then keeps what was on disk before Ctrl+S (kept) or holds the
# sheet with its new row (ours), and the window's title is TITLE.
save_case() {
    local disk=$1 meanwhile=$2 answer=$3 words=$4 after=$5 title=$6 docs=$E2E_TMP/docs
    e2e_write "$docs/doc.kedata" "$OURS"
    e2e_write "$E2E_TMP/theirs" "$THEIRS"
    "$disk" "$docs"
    e2e_launch app "$docs" doc.kedata
    e2e_wait_main
    e2e_wait_title "$E2E_MAIN" doc.kedata "opening doc.kedata"
    e2e_click "$E2E_MAIN" "${E2E_ADD_NEW_MODEL[@]}"
    e2e_wait_title "$E2E_MAIN" "doc.kedata*" "Add New Model"

    "$meanwhile" "$docs/doc.kedata"
    cp -- "$docs/doc.kedata" "$E2E_TMP/before-save"
    e2e_key "$E2E_MAIN" ctrl+s
    e2e_wait_dialog "Ctrl+S after ${meanwhile}"
    e2e_poll 3 dialog_text_holds "$words" ||
        e2e_fail "after Ctrl+S the window says '$(tr '\n' ' ' <"$E2E_TMP/dialog.txt")', not '${words}'"
    e2e_key "$E2E_DIALOG" "$answer"
    e2e_wait_dialog_gone "answering ${answer}"
    e2e_wait_title "$E2E_MAIN" "$title" "the sheet after ${answer}"

    if [[ $after == kept ]]; then
        e2e_expect_bytes "$docs/doc.kedata" "$E2E_TMP/before-save" "the document after ${answer}"
    else
        cmp -s -- "$docs/doc.kedata" "$E2E_TMP/theirs" &&
            e2e_fail "Save Anyway left the other program's bytes"
        [[ $(head -c 9 -- "$docs/doc.kedata") == Acme,PR-2 && $(tr '\r' '\n' <"$docs/doc.kedata" | wc -l) == 2 ]] ||
            e2e_fail "Save Anyway wrote '$(tr '\r' '|' <"$docs/doc.kedata")', not the sheet with its new row"
    fi
    [[ -z $(find "$docs" -mindepth 1 ! -name doc.kedata) ]] ||
        e2e_fail "the save left other files in the folder: $(ls -A "$docs")"
}

NO_RIGHT="could not be saved: you have no permission to change it"
READ_ONLY="could not be saved: it is on a disk that can only be read"
CHANGED="was changed by another program"
#        title                                               disk            meanwhile        answer words      after title
e2e_case "rewritten in place, Ctrl+S, Cancel"       save_case read_write_disk write_in_place   Escape "$CHANGED"   kept  "doc.kedata*"
e2e_case "replaced by an editor, Ctrl+S, Cancel"    save_case read_write_disk write_and_rename Escape "$CHANGED"   kept  "doc.kedata*"
e2e_case "rewritten in place, Ctrl+S, Save Anyway"  save_case read_write_disk write_in_place   alt+s  "$CHANGED"   ours  doc.kedata
e2e_case "a file that may not be changed, Ctrl+S"   save_case read_write_disk forbid           Return "$NO_RIGHT"  kept  "doc.kedata*"
e2e_case "a read-only disk, Ctrl+S"                 save_case read_only_disk  leave_alone      Return "$READ_ONLY" kept  "doc.kedata*"
e2e_finish
