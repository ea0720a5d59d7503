#!/usr/bin/env bash
# Sorting by name, Find and Check Parameters on a catalogue as users keep it:
# names typed in any case, accented makers, model numbers of any length.
# Every order and every row expected is worked out here, in Python, by rules
# of its own: names ordered by their letters without regard to case or
# accents, digits by value, then by accents, then by case, ties in file
# order; a Vap more than 10 % or a Vd more than 5 % from what Fp, Mms, Sd
# and Xmax give is planted and found.
# Usage: catalogue_tools.sh PATH-TO-KESTRUNE
source "$(dirname -- "${BASH_SOURCE[0]}")/lib.sh"
e2e_init "$@"
e2e_require python3

ROWS=20000

make_catalogue() {
    python3 - "$1" "$ROWS" <<'PY'
import random, re, sys, unicodedata

folder, rows = sys.argv[1], int(sys.argv[2])
rng = random.Random(5)
makers = ["Acme", "acme", "ACME Audio", "Éton", "Eton", "Èta", "Zeta", "Øre", "Ore", "Bolt"]

def text(value):
    s = ("%.3f" % value).rstrip("0").rstrip(".")
    return s if s.startswith("-") else " " + s

def vap_of(fp, mms, sd):
    return 3557630.0 * (sd / 10000.0) ** 2 / (fp * fp * mms / 1000.0)

rows_out, planted = [], []
for i in range(rows):
    maker = rng.choice(makers)
    model = rng.choice(["PR-", "pr-", "Pr ", "PR-0"]) + str(rng.randrange(0, 400))
    if rng.random() < 0.2:
        model += rng.choice(["a", "B", "é"])
    fp, mms, sd, xmax = rng.randrange(40, 120) / 4, rng.randrange(80, 4000) / 10, \
        rng.randrange(200, 4000) / 4, rng.randrange(8, 80) / 4
    # Vap and Vd as the program keeps them: to two decimals.
    vap, vd = round(vap_of(fp, mms, sd), 2), round(sd * xmax / 10, 2)
    kind = ""
    if i % 1999 == 7:
        vap, kind = round(vap * 1.5, 2), "Vap"
    elif i % 2503 == 11:
        vd, kind = round(vd * 0.8, 2), "Vd"
    if kind:
        planted.append((i + 1, kind, vap if kind == "Vap" else vd))
    fields = [maker, model, text(rng.randrange(20, 240) / 4), text(fp), text(vap),
              text(rng.randrange(1, 16000) / 8), text(sd), text(xmax), text(vd), text(mms)]
    rows_out.append((maker, model, ",".join(fields) + "\r"))

def weights(name):
    # As the root collation orders these names: base letters without case or
    # accents, digit runs by value (leading zeros weigh nothing); then
    # accents; then case, lower first.
    primary, accents, cases = [], [], []
    for token in re.findall(r"\d+|\D", name):
        if token.isdigit():
            stripped = token.lstrip("0")
            primary.append((0x30, len(stripped), stripped))
            continue
        base = unicodedata.normalize("NFD", token)[0]
        if token in "\u00D8\u00F8":
            base = "o"
        primary.append((ord(base.lower()),) if base.isalpha() else (ord(token),))
        accents.append(0 if base == token else 1)
        cases.append(1 if token.isupper() else 0)
    return primary, accents, cases

def save(name, ordered):
    with open(folder + "/" + name, "wb") as f:
        f.write("".join(line for _, _, line in ordered).encode("mac_roman"))

save("doc.kedata", rows_out)
by_model = sorted(rows_out, key=lambda r: weights(r[1]))
save("model_ascending", by_model)
# The sheet sorts what it shows: Descending first turns the order by model
# round, then makers that tie keep that order.
by_model_down = sorted(by_model, key=lambda r: weights(r[1]), reverse=True)
save("maker_descending", sorted(by_model_down, key=lambda r: weights(r[0]), reverse=True))
with open(folder + "/planted", "w") as f:
    for row, kind, value in planted:
        f.write("%d %s %s\n" % (row, kind, text(value).strip()))
PY
}

