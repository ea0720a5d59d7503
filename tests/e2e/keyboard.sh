#!/usr/bin/env bash
# The keyboard as on any desktop: Alt with a letter is the way to the menus
# and never types into the cell being edited, and F10 opens the first menu.
# Usage: keyboard.sh PATH-TO-KESTRUNE
source "$(dirname -- "${BASH_SOURCE[0]}")/lib.sh"
e2e_init "$@"

DOCUMENT='Acme,PR-200, 20.5, 18.25, 45.1, 6.312, 220, 12.5, 275, 95.4\rBeta,X-1, 10, 30, 5, 0.5, 80, 3, 24, 12\r'
FP_X=320 # the Fp column

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

e2e_case "Alt+F in a cell opens File; Down, Ctrl+S lose nothing" alt_case alt+f
e2e_case "Alt with a letter no menu has types nothing into the cell" alt_case alt+z
e2e_case "F10 opens the first menu" f10_case
e2e_finish
