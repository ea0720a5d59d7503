#!/usr/bin/env bash
# Tables as spreadsheets write them, named on the command line: each line is
# one model whatever the quoting, separator, decimal mark, grouping or
# eight-bit text; a line that is not one model is left out and named in one
# alert; Save As then writes the models the file holds. An exported sheet is UTF-8 CSV that Python's csv
# module reads back name for name.
# Usage: spreadsheet_files.sh PATH-TO-KESTRUNE
source "$(dirname -- "${BASH_SOURCE[0]}")/lib.sh"
e2e_init "$@"

HEADER='Manufacturer,Model_Name,Dia(cm),Fp(Hz),Vap(Liter),Qmp,Sd(cm^2),Xmax(mm),Vd(cm^3),Mms(grams)'

# A spreadsheet's CSV: "" inside quotes, a quoted comma, CR LF line ends.
COMMA_TABLE="${HEADER}"'\r\nAcme,"PR 250 ""Pro""",25.4,18,45.1,6.3127,220,12.5,275,95.44\r\n"Bolt, Inc.",B-12,10.5,30,0,0.5,80.126,-3.5,24.001,12\r\nCirrus,C-8,8,42.126,3.5,1.2346,50,2.25,11.5,7.06\r\n'
COMMA_DOCUMENT='Acme,PR 250 "Pro", 25.4, 18, 45.1, 6.3127, 220, 12.5, 275, 95.44\r"Bolt, Inc.",B-12, 10.5, 30, 0, 0.5, 80.126,-3.5, 24.001, 12\rCirrus,C-8, 8, 42.126, 3.5, 1.2346, 50, 2.25, 11.5, 7.06\r'

# Tab-separated text with no header: a UTF-8 name with a comma in it, and an
# empty cell (Fp) that reads as 0. The document holds Mac OS Roman.
TAB_TABLE='\xc3\x85udi\xc3\xb8 T\xc3\xabchnik, GmbH\tAT-10\t20.5\t\t45.1\t6.3\t220\t12.5\t275\t95.4\nBolt\tB 12\t10\t30\t5\t0.5\t80\t3\t24\t12\n'
TAB_DOCUMENT='"\x81udi\xbf T\x91chnik, GmbH",AT-10, 20.5, 0, 45.1, 6.3, 220, 12.5, 275, 95.4\rBolt,B 12, 10, 30, 5, 0.5, 80, 3, 24, 12\r'

# Semicolons and decimal commas, as spreadsheets write them in many locales.
SEMICOLON_TABLE='Manufacturer;Model_Name;Dia(cm);Fp(Hz);Vap(Liter);Qmp;Sd(cm^2);Xmax(mm);Vd(cm^3);Mms(grams)\r\nAcme;PR-1;20,5;18,25;45,1;6,312;220;12,5;275;95,4\r\n"Bolt; Inc.";B-2;10;30;0;0,5;80,13;-3,5;24;12\r\n'
SEMICOLON_DOCUMENT='Acme,PR-1, 20.5, 18.25, 45.1, 6.312, 220, 12.5, 275, 95.4\rBolt; Inc.,B-2, 10, 30, 0, 0.5, 80.13,-3.5, 24, 12\r'

# Lines 2 and 3 are not one model each: too few fields, a unit in a number.
BAD_TABLE='Acme,PR-1,1,2,3,4,5,6,7,8\nAcme,PR-2,1,2,3\nBolt,B-1,12.5 mm,2,3,4,5,6,7,8\nBolt,B-2,1,2,3,4,5,6,7,8\n'
BAD_DOCUMENT='Acme,PR-1, 1, 2, 3, 4, 5, 6, 7, 8\rBolt,B-2, 1, 2, 3, 4, 5, 6, 7, 8\r'

# open_table NAME BYTES: kestrune NAME opens it as an unsaved sheet named after it.
open_table() {
    local table=$1 bytes=$2
    e2e_write "$E2E_TMP/docs/$table" "$bytes"
    e2e_launch app "$E2E_TMP/docs" "$table"
    e2e_wait_main
    e2e_wait_title "$E2E_MAIN" "${table%.*}.kedata*" "opening ${table} from the command line"
}

# save_as: Ctrl+S, a name, Return; the document is saved as
# chosen/catalogue.kedata.
save_as() {
    mkdir -p "$E2E_TMP/chosen"
    e2e_save_as "$E2E_TMP/chosen/catalogue.kedata"
}

quit_after_save() {
    e2e_key "$E2E_MAIN" ctrl+q
    e2e_expect_exit app 0 "Ctrl+Q after Save As"
}

# save_as_and_expect DOCUMENT-BYTES: Save As; the document holds those bytes.
save_as_and_expect() {
    e2e_write "$E2E_TMP/expected" "$1"
    save_as
    e2e_expect_bytes "$E2E_TMP/chosen/catalogue.kedata" "$E2E_TMP/expected" "the saved document"
    quit_after_save
}

# table_case NAME TABLE-BYTES DOCUMENT-BYTES: every line a model, no alert.
table_case() {
    open_table "$1" "$2"
    ! e2e_poll 1 e2e_find_dialog || e2e_fail "importing $1 showed '${E2E_DIALOG_TITLE}'"
    save_as_and_expect "$3"
}

