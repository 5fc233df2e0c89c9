#!/usr/bin/env python3
"""Writes manual.txt for the demo's payload: some megabytes of text made from
a fixed seed, so every run packs the same bytes and unpacking takes long
enough for the splash picture to be seen. Usage: make_manual.py OUTPUT [MB]
"""
import random
import sys

WORDS = (
    "pack folder file stored entry dictionary code width literal index string "
    "recency install launcher splash window picture thread event handshake "
    "staging expansion decoder bit reader temporary removal installer"
).split()


def main():
    if len(sys.argv) not in (2, 3):
        sys.stderr.write("usage: make_manual.py OUTPUT [MB]\n")
        return 2
    size = int(float(sys.argv[2]) * 1000000) if len(sys.argv) == 3 else 6000000
    chooser = random.Random(20240601)
    written = 0
    with open(sys.argv[1], "w", newline="\n") as out:
        section = 1
        while written < size:
            line = "%d. %s.\n" % (section, " ".join(chooser.choice(WORDS) for _ in range(chooser.randint(6, 14))))
            out.write(line)
            written += len(line)
            section += 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
