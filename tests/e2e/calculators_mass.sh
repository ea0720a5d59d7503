#!/usr/bin/env bash
# The Mms and Add Mass calculators on the real program. Ctrl+5 on a row,
# a new Vap typed, Alt+Return and Return write the moving mass that Vap
# implies into the row, which Ctrl+S saves; Ctrl+6 on a row, the box
# tuning chosen and filled in, and "Copy Results" gives other programs the
# inputs and results as text, while the row stays as it was. The expected
# values are worked out here, in Python, from the physics.
# Usage: calculators_mass.sh PATH-TO-KESTRUNE
# E2E_SHOTS=DIR keeps a screenshot of each calculator window.
source "$(dirname -- "${BASH_SOURCE[0]}")/lib.sh"
e2e_init "$@"
e2e_require python3

# Manufacturer, Model Name, Dia, Fp, Vap, Qmp, Sd, Xmax, Vd, Mms.
DOCUMENT='Acme,PR-200, 20.5, 18.25, 45.1, 6.312, 220.04, 12.5, 275, 95.4\rBeta,X-1, 10, 30, 5, 0.5, 80, 3, 24, 12\r'

# Places in the Add Mass window, from its top-left corner.
BOX_TUNING_RADIO=(180 210)
COPY_RESULTS_BUTTON=(260 496)

open_document() {
    e2e_write "$E2E_TMP/docs/doc.kedata" "$DOCUMENT"
    e2e_launch app "$E2E_TMP/docs" doc.kedata
    e2e_wait_main
    e2e_wait_title "$E2E_MAIN" doc.kedata "opening doc.kedata from the command line"
}

shoot() {
    [[ -n ${E2E_SHOTS:-} ]] || return 0
    mkdir -p "$E2E_SHOTS"
    import -window root "$E2E_SHOTS/$1.png" 2>/dev/null || true
}

# open_calculator ROW KEY TITLE: selects a cell of ROW, presses KEY, and the
# calculator titled TITLE comes up (its id in E2E_DIALOG).
open_calculator() {
    local row=$1 key=$2 title=$3
    e2e_click "$E2E_MAIN" "$E2E_MODEL_NAME_X" "$(e2e_row_y "$row")"
    e2e_key "$E2E_MAIN" "$key"
    e2e_wait_dialog "${key} on row ${row}"
    [[ $E2E_DIALOG_TITLE == "$title" ]] || e2e_fail "${key} opened '${E2E_DIALOG_TITLE}', not '${title}'"
}

# click_in WINDOW X Y: a left click at X, Y of a window without a menu bar.
click_in() {
    timeout 5 xdotool mousemove --window "$1" "$2" "$3" click 1 2>"$E2E_TMP/xdotool.err" ||
        e2e_fail "could not click at $2,$3 of window $1: $(cat "$E2E_TMP/xdotool.err")"
}

mms_case() {
    open_document
    open_calculator 1 ctrl+5 "Mms Calculate ''PR-200''"
    # The focus starts in Fp; Tab goes on to Vap with its text selected.
    e2e_key "$E2E_DIALOG" Tab
    e2e_type "$E2E_DIALOG" "38,5"
    e2e_key "$E2E_DIALOG" alt+Return
    shoot mms
    e2e_find_dialog || e2e_fail "Alt+Return closed the Mms calculator"
    e2e_key "$E2E_DIALOG" Return
    e2e_wait_dialog_gone "Return in the Mms calculator"
    e2e_wait_title "$E2E_MAIN" "doc.kedata*" "Return in the Mms calculator marks the sheet changed"
    e2e_key "$E2E_MAIN" ctrl+s
    e2e_wait_title "$E2E_MAIN" doc.kedata "Ctrl+S after the Mms calculator"

    # Vap = rho c² Sd² / ((2 pi Fp)² Mms), with the program's constant
    # rho c² 1000 / (4 pi²) = 3557630 for Liter from m², Hz and kg; solved
    # for Mms, in grams, kept to a tenth. The window starts from the row's
    # values as their cells edit them: Sd to a tenth.
    python3 - "$E2E_TMP/expected" "$DOCUMENT" <<'PY'
import sys
out, document = sys.argv[1], sys.argv[2].replace("\\r", "\r")
rows = [line.split(",") for line in document.split("\r") if line]
fp, vap, sd = 18.25, 38.5, round(220.04, 1)
mms = 3557630.0 * (sd / 1e4) ** 2 / (fp ** 2 * vap) * 1000.0
rows[0][9] = " " + ("%.1f" % mms).rstrip("0").rstrip(".")
with open(out, "w", newline="") as f:
    f.write("".join(",".join(r) + "\r" for r in rows))
PY
    e2e_expect_bytes "$E2E_TMP/docs/doc.kedata" "$E2E_TMP/expected" "the document saved after the Mms calculator"
}

