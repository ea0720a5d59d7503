#!/usr/bin/env bash
# A catalogue of ten million models (about 730 MB) opened, sorted by Fp,
# saved and quit through the real program, with every byte of the saved
# document checked; and the open of such a catalogue cancelled with Escape
# while its progress shows, which leaves the sheet that was open as it was.
# Usage: [KESTRUNE_E2E_MODELS=N] large_catalogue.sh PATH-TO-KESTRUNE
source "$(dirname -- "${BASH_SOURCE[0]}")/lib.sh"
e2e_init "$1"
e2e_require python3

BASE=200
MODELS=${KESTRUNE_E2E_MODELS:-10000000}
# Reading, sorting and writing this much take seconds, more on a busy machine.
E2E_WINDOW_TIMEOUT=120
E2E_EXIT_TIMEOUT=60

# docs/small.kedata holds BASE models; docs/big.kedata the same rows over and
# over, MODELS in all.
make_catalogues() {
    local here
    here=$(dirname -- "${BASH_SOURCE[0]}")
    python3 "$here/catalogue.py" "$E2E_TMP" "$BASE" 3 &&
        python3 "$here/replicated_catalogue.py" "$E2E_TMP" $((MODELS / BASE)) ||
        e2e_fail "could not write the catalogues"
    cp -- "$E2E_TMP/load_order" "$E2E_TMP/docs/small.kedata"
    mv -- "$E2E_TMP/big.kedata" "$E2E_TMP/docs/big.kedata"
}

expect_saved() {
    local doc=$1 expected=$2 what=$3
    cmp -s -- "$E2E_TMP/docs/$doc" "$E2E_TMP/$expected" ||
        e2e_fail "${what}: the saved document differs from ${expected}: $(cmp -- "$E2E_TMP/docs/$doc" "$E2E_TMP/$expected" 2>&1)"
}

open_sort_save_case() {
    make_catalogues
    e2e_launch app "$E2E_TMP/docs" big.kedata
    e2e_wait_main
    e2e_wait_title "$E2E_MAIN" big.kedata "opening ${MODELS} models"
    e2e_choose_sort_item 3 # Fp, ascending
    e2e_wait_title "$E2E_MAIN" "big.kedata*" "Sort > Fp on ${MODELS} models"
    e2e_key "$E2E_MAIN" ctrl+s
    e2e_wait_title "$E2E_MAIN" big.kedata "Ctrl+S of ${MODELS} sorted models"
    expect_saved big.kedata big_fp_ascending "Sort > Fp, then Ctrl+S"
    e2e_key "$E2E_MAIN" ctrl+q
    e2e_expect_exit app 0 "Ctrl+Q after the save"
    e2e_expect_instances 0 "after Quit"
}

progress_shown() {
    e2e_find_titled "Opening “big.kedata”…"
}

no_progress_shown() {
    ! progress_shown
}

cancelled_open_case() {
    make_catalogues
    e2e_launch app "$E2E_TMP/docs" small.kedata
    e2e_wait_main
    e2e_wait_title "$E2E_MAIN" small.kedata "opening ${BASE} models"
    # Another launch hands the large catalogue over; its progress shows.
    e2e_launch second "$E2E_TMP/docs" big.kedata
    e2e_expect_exit second 0 "handing big.kedata over"
    e2e_poll 30 progress_shown || e2e_fail "no progress showed while big.kedata was read"
    e2e_key "$E2E_MAIN" Escape
    e2e_poll 10 no_progress_shown || e2e_fail "the progress stayed after Escape"
    e2e_title_is "$E2E_MAIN" small.kedata ||
        e2e_fail "after Escape the window is titled '${E2E_TITLE}', not small.kedata"
    # The sheet is the small catalogue still, every row of it.
    e2e_choose_sort_item 3
    e2e_wait_title "$E2E_MAIN" "small.kedata*" "Sort > Fp after the cancelled open"
    e2e_key "$E2E_MAIN" ctrl+s
    e2e_wait_title "$E2E_MAIN" small.kedata "Ctrl+S after the cancelled open"
    expect_saved small.kedata fp_ascending "Sort > Fp and Ctrl+S after the cancelled open"
    e2e_key "$E2E_MAIN" ctrl+q
    e2e_expect_exit app 0 "Ctrl+Q after the cancelled open"
}

e2e_case "Escape while ${MODELS} models are read leaves the open sheet as it was" cancelled_open_case
e2e_case "${MODELS} models opened, sorted by Fp, saved and quit" open_sort_save_case
e2e_finish
