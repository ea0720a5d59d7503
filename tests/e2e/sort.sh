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
e2e_require python3

ROWS=40000

# The catalogue, and the three orders a user asks for below: by Fp
# ascending, by Fp descending, back to the load order.
make_catalogue() {
    python3 "$(dirname -- "${BASH_SOURCE[0]}")/catalogue.py" "$1" "$ROWS" 11
}

sort_case() {
    local docs=$E2E_TMP/docs
    make_catalogue "$E2E_TMP"
    cp -- "$E2E_TMP/load_order" "$docs/doc.kedata"
    e2e_launch app "$docs" doc.kedata
    e2e_wait_main
    e2e_wait_title "$E2E_MAIN" doc.kedata "opening a catalogue of ${ROWS} models"

    e2e_choose_sort_item 3 # Fp, in the direction checked: Ascending
    e2e_save_and_expect fp_ascending "Sort > Fp"
    e2e_key "$E2E_MAIN" ctrl+d
    e2e_save_and_expect fp_descending "Sort > Descending (Ctrl+D) with Fp the key"
    e2e_key "$E2E_MAIN" ctrl+u
    e2e_save_and_expect load_order "Sort > Unsort (Ctrl+U)"

    e2e_key "$E2E_MAIN" ctrl+q
    e2e_expect_exit app 0 "Ctrl+Q after the saves"
    e2e_expect_instances 0 "after Quit"
}

e2e_case "Sort by Fp, Unsort and Descending on ${ROWS} models, each saved" sort_case
e2e_finish
