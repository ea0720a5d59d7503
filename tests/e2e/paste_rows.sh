#!/usr/bin/env bash
# Rows from other programs: a spreadsheet's rows (cells separated by tabs)
# pasted with Ctrl+V onto a row selection become models below it, saved with
# Ctrl+S, and one Ctrl+Z takes all of them back; a header row above them is
# skipped; a text that is no model is refused and changes nothing. Ctrl+C on a row offers it as the model text
# and, beside it, as an HTML table of ten cells.
# Usage: paste_rows.sh PATH-TO-KESTRUNE
source "$(dirname -- "${BASH_SOURCE[0]}")/lib.sh"
e2e_init "$@"

DOCUMENT='Acme,PR-200, 20.56, 18.25, 45.1, 6.312, 220.04, 12.5, 275, 95.4\rBeta,X-1, 10, 30, 5, 0.5, 80, 3, 24, 12\r'
ROW1_TEXT='Acme  PR-200  20.6  18.25  45.1  6.312  220  12.5  275  95.4  \r'

# As a spreadsheet in a decimal-comma locale copies one row.
ONE_ROW='Nova\tPR-9\t25,4\t21,5\t12,34\t3,21\t300,5\t7,25\t150\t40,2\n'
ONE_ROW_BELOW_ROW1='Acme,PR-200, 20.56, 18.25, 45.1, 6.312, 220.04, 12.5, 275, 95.4\rNova,PR-9, 25.4, 21.5, 12.34, 3.21, 300.5, 7.25, 150, 40.2\rBeta,X-1, 10, 30, 5, 0.5, 80, 3, 24, 12\r'

# The same row under the spreadsheet's header row, which the paste skips.
HEADER_AND_ROW='Manufacturer\tModel Name\tDia (cm)\tFp (Hz)\tVap (L)\tQmp\tSd (cm\xc2\xb2)\tXmax (mm)\tVd (cm\xc2\xb3)\tMms (g)\n'"$ONE_ROW"

# Three rows with CR LF, a quoted cell and a name in UTF-8 (e acute, which
# the document holds as the Mac OS Roman byte 0x8E).
THREE_ROWS='Orvane\tOR-1\t10\t20\t30\t0.5\t40\t5\t60\t7\r\n"Orvane"\tCaf\xc3\xa9 2\t11.5\t21\t31\t0.25\t41\t5.5\t61\t8\r\nOrvane\tOR-3\t12\t22\t32\t0.125\t42\t6\t62\t9\r\n'
THREE_ROWS_BELOW_ROW1='Acme,PR-200, 20.56, 18.25, 45.1, 6.312, 220.04, 12.5, 275, 95.4\rOrvane,OR-1, 10, 20, 30, 0.5, 40, 5, 60, 7\rOrvane,Caf\x8e 2, 11.5, 21, 31, 0.25, 41, 5.5, 61, 8\rOrvane,OR-3, 12, 22, 32, 0.125, 42, 6, 62, 9\rBeta,X-1, 10, 30, 5, 0.5, 80, 3, 24, 12\r'

# The first line is a row; the second has text where Fp belongs.
REFUSED='Nova\tPR-9\t25.4\t21.5\t12.34\t3.21\t300.5\t7.25\t150\t40.2\nNova\tPR-10\t25.4\tabc\t12.34\t3.21\t300.5\t7.25\t150\t40.2\n'

open_document() {
    e2e_write "$E2E_TMP/docs/doc.kedata" "$DOCUMENT"
    e2e_launch app "$E2E_TMP/docs" doc.kedata
    e2e_wait_main
    e2e_wait_title "$E2E_MAIN" doc.kedata "opening doc.kedata from the command line"
    # A cell first, so that the row is chosen by the click on its number.
    e2e_click "$E2E_MAIN" "$E2E_MODEL_NAME_X" "$(e2e_row_y 2)"
}

# paste_on_row1 TEXT: another program offers TEXT, row 1 is selected, Ctrl+V.
paste_on_row1() {
    e2e_write "$E2E_TMP/offered" "$1"
    open_document
    e2e_offer_clipboard "$E2E_TMP/offered"
    e2e_click "$E2E_MAIN" "$E2E_ROW_NUMBER_X" "$(e2e_row_y 1)"
    e2e_key "$E2E_MAIN" ctrl+v
}

