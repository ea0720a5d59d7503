#!/usr/bin/env bash
# Names in every script: a UTF-8 table imported, a name typed with the
# keyboard and a row pasted from another program keep their characters
# through Save As (a UTF-8 document behind a byte-order mark), a copy to
# the clipboard, a reopen and an export that Python reads.
# Usage: names_in_every_script.sh PATH-TO-KESTRUNE
source "$(dirname -- "${BASH_SOURCE[0]}")/lib.sh"
e2e_init "$@"

# As a spreadsheet saves UTF-8 CSV: a byte-order mark, a header, CR LF.
TABLE='\xef\xbb\xbfManufacturer,Model_Name,Dia(cm),Fp(Hz),Vap(Liter),Qmp,Sd(cm^2),Xmax(mm),Vd(cm^3),Mms(grams)\r\nKōbe Onkyō,テスト,1,2,3,4,5,6,7,8\r\n"Łódź Audio Works",PR-Ł1,1,2,3,4,5,6,7,8\r\nČapek Sound,Č-3,1,2,3,4,5,6,7,8\r\n'
TYPED='Ωmega Ήχος'
PASTED='Żywiec Głośniki\tŻ-7\t1\t2\t3\t4\t5\t6\t7\t8\n'
DOCUMENT='\xef\xbb\xbfKōbe Onkyō,テスト, 1, 2, 3, 4, 5, 6, 7, 8\rŁódź Audio Works,PR-Ł1, 1, 2, 3, 4, 5, 6, 7, 8\rČapek Sound,Ωmega Ήχος, 1, 2, 3, 4, 5, 6, 7, 8\rŻywiec Głośniki,Ż-7, 1, 2, 3, 4, 5, 6, 7, 8\r'
EXPORT_NAMES="[['Kōbe Onkyō', 'テスト'], ['Łódź Audio Works', 'PR-Ł1'], ['Čapek Sound', 'Ωmega Ήχος'], ['Żywiec Głośniki', 'Ż-7']]"

every_script_case() {
    local saved=$E2E_TMP/chosen/names.kedata
    mkdir -p "$E2E_TMP/chosen"
    e2e_write "$E2E_TMP/docs/names.csv" "$TABLE"
    e2e_launch app "$E2E_TMP/docs" names.csv
    e2e_wait_main
    e2e_wait_title "$E2E_MAIN" "names.kedata*" "importing names.csv"

    # Typed into row 3's Model Name, then Return stores it.
    e2e_click "$E2E_MAIN" "$E2E_MODEL_NAME_X" "$(e2e_row_y 3)"
    e2e_key "$E2E_MAIN" ctrl+a
    e2e_type "$E2E_MAIN" "$TYPED"
    e2e_key "$E2E_MAIN" Return

    # A row from another program pasted below row 3.
    e2e_write "$E2E_TMP/offered" "$PASTED"
    e2e_offer_clipboard "$E2E_TMP/offered"
    e2e_click "$E2E_MAIN" "$E2E_ROW_NUMBER_X" "$(e2e_row_y 3)"
    e2e_key "$E2E_MAIN" ctrl+v

    e2e_save_as "$saved"
    e2e_write "$E2E_TMP/expected" "$DOCUMENT"
    e2e_expect_bytes "$saved" "$E2E_TMP/expected" "the saved document"

    # Row 1 copied (the pasted row 4 is selected; Ctrl+Home goes to row 1):
    # the model text other programs read, every character kept.
    e2e_key "$E2E_MAIN" ctrl+Home ctrl+c
    e2e_poll "$E2E_WINDOW_TIMEOUT" bash -c 'timeout 5 xclip -o -selection clipboard 2>/dev/null | grep -q "^Kōbe Onkyō  テスト  "' ||
        e2e_fail "the clipboard holds $(timeout 5 xclip -o -selection clipboard 2>/dev/null | od -c | head -3)"
    e2e_key "$E2E_MAIN" ctrl+q
    e2e_expect_exit app 0 "Ctrl+Q after saving"

    # Reopened and exported: Python reads the same names.
    e2e_launch again "$E2E_TMP/chosen" names.kedata
    e2e_wait_main
    e2e_wait_title "$E2E_MAIN" names.kedata "reopening names.kedata"
    e2e_export_csv "$E2E_TMP/chosen/names.csv" "$E2E_TMP/chosen/names.csv"
    local names
    names=$(python3 -c '
import csv, sys
with open(sys.argv[1], encoding="utf-8", newline="") as f:
    print([row[:2] for row in list(csv.reader(f))[1:]])' "$E2E_TMP/chosen/names.csv") ||
        e2e_fail "Python could not read the export"
    [[ $names == "$EXPORT_NAMES" ]] || e2e_fail "Python read ${names}, not ${EXPORT_NAMES}"
    e2e_key "$E2E_MAIN" ctrl+q
    e2e_expect_exit again 0 "Ctrl+Q after the export"
}

e2e_case "Japanese, Polish, Czech and Greek names imported, typed, pasted, saved, copied, reopened, exported" every_script_case
e2e_finish
