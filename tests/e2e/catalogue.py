"""Writes a random catalogue as the program itself writes its documents (CR
line ends, a space before a positive number, no trailing zeros) and the
orders a user asks for: by Fp upward, by Fp downward, and as loaded.
Fp values repeat, so rows with equal keys must keep their order.

Usage: catalogue.py FOLDER ROWS SEED; writes FOLDER/load_order,
FOLDER/fp_ascending and FOLDER/fp_descending.
"""
import random
import sys

folder, rows, seed = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
rng = random.Random(seed)


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


save("load_order", lines)
save("fp_ascending", sorted(lines, key=lambda e: e[0]))
save("fp_descending", sorted(lines, key=lambda e: e[0], reverse=True))