save_and_expect() {
    local expected=$1 what=$2
    e2e_key "$E2E_MAIN" ctrl+s
    e2e_wait_title "$E2E_MAIN" doc.kedata "Ctrl+S ${what}"
    e2e_write "$E2E_TMP/expected" "$expected"
    e2e_expect_bytes "$E2E_TMP/docs/doc.kedata" "$E2E_TMP/expected" "the document saved ${what}"
}

# paste_case TEXT EXPECTED [undo]: TEXT pasted below row 1 and saved gives
# EXPECTED; with undo, Ctrl+Z then Ctrl+S gives the document back.
paste_case() {
    local text=$1 expected=$2 undo=${3:-}
    paste_on_row1 "$text"
    e2e_wait_title "$E2E_MAIN" 'doc.kedata*' "Ctrl+V with row 1 selected"
    save_and_expect "$expected" "after the paste"
    if [[ $undo == undo ]]; then
        e2e_key "$E2E_MAIN" ctrl+z
        e2e_wait_title "$E2E_MAIN" 'doc.kedata*' "Ctrl+Z after the paste"
        save_and_expect "$DOCUMENT" "after the Undo"
    fi
    e2e_key "$E2E_MAIN" ctrl+q
    e2e_expect_exit app 0 "Ctrl+Q after saving"
}

# A refused paste leaves the document unchanged: Quit asks nothing.
refused_case() {
    paste_on_row1 "$REFUSED"
    e2e_key "$E2E_MAIN" ctrl+q
    e2e_expect_exit app 0 "Ctrl+Q after a refused paste"
    e2e_write "$E2E_TMP/expected" "$DOCUMENT"
    e2e_expect_bytes "$E2E_TMP/docs/doc.kedata" "$E2E_TMP/expected" "the document after a refused paste"
}

html_cells() {
    timeout 5 xclip -o -selection clipboard -t text/html 2>/dev/null | grep -o '<td>' | wc -l
}

# Ctrl+C on row 1: the plain text is the model text byte for byte, and
# text/html is offered beside it with ten cells.
copy_case() {
    open_document
    e2e_click "$E2E_MAIN" "$E2E_ROW_NUMBER_X" "$(e2e_row_y 1)"
    e2e_key "$E2E_MAIN" ctrl+c
    e2e_write "$E2E_TMP/expected" "$ROW1_TEXT"
    e2e_poll 2 e2e_clipboard_holds "$E2E_TMP/expected" ||
        e2e_fail "after Ctrl+C on row 1 the clipboard holds '$(tr '\r' '|' <"$E2E_TMP/clipboard.now")' (| is CR)"
    local targets
    targets=$(timeout 5 xclip -o -selection clipboard -t TARGETS 2>/dev/null)
    grep -qx 'text/html' <<<"$targets" ||
        e2e_fail "after Ctrl+C on row 1 the clipboard offers no text/html, only: ${targets//$'\n'/ }"
    local cells
    cells=$(html_cells)
    ((cells == 10)) || e2e_fail "the text/html of row 1 has ${cells} cells, not 10: $(timeout 5 xclip -o -selection clipboard -t text/html)"
    timeout 5 xclip -o -selection clipboard -t text/html | grep -q '<td>Acme</td><td>PR-200</td><td>20.56</td>' ||
        e2e_fail "the text/html of row 1 does not begin with its names and Dia"
    e2e_key "$E2E_MAIN" ctrl+q
    e2e_expect_exit app 0 "Ctrl+Q after Copy"
}

#        title                                                   function      text         expected
e2e_case "a spreadsheet's row pasted below row 1, Ctrl+S"       paste_case    "$ONE_ROW"    "$ONE_ROW_BELOW_ROW1"
e2e_case "three rows in one paste, Ctrl+S, one Ctrl+Z, Ctrl+S"  paste_case    "$THREE_ROWS" "$THREE_ROWS_BELOW_ROW1" undo
e2e_case "a header row and a row: the header is skipped"       paste_case    "$HEADER_AND_ROW" "$ONE_ROW_BELOW_ROW1"
e2e_case "a text with a line that is no model changes nothing"  refused_case
e2e_case "Ctrl+C on a row offers text and an HTML table"        copy_case
e2e_finish
