#!/usr/bin/env bash
# The keyboard as on any desktop: Alt with a letter is the way to the menus
# and never types into the cell being edited, F10 opens the first menu, and
# the sheet takes the keys every table takes.
# Usage: keyboard.sh PATH-TO-KESTRUNE
source "$(dirname -- "${BASH_SOURCE[0]}")/lib.sh"
e2e_init "$@"

DOCUMENT='Acme,PR-200, 20.5, 18.25, 45.1, 6.312, 220, 12.5, 275, 95.4\rBeta,X-1, 10, 30, 5, 0.5, 80, 3, 24, 12\r'
FP_X=364 # the Fp column

open_document() {
    e2e_write "$E2E_TMP/docs/doc.kedata" "$DOCUMENT"
    e2e_write "$E2E_TMP/expected" "$DOCUMENT"
    e2e_launch app "$E2E_TMP/docs" doc.kedata
    e2e_wait_main
    e2e_wait_title "$E2E_MAIN" doc.kedata "opening doc.kedata"
}

# alt_case KEYS...: in the Fp cell of row 1, the keys, then Down and Ctrl+S:
# the document keeps every byte. Escape twice then leaves any menu.
alt_case() {
    open_document
    e2e_click "$E2E_MAIN" "$FP_X" "$(e2e_row_y 1)"
    e2e_key "$E2E_MAIN" "$@"
    e2e_key "$E2E_MAIN" Down ctrl+s
    sleep 0.3 # a save would have been written by now
    e2e_expect_bytes "$E2E_TMP/docs/doc.kedata" "$E2E_TMP/expected" "the document after $* in a cell, Down and Ctrl+S"
    e2e_title_is "$E2E_MAIN" doc.kedata || e2e_fail "$* in a cell changed the sheet: its title is '${E2E_TITLE}'"
    e2e_key "$E2E_MAIN" Escape Escape
    e2e_wait_dialog_gone "Escape twice"
    e2e_key "$E2E_MAIN" ctrl+q
    e2e_expect_exit app 0 "Ctrl+Q"
}

# F10 opens a menu, whether a cell is edited or not; Escape closes it.
f10_case() {
    open_document
    e2e_click "$E2E_MAIN" "$FP_X" "$(e2e_row_y 2)"
    e2e_key "$E2E_MAIN" F10
    e2e_wait_dialog "F10 (the first menu)"
    e2e_key "$E2E_DIALOG" Escape
    e2e_wait_dialog_gone "Escape in the menu"
    e2e_key "$E2E_MAIN" ctrl+q
    e2e_expect_exit app 0 "Ctrl+Q"
}

# rows FROM TO: document lines of rows FROM to TO (Fp is the row's number).
rows() {
    awk -v from="$1" -v to="$2" 'BEGIN { for (r = from; r <= to; r++) printf "M%d,P%d, 1, %d, 3, 4, 5, 6, 7, 8\r", r, r, r }'
}

# Page Down moves a screen (15 rows) down; a number typed there is stored by
# Tab, which goes on along the row; the row chosen by Left is deleted by
# Delete; Ctrl+S writes all of it.
page_tab_delete_case() {
    rows 1 40 >"$E2E_TMP/docs/doc.kedata"
    {
        rows 1 15
        printf 'M16,P16, 1, 77, 3, 4, 5, 6, 7, 8\r'
        rows 17 30
        rows 32 40
    } >"$E2E_TMP/expected"
    e2e_launch app "$E2E_TMP/docs" doc.kedata
    e2e_wait_main
    e2e_wait_title "$E2E_MAIN" doc.kedata "opening doc.kedata"
    e2e_click "$E2E_MAIN" "$FP_X" "$(e2e_row_y 1)"
    e2e_key "$E2E_MAIN" Next # Page Down: row 16
    e2e_type "$E2E_MAIN" 77
    e2e_key "$E2E_MAIN" Tab Tab Next Left Left Left Left Left Left Delete ctrl+s
    e2e_poll "$E2E_WINDOW_TIMEOUT" cmp -s "$E2E_TMP/docs/doc.kedata" "$E2E_TMP/expected" ||
        e2e_expect_bytes "$E2E_TMP/docs/doc.kedata" "$E2E_TMP/expected" "the document after Page Down, Tab, Delete and Ctrl+S"
    e2e_key "$E2E_MAIN" ctrl+q
    e2e_expect_exit app 0 "Ctrl+Q"
}

# Ctrl+End on a million models goes to the last; Ctrl+C copies it.
ctrl_end_case() {
    rows 1 1000000 >"$E2E_TMP/docs/big.kedata"
    e2e_write "$E2E_TMP/last" 'M1000000  P1000000  1  1000000  3  4  5  6  7  8  \r'
    e2e_launch app "$E2E_TMP/docs" big.kedata
    e2e_wait_main
    e2e_wait_title "$E2E_MAIN" big.kedata "opening big.kedata"
    e2e_click "$E2E_MAIN" "$E2E_ROW_NUMBER_X" "$(e2e_row_y 2)"
    e2e_key "$E2E_MAIN" ctrl+End ctrl+c
    e2e_poll 3 e2e_clipboard_holds "$E2E_TMP/last" ||
        e2e_fail "Ctrl+End, Ctrl+C copied '$(tr '\r' '|' <"$E2E_TMP/clipboard.now")', not the last model"
    e2e_key "$E2E_MAIN" ctrl+q
    e2e_expect_exit app 0 "Ctrl+Q"
}

e2e_case "Alt+F in a cell opens File; Down, Ctrl+S lose nothing" alt_case alt+f
e2e_case "Alt with a letter no menu has types nothing into the cell" alt_case alt+z
e2e_case "F10 opens the first menu" f10_case
e2e_case "Page Down, Tab and Delete move, store and delete" page_tab_delete_case
e2e_case "Ctrl+End on a million models, then Ctrl+C" ctrl_end_case
e2e_finish
