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

sort_case() {
    local docs=$E2E_TMP/docs
    make_catalogue "$E2E_TMP"
    mv "$E2E_TMP/doc.kedata" "$docs/doc.kedata"
    e2e_launch app "$docs" doc.kedata
    e2e_wait_main
    e2e_wait_title "$E2E_MAIN" doc.kedata "opening a catalogue of ${ROWS} models"

    e2e_choose_sort_item 3 # Fp, in the direction checked: Ascending
    e2e_save_and_expect fp_ascending "Sort > Fp"
    e2e_key "$E2E_MAIN" ctrl+d
    e2e_save_and_expect fp_descending "Sort > Descending (Ctrl+D) with Fp the key"
    e2e_key "$E2E_MAIN" ctrl+u
    e2e_save_and_expect load_order "Sort > Unsort (Ctrl+U)"

    e2e_key "$E2E_MAIN" ctrl+q
    e2e_expect_exit app 0 "Ctrl+Q after the saves"
    e2e_expect_instances 0 "after Quit"
}

e2e_case "Sort by Fp, Unsort and Descending on ${ROWS} models, each saved" sort_case
e2e_finish