add_mass_case() {
    open_document
    open_calculator 2 ctrl+6 "Add Mass Calculate ''X-1''"
    click_in "$E2E_DIALOG" "${BOX_TUNING_RADIO[@]}"
    # From Fp: Tab to Mms, Vap, the radiators, then (the free-air target
    # is out of use in a box) the box's volume and tuning, the driver's Vd.
    e2e_key "$E2E_DIALOG" Tab Tab Tab
    e2e_type "$E2E_DIALOG" 2
    e2e_key "$E2E_DIALOG" Tab
    e2e_type "$E2E_DIALOG" 12,5
    e2e_key "$E2E_DIALOG" Tab
    e2e_type "$E2E_DIALOG" 22
    e2e_key "$E2E_DIALOG" Tab
    e2e_type "$E2E_DIALOG" 40
    click_in "$E2E_DIALOG" "${COPY_RESULTS_BUTTON[@]}"
    shoot add_mass

    # Each radiator's suspension is as stiff as Vap of air; the N radiators
    # share the box's Vb, so each is stiffened by N Vap / Vb more, and the
    # mass m that tunes the box to Fb gives Fb = Fp sqrt((1 + N Vap / Vb)
    # Mms / (Mms + m)).
    python3 - "$E2E_TMP/expected" <<'PY'
import math, sys
fp, mms, vap, vd = 30.0, 12.0, 5.0, 24.0
n, vb, fb, driver = 2, 12.5, 22.0, 40.0
m = (1 + n * vap / vb) * mms * (fp / fb) ** 2 - mms
loaded = fp * math.sqrt(mms / (mms + m))
assert abs(loaded * math.sqrt(1 + n * vap / vb) - fb) < 1e-9
def plain(x, decimals):
    return ("%.*f" % (decimals, x)).rstrip("0").rstrip(".")
lines = [
    "Model: Beta X-1",
    "Fp: 30 Hz",
    "Mms: 12 g",
    "Vap: 5 Liter",
    "Passive radiators: 2",
    "Box volume Vb: 12.5 Liter",
    "Box tuning Fb: 22 Hz",
    "Added mass per radiator: %.1f g" % m,
    "Resulting Fp: %s Hz" % plain(loaded, 2),
    "Total Vd: %s cm^3" % plain(n * vd, 2),
    "Driver Vd: 40 cm^3",
    "Total Vd / driver Vd: %s" % plain(n * vd / driver, 2),
]
with open(sys.argv[1], "w", newline="") as f:
    f.write("\n".join(lines) + "\n")
PY
    e2e_poll 2 e2e_clipboard_holds "$E2E_TMP/expected" || {
        diff "$E2E_TMP/expected" "$E2E_TMP/clipboard.now" >&2
        e2e_fail "Copy Results did not put the expected text on the clipboard"
    }

    # OK writes nothing: the row describes the radiator as sold.
    e2e_key "$E2E_DIALOG" Return
    e2e_wait_dialog_gone "Return in the Add Mass calculator"
    e2e_title_is "$E2E_MAIN" doc.kedata || e2e_fail "the Add Mass calculator marked the sheet changed"
    e2e_key "$E2E_MAIN" ctrl+q
    e2e_expect_exit app 0 "Ctrl+Q after the Add Mass calculator"
    e2e_write "$E2E_TMP/expected" "$DOCUMENT"
    e2e_expect_bytes "$E2E_TMP/docs/doc.kedata" "$E2E_TMP/expected" "the document after the Add Mass calculator"
}

e2e_case "Ctrl+5 with a new Vap writes the implied Mms, Ctrl+S saves it" mms_case
e2e_case "Ctrl+6 in a box: Copy Results, and the row stays" add_mass_case
e2e_finish
