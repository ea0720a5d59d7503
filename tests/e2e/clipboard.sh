#!/usr/bin/env bash
# A whole row travels through the X clipboard as one line of text: Ctrl+C on
# a row selected by its row number gives other programs the model's text,
# and a model line another program put there pastes as a new row below the
# selected one, which Ctrl+S writes to the document.
# Usage: clipboard.sh PATH-TO-KESTRUNE
source "$(dirname -- "${BASH_SOURCE[0]}")/lib.sh"
e2e_init "$@"

# Row 1 has more decimals than the model text keeps (Dia and Sd one).
DOCUMENT='Acme,PR-200, 20.56, 18.25, 45.1, 6.312, 220.04, 12.5, 275, 95.4\rBeta,X-1, 10, 30, 5, 0.5, 80, 3, 24, 12\r'
ROW1_TEXT='Acme  PR-200  20.6  18.25  45.1  6.312  220  12.5  275  95.4  \r'
ROW2_TEXT='Beta  X-1  10  30  5  0.5  80  3  24  12  \r'

PASTED_TEXT='Nova  PR-9  25.4  21.5  12.34  3.21  300.5  7.25  150  40.2  \r'
PASTED_BELOW_ROW1='Acme,PR-200, 20.56, 18.25, 45.1, 6.312, 220.04, 12.5, 275, 95.4\rNova,PR-9, 25.4, 21.5, 12.34, 3.21, 300.5, 7.25, 150, 40.2\rBeta,X-1, 10, 30, 5, 0.5, 80, 3, 24, 12\r'
PASTED_BELOW_ROW2='Acme,PR-200, 20.56, 18.25, 45.1, 6.312, 220.04, 12.5, 275, 95.4\rBeta,X-1, 10, 30, 5, 0.5, 80, 3, 24, 12\rNova,PR-9, 25.4, 21.5, 12.34, 3.21, 300.5, 7.25, 150, 40.2\r'

# Ctrl+Q. Whether it ends the program is quit.sh's business; what counts here
# is that the document is as it should be after it.
quit_program() {
    e2e_key "$E2E_MAIN" ctrl+q
    e2e_wait_exit app || true
}

open_document() {
    e2e_write "$E2E_TMP/docs/doc.kedata" "$DOCUMENT"
    e2e_launch app "$E2E_TMP/docs" doc.kedata
    e2e_wait_main
    e2e_wait_title "$E2E_MAIN" doc.kedata "opening doc.kedata from the command line"
    # A cell first, so that the row is chosen by the click on its number.
    e2e_click "$E2E_MAIN" "$E2E_MODEL_NAME_X" "$(e2e_row_y 2)"
}

# copy_case ROW TEXT: clicking ROW's number and Ctrl+C put TEXT on the clipboard.
copy_case() {
    local row=$1 text=$2
    open_document
    e2e_click "$E2E_MAIN" "$E2E_ROW_NUMBER_X" "$(e2e_row_y "$row")"
    e2e_key "$E2E_MAIN" ctrl+c
    e2e_write "$E2E_TMP/expected" "$text"
    e2e_poll 2 e2e_clipboard_holds "$E2E_TMP/expected" ||
        e2e_fail "after Ctrl+C on row ${row} the clipboard holds '$(tr '\r' '|' <"$E2E_TMP/clipboard.now")' (| is CR), not '${text//$'\r'/|}'"
    quit_program
    # Copying changes nothing.
    e2e_write "$E2E_TMP/expected" "$DOCUMENT"
    e2e_expect_bytes "$E2E_TMP/docs/doc.kedata" "$E2E_TMP/expected" "the document after Copy"
}

# paste_case ROW EXPECTED: the model text pasted with ROW selected, then
# Ctrl+S, gives the document EXPECTED.
paste_case() {
    local row=$1 expected=$2
    e2e_write "$E2E_TMP/offered" "$PASTED_TEXT"
    e2e_write "$E2E_TMP/expected" "$expected"
    open_document
    e2e_offer_clipboard "$E2E_TMP/offered"
    e2e_click "$E2E_MAIN" "$E2E_ROW_NUMBER_X" "$(e2e_row_y "$row")"
    e2e_key "$E2E_MAIN" ctrl+v
    e2e_wait_title "$E2E_MAIN" 'doc.kedata*' "Ctrl+V with row ${row} selected"
    e2e_key "$E2E_MAIN" ctrl+s
    e2e_wait_title "$E2E_MAIN" doc.kedata "Ctrl+S after the paste"
    e2e_expect_bytes "$E2E_TMP/docs/doc.kedata" "$E2E_TMP/expected" "the document saved after the paste"
    quit_program
    e2e_expect_bytes "$E2E_TMP/docs/doc.kedata" "$E2E_TMP/expected" "the document after Quit"
}

#        title                                        function    row  expected
e2e_case "Ctrl+C on row 1 gives its model text"       copy_case   1    "$ROW1_TEXT"
e2e_case "Ctrl+C on row 2 gives its model text"       copy_case   2    "$ROW2_TEXT"
e2e_case "a model line pasted below row 1, Ctrl+S"    paste_case  1    "$PASTED_BELOW_ROW1"
e2e_case "a model line pasted below the last row"     paste_case  2    "$PASTED_BELOW_ROW2"
e2e_finish