bad_line_case() {
    open_table bad.csv "$BAD_TABLE"
    # Its words are the core's to test; here, that it comes once, over the sheet.
    e2e_wait_dialog "the alert about the lines left out of bad.csv"
    [[ $E2E_DIALOG_TITLE == Kestrune ]] || e2e_fail "importing bad.csv showed '${E2E_DIALOG_TITLE}', not the alert"
    e2e_key "$E2E_DIALOG" Return
    e2e_wait_dialog_gone "Return in the alert"
    ! e2e_poll 1 e2e_find_dialog || e2e_fail "a second window '${E2E_DIALOG_TITLE}' followed the alert"
    save_as_and_expect "$BAD_DOCUMENT"
}

# Files a spreadsheet wrote in each of its dialects (tests/data/spreadsheets).
SHEETS=$(dirname -- "${BASH_SOURCE[0]}")/../data/spreadsheets

# dialect_case FILE [windows-1252]: the file opens without an alert, and
# Save As writes every cell of every row as the spreadsheet held it.
dialect_case() {
    local file=$1 eight_bit=${2:-}
    cp "$SHEETS/$file" "$E2E_TMP/docs/$file"
    e2e_launch app "$E2E_TMP/docs" "$file"
    e2e_wait_main
    e2e_wait_title "$E2E_MAIN" "${file%.*}.kedata*" "opening ${file} from the command line"
    ! e2e_poll 1 e2e_find_dialog || e2e_fail "importing $file showed '${E2E_DIALOG_TITLE}'"
    save_as
    local wrong
    wrong=$(python3 "$(dirname -- "${BASH_SOURCE[0]}")/spreadsheet_cells.py" \
        "$E2E_TMP/chosen/catalogue.kedata" "$SHEETS/radiators.expected.json" $eight_bit) ||
        e2e_fail "the document saved from ${file} differs: ${wrong}"
    quit_after_save
}

# A document with awkward names (Mac OS Roman: \x8e is e acute), exported
# through File, "Export CSV...", read by Python's csv module as UTF-8.
EXPORT_DOCUMENT='"Smith, Jones",PR "9", 25.4, 18.25, 45.1, 6.312, 220, 12.5, 275, 95.4\r" Lead",Caf\x8e, 1, 2, 3, 0.5, 5, 6, 7, 8\r'
EXPORT_ROWS="[['Smith, Jones', 'PR \"9\"', '25.4', '18.25', '45.1', '6.312', '220', '12.5', '275', '95.4'], [' Lead', 'Café', '1', '2', '3', '0.5', '5', '6', '7', '8']]"

# export_case TYPE-KEYS SEPARATOR DECIMAL-MARK EXTENSION: the file type
# chosen by TYPE-KEYS from the file name (none: the first, commas), which
# gives the name its extension, read back by Python with the dialect's
# separator, its numbers with its decimal mark.
export_case() {
    local keys=$1 separator=$2 mark=$3 exported=$E2E_TMP/chosen/export.$4
    mkdir -p "$E2E_TMP/chosen"
    e2e_write "$E2E_TMP/docs/doc.kedata" "$EXPORT_DOCUMENT"
    e2e_launch app "$E2E_TMP/docs" doc.kedata
    e2e_wait_main
    e2e_wait_title "$E2E_MAIN" doc.kedata "opening doc.kedata from the command line"
    # shellcheck disable=SC2086 # the keys are words
    e2e_export_csv "${exported%.*}.csv" "$exported" $keys
    local rows
    rows=$(python3 -c '
import csv, sys
with open(sys.argv[1], encoding="utf-8", newline="") as f:
    rows = [[field.strip().replace(sys.argv[3], ".") if k > 1 else field
             for k, field in enumerate(row)] for row in csv.reader(f, delimiter=sys.argv[2])]
assert rows[0][0] == "Manufacturer", rows[0]
assert all(float(field) == float(field) for row in rows[1:] for field in row[2:])
print(rows[1:])' "$exported" "$separator" "$mark") ||
        e2e_fail "Python could not read the export: $(od -c "$exported" | head)"
    [[ $rows == "$EXPORT_ROWS" ]] || e2e_fail "Python read ${rows}, not ${EXPORT_ROWS}"
    head -c 3 "$exported" | grep -q $'^\xef\xbb\xbf' && e2e_fail "the export begins with a byte-order mark"
    e2e_key "$E2E_MAIN" ctrl+q
    e2e_expect_exit app 0 "Ctrl+Q after the export"
}

e2e_case "spreadsheet CSV: \"\" quoting, CR LF"         table_case data.csv "$COMMA_TABLE" "$COMMA_DOCUMENT"
e2e_case "tab TXT: an empty cell, a UTF-8 name with a comma" table_case table.txt "$TAB_TABLE" "$TAB_DOCUMENT"
e2e_case "semicolons and decimal commas"                table_case euro.csv "$SEMICOLON_TABLE" "$SEMICOLON_DOCUMENT"
e2e_case "lines that are not one model: one alert"      bad_line_case
for sheet in comma.csv semicolon-point.csv semicolon-comma.csv tab-point.txt tab-comma.txt \
    grouped-comma.csv grouped-semicolon-comma.csv; do
    e2e_case "a spreadsheet's ${sheet}, saved cell for cell" dialect_case "$sheet"
done
e2e_case "a spreadsheet's Windows-1252 file, saved cell for cell" dialect_case windows-1252.csv windows-1252
e2e_case "Export CSV... is UTF-8 that Python reads"     export_case "" , . csv
e2e_case "Export CSV... with semicolons and decimal commas" export_case "Tab Down" ";" , csv
e2e_case "Export CSV... as tab-separated text"          export_case "Tab Down Down" $'\t' . txt
e2e_finish
