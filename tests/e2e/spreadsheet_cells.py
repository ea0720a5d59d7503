"""Usage: spreadsheet_cells.py DOCUMENT EXPECTED.json [windows-1252]: whether a
saved document (UTF-8 behind a byte-order mark, else Mac OS Roman) holds every
cell the spreadsheet held, names as the eight-bit text can hold them."""
import csv
import json
import sys

document, expected_path = sys.argv[1], sys.argv[2]
eight_bit = sys.argv[3] if len(sys.argv) > 3 else None

raw = open(document, "rb").read()
text = raw[3:].decode("utf-8") if raw.startswith(b"\xef\xbb\xbf") else raw.decode("mac_roman")
rows = list(csv.reader(line for line in text.split("\r") if line))
expected = json.load(open(expected_path, encoding="utf-8"))["rows"]
held = (lambda name: name) if eight_bit is None else (
    lambda name: name.encode(eight_bit, errors="replace").decode(eight_bit))
wrong = []
if len(rows) != len(expected):
    wrong.append("%d rows, %d expected" % (len(rows), len(expected)))
for number, (row, cells) in enumerate(zip(rows, expected), 1):
    want = [held(cells[0]), held(cells[1])] + [0.0 if c is None else float(c) for c in cells[2:]]
    got = row[:2] + [float(field) for field in row[2:]]
    if got != want:
        wrong.append("row %d: %r, expected %r" % (number, got, want))
print("\n".join(wrong))
sys.exit(1 if wrong else 0)
