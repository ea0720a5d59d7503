#!/usr/bin/env bash
# Running out of memory in the middle of a Sort or a Save changes nothing:
# the program, with a large catalogue open, is held by prlimit to a little
# more address space than it holds; the Sort or the Save then fails half
# way, an alert says there is not enough memory, and the sheet and the
# document stay exactly as they were: the document's bytes are those it had,
# and saved again once the limit is lifted, the sheet holds every row in its
# place. The same command then succeeds.
# Usage: out_of_memory.sh PATH-TO-KESTRUNE
source "$(dirname -- "${BASH_SOURCE[0]}")/lib.sh"
e2e_init "$@"
for tool in python3 prlimit xprop; do
    command -v "$tool" >/dev/null || {
        echo "missing tools: ${tool} (tools/bootstrap installs it)" >&2
        exit 2
    }
done

# Columns of this many rows are each mapped on their own: the keys, the
# order and the buffers a sort makes for them need room the limit refuses.
ROWS=600000

# hold_memory SPARE: the program may take SPARE more bytes of address space
# than it holds now; `hold_memory` alone lifts the limit.
hold_memory() {
    local pid vm limit=unlimited
    pid=$(e2e_instance_pids)
    [[ $pid =~ ^[0-9]+$ ]] || e2e_fail "not one kestrune process: '${pid}'"
    if (($# > 0)); then
        vm=$(awk '/^VmSize:/ { print $2 * 1024 }' "/proc/${pid}/status")
        limit=$((vm + $1))
    fi
    prlimit --pid "$pid" --as="${limit}:" || e2e_fail "prlimit could not limit process ${pid}"
}

# The message of the alert on screen, copied as a user copies it.
alert_text_holds() {
    timeout 5 xdotool mousemove --window "$E2E_DIALOG" 80 20 click 1 ||
        e2e_fail "could not click into the message of window ${E2E_DIALOG}"
    e2e_key "$E2E_DIALOG" ctrl+a ctrl+c
    e2e_clipboard_to "$E2E_TMP/alert.txt" && grep -qF -- "$1" "$E2E_TMP/alert.txt"
}

# An alert on screen, not the menu that closes before it: its id in E2E_DIALOG.
find_alert() {
    local id
    for id in $(e2e_visible_windows); do
        [[ $id != "$E2E_MAIN" ]] || continue
        ! xprop -id "$id" _NET_WM_WINDOW_TYPE 2>/dev/null | grep -q MENU || continue
        e2e_size_of "$id"
        ((E2E_WIDTH >= 150 && E2E_HEIGHT >= 60)) || continue
        E2E_DIALOG=$id
        return 0
    done
    return 1
}

# expect_alert WORDS WHAT: an alert holding WORDS is on screen; Return closes it.
expect_alert() {
    local words=$1 what=$2
    e2e_poll "$E2E_WINDOW_TIMEOUT" find_alert || e2e_fail "${what}: no alert appeared"
    e2e_poll 3 alert_text_holds "$words" ||
        e2e_fail "${what}: the alert says '$(tr '\n' ' ' <"$E2E_TMP/alert.txt")', not '${words}'"
    e2e_key "$E2E_DIALOG" Return
    e2e_wait_dialog_gone "closing the alert"
}

# save_and_expect EXPECTED WHAT: Ctrl+S writes the document anew (another
# file takes its name), which then holds the bytes of EXPECTED.
save_and_expect() {
    local expected=$E2E_TMP/$1 what=$2 doc=$E2E_TMP/docs/doc.kedata inode
    inode=$(stat -c %i -- "$doc")
    e2e_key "$E2E_MAIN" ctrl+s
    e2e_poll "$E2E_WINDOW_TIMEOUT" written_anew "$doc" "$inode" ||
        e2e_fail "${what}: Ctrl+S did not write the document"
    e2e_wait_title "$E2E_MAIN" doc.kedata "Ctrl+S ${what}"
    cmp -s -- "$doc" "$expected" ||
        e2e_fail "${what}: the document saved differs from ${1} at $(cmp -- "$doc" "$expected" 2>&1)"
}

written_anew() {
    [[ $(stat -c %i -- "$1" 2>/dev/null) != "$2" ]]
}

only_the_document() {
    [[ -z $(find "$E2E_TMP/docs" -mindepth 1 ! -name doc.kedata) ]] ||
        e2e_fail "$1 left other files beside the document: $(ls -A "$E2E_TMP/docs")"
}

open_catalogue() {
    python3 "$(dirname -- "${BASH_SOURCE[0]}")/catalogue.py" "$E2E_TMP" "$ROWS" 7
    cp -- "$E2E_TMP/load_order" "$E2E_TMP/docs/doc.kedata"
    # Blocks of 64 KiB and more each take address space of their own, and
    # give it back when freed: what a command takes is what the limit
    # counts, not what the heap happened to keep from before.
    export GLIBC_TUNABLES=glibc.malloc.mmap_threshold=65536
    e2e_launch app "$E2E_TMP/docs" doc.kedata
    e2e_wait_main
    e2e_wait_title "$E2E_MAIN" doc.kedata "opening a catalogue of ${ROWS} models"
}

# Sort by Fp with room for half of what the sort needs: not one column may
# be left reordered, and the sheet stays unchanged.
sort_case() {
    open_catalogue
    hold_memory $((16 << 20))
    e2e_pick_sort_item 3
    expect_alert "The sheet could not be sorted." "Sort > Fp with too little memory"
    e2e_title_is "$E2E_MAIN" doc.kedata ||
        e2e_fail "the sort that failed marked the sheet changed: '${E2E_TITLE}'"
    hold_memory
    save_and_expect load_order "after the failed sort"

    e2e_choose_sort_item 3
    e2e_wait_title "$E2E_MAIN" "doc.kedata*" "Sort > Fp with the limit lifted"
    save_and_expect fp_ascending "after the sort with the limit lifted"
    e2e_key "$E2E_MAIN" ctrl+q
    e2e_expect_exit app 0 "Ctrl+Q after the saves"
}

# Save the sorted sheet with no room to grow: the document keeps the bytes
# it had, no half-written file stays, and the sheet stays changed.
save_case() {
    open_catalogue
    e2e_choose_sort_item 3
    e2e_wait_title "$E2E_MAIN" "doc.kedata*" "Sort > Fp"
    hold_memory 0
    e2e_key "$E2E_MAIN" ctrl+s
    expect_alert "could not be saved." "Ctrl+S with too little memory"
    e2e_expect_bytes "$E2E_TMP/docs/doc.kedata" "$E2E_TMP/load_order" "the document after the failed save"
    only_the_document "the failed save"
    e2e_title_is "$E2E_MAIN" "doc.kedata*" ||
        e2e_fail "the save that failed marked the sheet saved: '${E2E_TITLE}'"
    hold_memory
    save_and_expect fp_ascending "with the limit lifted"
    only_the_document "the save"
    e2e_key "$E2E_MAIN" ctrl+q
    e2e_expect_exit app 0 "Ctrl+Q after the save"
}

e2e_case "Sort by Fp on ${ROWS} models with too little memory, then with enough" sort_case
e2e_case "Save of ${ROWS} sorted models with too little memory, then with enough" save_case
e2e_finish
