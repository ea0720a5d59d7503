#!/usr/bin/env bash
# A table from a spreadsheet named on the command line opens as an unsaved
# sheet; Ctrl+S asks for a name (proposing the table's name with the
# document extension), writes the document byte for byte, and Ctrl+Q then
# ends the program with status 0.
# Usage: csv_save_as.sh PATH-TO-KESTRUNE
source "$(dirname -- "${BASH_SOURCE[0]}")/lib.sh"
e2e_init "$@"

HEADER='Manufacturer,Model_Name,Dia(cm),Fp(Hz),Vap(Liter),Qmp,Sd(cm^2),Xmax(mm),Vd(cm^3),Mms(grams)'

# A spreadsheet's export: header, commas, a quoted name, LF line ends. The
# numbers carry more decimals than a document writes of its own (Qmp 3,
# Mms 1, the others 2), which it keeps as they were given, and trailing
# zeros it drops.
COMMA_TABLE="${HEADER}"'\nAcme,PR-200,20.5,18.254,45.1234,6.3127,220.04,12.5,275,95.44\n"Bolt, Inc.",B 12,10.50,30,0,0.5,80.126,-3.5,24.001,12\n'
COMMA_DOCUMENT='Acme,PR-200, 20.5, 18.254, 45.1234, 6.3127, 220.04, 12.5, 275, 95.44\r"Bolt, Inc.",B 12, 10.5, 30, 0, 0.5, 80.126,-3.5, 24.001, 12\r'

# A tab-separated text file with no header and CR LF line ends.
TAB_TABLE='Cirrus\tC-8\t8\t42.126\t3.5\t1.2346\t50\t2.25\t11.5\t7.06\r\n'
TAB_DOCUMENT='Cirrus,C-8, 8, 42.126, 3.5, 1.2346, 50, 2.25, 11.5, 7.06\r'

# csv_case TABLE-NAME TABLE-BYTES PROPOSED-NAME DOCUMENT-BYTES
csv_case() {
    local table=$1 table_bytes=$2 proposed=$3 document_bytes=$4
    local docs=$E2E_TMP/docs target=$E2E_TMP/chosen/catalogue.kedata
    mkdir -p "$E2E_TMP/chosen"
    e2e_write "$docs/$table" "$table_bytes"
    e2e_write "$E2E_TMP/expected" "$document_bytes"
    e2e_write "$E2E_TMP/proposed" '%s' "$proposed"

    e2e_launch app "$docs" "$table"
    e2e_wait_main
    e2e_wait_title "$E2E_MAIN" "${proposed}*" "opening ${table} from the command line (an unsaved sheet named after it)"

    e2e_key "$E2E_MAIN" ctrl+s
    e2e_poll "$E2E_WINDOW_TIMEOUT" e2e_find_dialog ||
        e2e_fail "Ctrl+S on the sheet of ${table} opened no Save As dialog (File > Save did nothing)"
    [[ $E2E_DIALOG_TITLE == "Save This File As..." ]] ||
        e2e_fail "Ctrl+S opened '${E2E_DIALOG_TITLE}', not the Save As dialog"
    # The name field has the keyboard; its text travels out through the clipboard.
    e2e_key "$E2E_DIALOG" ctrl+a ctrl+c
    e2e_poll 2 e2e_clipboard_holds "$E2E_TMP/proposed" ||
        e2e_fail "the Save As dialog proposes '$(cat "$E2E_TMP/clipboard.now")', not '${proposed}'"
    e2e_key "$E2E_DIALOG" ctrl+a
    e2e_type "$E2E_DIALOG" "$target"
    e2e_key "$E2E_DIALOG" Return
    e2e_wait_dialog_gone "Return in the Save As dialog"
    e2e_poll "$E2E_WINDOW_TIMEOUT" test -e "$target" ||
        e2e_fail "nothing was written to ${target##*/} after the Save As dialog"
    e2e_wait_title "$E2E_MAIN" catalogue.kedata "the sheet after Save As"
    e2e_expect_bytes "$target" "$E2E_TMP/expected" "the saved document"
    [[ -z $(find "$E2E_TMP/chosen" -mindepth 1 ! -name catalogue.kedata) ]] ||
        e2e_fail "Save As left other files in the folder: $(ls -A "$E2E_TMP/chosen")"

    e2e_key "$E2E_MAIN" ctrl+q
    e2e_expect_exit app 0 "Ctrl+Q after Save As"
    e2e_expect_bytes "$target" "$E2E_TMP/expected" "the saved document after Quit"
}

#        title                                          table      bytes         proposed name     document
e2e_case "CSV with a header, Ctrl+S, Save As, Ctrl+Q"  csv_case data.csv  "$COMMA_TABLE" data.kedata  "$COMMA_DOCUMENT"
e2e_case "tab-separated TXT, Ctrl+S, Save As, Ctrl+Q"  csv_case table.txt "$TAB_TABLE"   table.kedata "$TAB_DOCUMENT"
e2e_finish
