#!/usr/bin/env bash
# Every digit given is kept: a row with Dia 16.55 and Sd 214.25 copied and
# pasted back saves as the same bytes as the original, though the model text
# on the clipboard rounds them as ever; Mms 74.45 typed, saved and reopened
# reads 74.45.
# Usage: every_digit.sh PATH-TO-KESTRUNE
source "$(dirname -- "${BASH_SOURCE[0]}")/lib.sh"
e2e_init "$@"

ROW1='Acme,PR-200, 16.55, 18.25, 45.1, 6.312, 214.25, 12.5, 275, 95.4\r'
ROW2='Beta,X-1, 10, 30, 5, 0.5, 80, 3, 24, 12\r'
MODEL_TEXT='Acme  PR-200  16.6  18.25  45.1  6.312  214.2  12.5  275  95.4  \r'
TYPED_ROW1='Acme,PR-200, 16.55, 18.25, 45.1, 6.312, 214.25, 12.5, 275, 74.45\r'
MMS_X=700

open_document() {
    e2e_launch "$1" "$E2E_TMP/docs" doc.kedata
    e2e_wait_main
    e2e_wait_title "$E2E_MAIN" doc.kedata "opening doc.kedata from the command line"
}

digits_case() {
    e2e_write "$E2E_TMP/docs/doc.kedata" "${ROW1}${ROW2}"
    open_document app
    # A cell first, so that the row is chosen by the click on its number.
    e2e_click "$E2E_MAIN" "$E2E_MODEL_NAME_X" "$(e2e_row_y 2)"
    e2e_click "$E2E_MAIN" "$E2E_ROW_NUMBER_X" "$(e2e_row_y 1)"
    e2e_key "$E2E_MAIN" ctrl+c
    e2e_write "$E2E_TMP/model_text" "$MODEL_TEXT"
    e2e_poll 2 e2e_clipboard_holds "$E2E_TMP/model_text" ||
        e2e_fail "after Ctrl+C on row 1 the plain text is '$(tr '\r' '|' <"$E2E_TMP/clipboard.now")'"

    e2e_key "$E2E_MAIN" ctrl+v
    e2e_write "$E2E_TMP/pasted" "${ROW1}${ROW1}${ROW2}"
    e2e_save_and_expect pasted "Ctrl+V of the copied row below row 1"

    e2e_click "$E2E_MAIN" "$MMS_X" "$(e2e_row_y 1)"
    e2e_type "$E2E_MAIN" "74.45"
    e2e_key "$E2E_MAIN" Down
    e2e_write "$E2E_TMP/typed" "${TYPED_ROW1}${ROW1}${ROW2}"
    e2e_save_and_expect typed "74.45 typed into Mms of row 1"
    e2e_key "$E2E_MAIN" ctrl+q
    e2e_expect_exit app 0 "Ctrl+Q after saving"

    open_document again
    e2e_click "$E2E_MAIN" "$MMS_X" "$(e2e_row_y 1)"
    e2e_key "$E2E_MAIN" ctrl+c
    e2e_write "$E2E_TMP/mms" ' 74.45'
    e2e_poll 2 e2e_clipboard_holds "$E2E_TMP/mms" ||
        e2e_fail "Mms of row 1 reopened reads '$(cat "$E2E_TMP/clipboard.now")'"
    e2e_key "$E2E_MAIN" ctrl+q
    e2e_expect_exit again 0 "Ctrl+Q after reopening"
}

e2e_case "a copied row pastes back to the digit; 74.45 typed is kept" digits_case
e2e_finish
