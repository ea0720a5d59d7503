#!/usr/bin/env bash
# Printing to a PDF file on a machine with no printer: Page Setup is the
# program's own dialog, driven by keys; Print opens the print dialog with
# no alert, its output file is typed in, and the file holds pages turned as
# set up, with the whole table (title and page label too) inside the
# margins.
# Usage: printing.sh PATH-TO-KESTRUNE
source "$(dirname -- "${BASH_SOURCE[0]}")/lib.sh"
e2e_init "$@"

MM=2.834645669 # points

# A document of 45 models, as Kestrune writes them: two pages, names in
# Polish, Czech and Japanese first, and names that reach below the baseline
# on the last line of the first.
document() {
    local i
    printf '\xef\xbb\xbf\xc5\x81\xc3\xb3d\xc5\xba \xc4\x8capek,\xe3\x83\x86\xe3\x82\xb9\xe3\x83\x88, 20.5, 18.25, 45.12, 6.313, 220.04, 12.5, 275, 95.4\r'
    for ((i = 2; i <= 45; i++)); do
        printf 'Maker%d,gjpqy-%d, 20.5, 18.25, 45.12, 6.313, 220.04, 12.5, 275, 95.4\r' "$i" "$i"
    done
}

# pdf_check PDF ORIENTATION TOP-MM OTHER-MM: two pages turned as said, and
# every word of each inside the margins.
pdf_check() {
    local pdf=$1 orientation=$2 top=$3 other=$4 pages size
    pdfinfo "$pdf" >"$E2E_TMP/info" 2>&1 || e2e_fail "pdfinfo cannot read the printed file: $(cat "$E2E_TMP/info")"
    pages=$(awk '/^Pages:/ {print $2}' "$E2E_TMP/info")
    [[ $pages == 2 ]] || e2e_fail "the printed file has ${pages} pages, not 2"
    size=$(awk '/^Page size:/ {print ($5 > $3) ? "portrait" : "landscape"}' "$E2E_TMP/info")
    [[ $size == "$orientation" ]] ||
        e2e_fail "the pages are ${size}, not ${orientation}: $(grep '^Page size' "$E2E_TMP/info")"
    pdftotext -bbox "$pdf" "$E2E_TMP/words.html" || e2e_fail "pdftotext cannot read the printed file"
    grep -q '>Thiele/Small<' "$E2E_TMP/words.html" || e2e_fail "the title is not on the pages"
    grep -q '>Maker45<' "$E2E_TMP/words.html" || e2e_fail "the last model is not on the pages"
    awk -v top="$(awk -v m="$top" -v p="$MM" 'BEGIN {print m * p}')" \
        -v other="$(awk -v m="$other" -v p="$MM" 'BEGIN {print m * p}')" '
        /<page / { match($0, /width="[0-9.]+"/); w = substr($0, RSTART + 7, RLENGTH - 8)
                   match($0, /height="[0-9.]+"/); h = substr($0, RSTART + 8, RLENGTH - 9) }
        /<word / {
            split($0, f, "\"")
            text = $0; sub(/.*">/, "", text); sub(/<.*/, "", text)
            if (f[2] < other || f[4] < top || f[6] > w - other || f[8] > h - other) {
                printf "\"%s\" at %.1f,%.1f-%.1f,%.1f on a page of %s x %s pt\n", text, f[2], f[4], f[6], f[8], w, h
            }
        }' "$E2E_TMP/words.html" >"$E2E_TMP/outside"
    [[ ! -s $E2E_TMP/outside ]] ||
        e2e_fail "words lie outside the margins (top ${top} mm, the others ${other} mm): $(head -n 3 "$E2E_TMP/outside")"
}

# print_case SETUP-KEYS ORIENTATION TOP-MM: Page Setup with those keys (none:
# no Page Setup), then Print to a PDF file.
print_case() {
    local setup=$1 orientation=$2 top=$3 docs=$E2E_TMP/docs pdf=$E2E_TMP/out/sheet.pdf
    mkdir -p "$E2E_TMP/out"
    e2e_write "$docs/Speakers.kedata" '%s' "$(document)"
    e2e_launch app "$docs" Speakers.kedata
    e2e_wait_main
    e2e_wait_title "$E2E_MAIN" Speakers.kedata "opening Speakers.kedata from the command line"

    if [[ -n $setup ]]; then
        e2e_key "$E2E_MAIN" shift+ctrl+p
        e2e_wait_dialog "Shift+Ctrl+P"
        [[ $E2E_DIALOG_TITLE == "Page Setup" ]] ||
            e2e_fail "Shift+Ctrl+P opened '${E2E_DIALOG_TITLE}', not Page Setup"
        # shellcheck disable=SC2086 # the keys are words
        e2e_key "$E2E_DIALOG" $setup
        e2e_wait_dialog_gone "Return in Page Setup"
    fi

    e2e_key "$E2E_MAIN" ctrl+p
    e2e_wait_dialog "Ctrl+P"
    [[ $E2E_DIALOG_TITLE == "Print" ]] ||
        e2e_fail "Ctrl+P showed '${E2E_DIALOG_TITLE}', not the print dialog (an alert about printers?)"
    # With no printer, the dialog offers the PDF file; Alt+F is its name.
    e2e_key "$E2E_DIALOG" alt+f ctrl+a
    e2e_type "$E2E_DIALOG" "$pdf"
    e2e_key "$E2E_DIALOG" Return
    e2e_wait_dialog_gone "Return in the print dialog (an alert after printing?)"
    e2e_poll "$E2E_WINDOW_TIMEOUT" test -s "$pdf" || e2e_fail "nothing was printed to ${pdf##*/}"
    e2e_poll "$E2E_WINDOW_TIMEOUT" pdfinfo "$pdf" >/dev/null 2>&1 ||
        e2e_fail "the printed file never became a whole PDF"
    pdf_check "$pdf" "$orientation" "$top" 3.52 # the printer's own 10 points
    pdftotext "$pdf" - | grep -q 'Łódź Čapek' || e2e_fail "the printed file lacks the Polish and Czech name"
    pdftotext "$pdf" - | grep -q 'テスト' || e2e_fail "the printed file lacks the Japanese name"
    cp -f "$pdf" "${E2E_KEEP_PDF:-/dev/null}" 2>/dev/null || true

    e2e_key "$E2E_MAIN" ctrl+q
    e2e_expect_exit app 0 "Ctrl+Q after printing"
}

#        title                                                      case       Page Setup keys             pages are top mm
e2e_case "Page Setup: portrait, 20 mm top margin; Print to PDF"  print_case "alt+p alt+t ctrl+a 2 0 Return" portrait  20
e2e_case "no Page Setup: landscape as the printer has it"        print_case ""                             landscape 3.52
e2e_finish