open_catalogue() {
    make_catalogue "$E2E_TMP"
    mv "$E2E_TMP/doc.kedata" "$E2E_TMP/docs/doc.kedata"
    cp "$E2E_TMP/docs/doc.kedata" "$E2E_TMP/original"
    e2e_launch app "$E2E_TMP/docs" doc.kedata
    e2e_wait_main
    e2e_wait_title "$E2E_MAIN" doc.kedata "opening a catalogue of ${ROWS} models"
}

# copied_cell: Ctrl+C on the selected cell, and what it put on the clipboard.
copied_cell() {
    e2e_key "$E2E_MAIN" ctrl+c
    sleep 0.2
    e2e_clipboard_to "$E2E_TMP/cell"
    sed 's/^ *//; s/ *$//' "$E2E_TMP/cell"
}

sort_case() {
    open_catalogue
    e2e_choose_sort_item 13 # Model Name, ascending
    e2e_save_and_expect model_ascending "Sort > Model Name"
    e2e_choose_sort_item 11 # Descending
    e2e_choose_sort_item 12 # Manufacturer
    e2e_save_and_expect maker_descending "Sort > Manufacturer, descending"
    e2e_key "$E2E_MAIN" ctrl+u
    e2e_save_and_expect original "Sort > Unsort"
    e2e_key "$E2E_MAIN" ctrl+q
    e2e_expect_exit app 0 "Ctrl+Q after the sorts"
}

find_and_check_case() {
    open_catalogue
    e2e_click "$E2E_MAIN" "$E2E_MODEL_NAME_X" "$(e2e_row_y 1)"
    # Find: the only model with this name lies far down the catalogue.
    local target
    target=$(python3 -c "import sys; rows=open(sys.argv[1],'rb').read().decode('mac_roman').split('\r'); names=[r.split(',')[1] for r in rows if r]; import collections, unicodedata; fold=lambda n: \"\".join(ch for ch in unicodedata.normalize(\"NFD\", n.lower()) if not unicodedata.combining(ch)); c=collections.Counter(fold(n) for n in names); print(next(n for n in reversed(names) if c[fold(n)]==1))" "$E2E_TMP/original")
    e2e_key "$E2E_MAIN" ctrl+f
    e2e_type "$E2E_MAIN" "${target^^}"
    e2e_key "$E2E_MAIN" Return Escape
    [[ $(copied_cell) == "$target" ]] ||
        e2e_fail "Find '${target^^}' selected '$(cat "$E2E_TMP/cell")', not '${target}'"

    # Check Parameters walks exactly the planted rows, from the first on.
    e2e_key "$E2E_MAIN" ctrl+Home
    local row kind value got
    while read -r row kind value; do
        e2e_key "$E2E_MAIN" ctrl+k
        got=$(copied_cell)
        [[ $got == "$value" ]] ||
            e2e_fail "Ctrl+K should have selected the ${kind} of row ${row} (${value}), the cell copied holds '${got}'"
    done <"$E2E_TMP/planted"
    # And then it wraps to the first one again.
    e2e_key "$E2E_MAIN" ctrl+k
    read -r row kind value <"$E2E_TMP/planted"
    [[ $(copied_cell) == "$value" ]] || e2e_fail "Ctrl+K did not wrap to row ${row}"

    # Nothing of it changed the document: Quit asks nothing, the bytes stay.
    e2e_key "$E2E_MAIN" ctrl+q
    e2e_expect_exit app 0 "Ctrl+Q after Find and Check Parameters"
    e2e_expect_bytes "$E2E_TMP/docs/doc.kedata" "$E2E_TMP/original" "the document after Find and Ctrl+K"
}

e2e_case "Sort by Model Name and Manufacturer on ${ROWS} models, each saved" sort_case
e2e_case "Find and Check Parameters on ${ROWS} models" find_and_check_case
e2e_finish
