#!/usr/bin/env bash
# Sorting a large catalogue through the Sort menu and its keys, saved each
# time: the file holds the rows in the order chosen, every byte of every row
# as it was, and "Unsort" brings back the order the document was read in.
# The catalogue is large enough for the sort to share its work between two
# threads, and its Fp values repeat, so rows with equal keys must keep their
# order. The expected files are made here, by Python's stable sort.
# Usage: sort.sh PATH-TO-KESTRUNE
source "$(dirname -- "${BASH_SOURCE[0]}")/lib.sh"
e2e_init "$@"
command -v python3 >/dev/null || {
    echo "missing tools: python3 (tools/bootstrap installs it)" >&2
    exit 2
}

ROWS=40000

# Writes the catalogue as the program itself writes it (CR line ends, a
# space before a positive number, no trailing zeros), and the three orders
# a user asks for below: by Fp ascending, by Fp descending, back to the
# load order.
make_catalogue() {
    python3 - "$1" "$ROWS" <<'PY'
import random, sys

folder, rows = sys.argv[1], int(sys.argv[2])
rng = random.Random(11)

def text(value):
    # The shortest of 2 or 3 decimals without trailing zeros, as written.
    s = ("%.3f" % value).rstrip("0").rstrip(".")
    return s if s.startswith("-") else " " + s

lines = []
for i in range(rows):
    fp = rng.choice([-2.5, 0.25]) if i % 997 == 0 else rng.randrange(40, 400) / 4
    fields = ["Maker %d" % (i % 37), "PR-%d" % i,
              text(rng.randrange(20, 240) / 4), text(fp), text(rng.randrange(1, 3600) / 4),
              text(rng.randrange(1, 16000) / 8), text(rng.randrange(8, 10000) / 4),
              text(rng.randrange(8, 160) / 4), text(rng.randrange(8, 36000) / 4),
              text(rng.randrange(10, 9000))]
    lines.append((fp, ",".join(fields) + "\r"))

def save(name, ordered):
    with open(folder + "/" + name, "w", newline="") as f:
        f.write("".join(line for _, line in ordered))

save("doc.kedata", lines)
save("load_order", lines)
save("fp_ascending", sorted(lines, key=lambda e: e[0]))
save("fp_descending", sorted(lines, key=lambda e: e[0], reverse=True))
PY
}

# choose_sort_item N: the N-th item of the Sort menu, chosen with the
# keyboard: Alt to the menu bar, right to Sort, down to the item.
choose_sort_item() {
    local item=$1 downs=()
    e2e_key "$E2E_MAIN" alt Right Right Right Down
    e2e_wait_dialog "the Sort menu opened from the keyboard"
    for ((; item > 1; item--)); do
        downs+=(Down)
    done
    # The open menu has the keyboard: the keys go to it as they are.
    xdotool key --delay 40 "${downs[@]}" Return || e2e_fail "xdotool could not choose Sort item $1"
    e2e_wait_dialog_gone "choosing Sort item $1"
}

# save_and_expect EXPECTED WHAT: Ctrl+S, then the document holds those bytes.
# A difference is told by its row, not shown whole: the files are large.
save_and_expect() {
    local expected=$E2E_TMP/$1 what=$2 doc=$E2E_TMP/docs/doc.kedata
    e2e_wait_title "$E2E_MAIN" "doc.kedata*" "${what} marks the sheet changed"
    e2e_key "$E2E_MAIN" ctrl+s
    e2e_wait_title "$E2E_MAIN" doc.kedata "Ctrl+S after ${what}"
    cmp -s -- "$doc" "$expected" && return 0
    local byte row
    byte=$(cmp -- "$doc" "$expected" 2>&1 | grep -o 'byte [0-9]*' | grep -o '[0-9]*')
    [[ -n $byte ]] || e2e_fail "the document saved after ${what} ends early or goes on too long"
    row=$(($(head -c "$byte" -- "$doc" | tr -cd '\r' | wc -c) + 1))
    e2e_fail "the document saved after ${what} differs from row ${row} on: $(tr '\r' '\n' <"$doc" | sed -n "${row}p") instead of $(tr '\r' '\n' <"$expected" | sed -n "${row}p")"
}

sort_case() {
    local docs=$E2E_TMP/docs
    make_catalogue "$E2E_TMP"
    mv "$E2E_TMP/doc.kedata" "$docs/doc.kedata"
    e2e_launch app "$docs" doc.kedata
    e2e_wait_main
    e2e_wait_title "$E2E_MAIN" doc.kedata "opening a catalogue of ${ROWS} models"

    choose_sort_item 3 # Fp, in the direction checked: Ascending
    save_and_expect fp_ascending "Sort > Fp"
    e2e_key "$E2E_MAIN" ctrl+d
    save_and_expect fp_descending "Sort > Descending (Ctrl+D) with Fp the key"
    e2e_key "$E2E_MAIN" ctrl+u
    save_and_expect load_order "Sort > Unsort (Ctrl+U)"

    e2e_key "$E2E_MAIN" ctrl+q
    e2e_expect_exit app 0 "Ctrl+Q after the saves"
    e2e_expect_instances 0 "after Quit"
}

e2e_case "Sort by Fp, Unsort and Descending on ${ROWS} models, each saved" sort_case
e2e_finish
