"""Makes a large catalogue out of a small one by writing its rows over and
over, and the same rows as a stable sort by Fp leaves them: rows with equal
Fp keep their order, so each Fp's rows come copy by copy.

Usage: replicated_catalogue.py FOLDER COPIES; reads FOLDER/load_order (see
catalogue.py), writes FOLDER/big.kedata and FOLDER/big_fp_ascending.
"""
import sys

folder, copies = sys.argv[1], int(sys.argv[2])
with open(folder + "/load_order", "rb") as f:
    rows = [row + b"\r" for row in f.read().split(b"\r")[:-1]]

by_fp = {}
for row in rows:
    by_fp.setdefault(float(row.split(b",")[3]), []).append(row)

with open(folder + "/big.kedata", "wb") as f:
    block = b"".join(rows)
    for _ in range(copies):
        f.write(block)
with open(folder + "/big_fp_ascending", "wb") as f:
    for fp in sorted(by_fp):
        f.write(b"".join(by_fp[fp]) * copies)
