#!/usr/bin/env bash
# Sorting a large catalogue through the Sort menu and its keys, saved each
# time: the file holds the rows in the order chosen, every byte of every row
# as it was, and "Unsort" brings back the order the document was read in.
# The catalogue is large enough for the sort to share its work between
# threads, and its Fp values repeat, so rows with equal keys must keep their
# order. The expected files are made here, by Python's stable sort.
# Usage: sort.sh PATH-TO-KESTRUNE
source "$(dirname -- "${BASH_SOURCE[0]}")/lib.sh"
e2e_init "$@"
command -v python3 >/dev/null || {
    echo "missing tools: python3 (tools/bootstrap installs it)" >&2
    exit 2
}

ROWS=40000

# The catalogue, and the three orders a user asks for below: by Fp
# ascending, by Fp descending, back to the load order.
make_catalogue() {
    python3 "$(dirname -- "${BASH_SOURCE[0]}")/catalogue.py" "$1" "$ROWS" 11
}

# choose_sort_item N: the N-th item of the Sort menu, chosen with the keyboard.
choose_sort_item() {
    e2e_choose_sort_item "$1"
    e2e_wait_dialog_gone "choosing Sort item $1"
}

# save_and_expect EXPECTED WHAT: Ctrl+S, then the document holds those bytes.
# A difference is told by its row, not shown whole: the files are large.
save_and_expect() {
    local expected=$E2E_TMP/$1 what=$2 doc=$E2E_TMP/docs/doc.kedata
    e2e_wait_title "$E2E_MAIN" "doc.kedata*" "${what} marks the sheet changed"
    e2e_key "$E2E_MAIN" ctrl+s
    e2e_wait_title "$E2E_MAIN" doc.kedata "Ctrl+S after ${what}"
    cmp -s -- "$doc" "$expected" && return 0
    local byte row
    byte=$(cmp -- "$doc" "$expected" 2>&1 | grep -o 'byte [0-9]*' | grep -o '[0-9]*')
    [[ -n $byte ]] || e2e_fail "the document saved after ${what} ends early or goes on too long"
    row=$(($(head -c "$byte" -- "$doc" | tr -cd '\r' | wc -c) + 1))
    e2e_fail "the document saved after ${what} differs from row ${row} on: $(tr '\r' '\n' <"$doc" | sed -n "${row}p") instead of $(tr '\r' '\n' <"$expected" | sed -n "${row}p")"
}

sort_case() {
    local docs=$E2E_TMP/docs
    make_catalogue "$E2E_TMP"
    cp -- "$E2E_TMP/load_order" "$docs/doc.kedata"
    e2e_launch app "$docs" doc.kedata
    e2e_wait_main
    e2e_wait_title "$E2E_MAIN" doc.kedata "opening a catalogue of ${ROWS} models"

    choose_sort_item 3 # Fp, in the direction checked: Ascending
    save_and_expect fp_ascending "Sort > Fp"
    e2e_key "$E2E_MAIN" ctrl+d
    save_and_expect fp_descending "Sort > Descending (Ctrl+D) with Fp the key"
    e2e_key "$E2E_MAIN" ctrl+u
    save_and_expect load_order "Sort > Unsort (Ctrl+U)"

    e2e_key "$E2E_MAIN" ctrl+q
    e2e_expect_exit app 0 "Ctrl+Q after the saves"
    e2e_expect_instances 0 "after Quit"
}

e2e_case "Sort by Fp, Unsort and Descending on ${ROWS} models, each saved" sort_case
e2e_finish
