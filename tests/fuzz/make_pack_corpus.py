#!/usr/bin/env python3
"""Writes the seed packs of the pack fuzz targets, the same bytes every run.

usage: make_pack_corpus.py FOLDER...   (each folder receives every seed)
"""
import struct
import sys
from pathlib import Path

A = bytes.fromhex("010000002080")          # decodes to "A"
ABABBA = bytes.fromhex("060000003098aa")   # decodes to "ababba"
EMPTY = bytes.fromhex("00000000")          # decodes to nothing


def table(rows):
    out = struct.pack("<i", len(rows))
    for name, offset, size in rows:
        raw = name.encode("latin-1")
        out += struct.pack("<i", len(raw)) + raw + struct.pack("<II", offset, size)
    return out


def pack(folders, files):
    """folders: names; files: (name, stored bytes); entries laid out in order."""
    data = b""
    rows = []
    for name, stored in files:
        rows.append((name, len(data), len(stored)))
        data += stored
    return table([(f, 0, 0) for f in folders]) + table(rows) + data


def seeds():
    yield "empty", pack([], [])
    yield "worked_example", pack(["\\D"], [("\\D\\F", ABABBA)])
    yield "nested", pack(["\\a", "\\a\\b", "\\empty", "\\.dot"],
                         [("\\Installer.exe", A), ("\\a\\x", ABABBA), ("\\a\\b\\..y", EMPTY), ("\\.dot\\z", A)])
    yield "hostile_names", pack(["\\..", "C:\\x"],
                                [("\\..\\x", A), ("\\CON", A), ("\\a:s", A), ("\\a.", A), ("x", A), ("\\ok", A)])
    yield "folder_before_parent", pack(["\\a\\b", "\\a"], [("\\a\\b\\f", A), ("\\a\\g", ABABBA)])
    yield "duplicates", pack([], [("\\same", A), ("\\same", ABABBA), ("\\SAME", EMPTY)])
    yield "negative_counts", struct.pack("<i", -1) + table([("\\f", 0, len(A))]) + A
    gap = b"\xee" * 3
    yield "out_of_order", (table([]) + table([("\\second", 3 + len(A), len(ABABBA)), ("\\first", 3, len(A))])
                           + gap + A + ABABBA)
    yield "past_the_end", table([]) + table([("\\big", 0, 0xFFFFFFF0), ("\\far", 0x7FFFFFF0, 4)]) + A
    yield "damaged_entry", pack([], [("\\bad", bytes.fromhex("06000000b0")), ("\\good", A)])


def main():
    folders = [Path(arg) for arg in sys.argv[1:]]
    if not folders:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    for folder in folders:
        folder.mkdir(parents=True, exist_ok=True)
        for name, data in seeds():
            (folder / f"{name}.qdx").write_bytes(data)
            print(f"{folder / name}.qdx: {len(data)} bytes")
    return 0


if __name__ == "__main__":
    sys.exit(main())
