#!/usr/bin/env python3
"""Generate data/strokes.bin, the stroke data of the Tracé and Écrire windows.

From the repository's root:

    tools/strokes/install-inputs.sh && python3 tools/strokes/strokes.py

Inputs:
  * hanzi-writer-data (npm, Arphic Public License, version pinned in
    tools/strokes/package.json, installed into tools/strokes/node_modules):
    one JSON file per character, its strokes in writing order as outlines
    (SVG path strings of M, L, Q, C and Z commands) and as median lines, in
    a 1024-unit box whose y axis points up, 900 at the top, -124 at the
    bottom;
  * Unihan kTGH (Debian package unicode-data): the level of a character in
    the Table of General Standard Chinese Characters (2013:1 to 3500 level
    1, to 6500 level 2, to 8105 level 3).

The file (all integers little-endian; y points down, 0 at the top: y = 900
- y of the source), read by src/strokes/strokedata.cpp:

  header, 32 bytes: magic "VRVSTRK1", u32 format version (1), u32 count of
  characters, u32 offset of the median section, u32 its size, u32 offset of
  the outline section, u32 its size;
  index, right after the header: count entries of 16 bytes, code points
  ascending: u32 code point, u32 offset of its median record (in the median
  section), u32 offset and u32 size of its outline record (in the outline
  section);
  median record: u8 stroke count, u8 level (1-3, 0 outside the table), then
  per stroke u8 point count (at least 2) and the points as u8 x, u8 y, the
  box scaled to 0-255 (v * 255 / 1023 rounded);
  outline record: u32 big-endian size of the unpacked record (at most
  65536), then the record packed with zlib (what qUncompress reads).
  Unpacked: per stroke (as many as the median record says) u16 command
  count, the commands as bytes (0 move, 1 line, 2 quadratic, 3 cubic,
  4 close), then the points the commands take (1, 1, 2, 3, 0) as x and y
  deltas from the previous point (the first from 0, 0), each a zigzag
  LEB128 varint (0, -1, 1, -2 ... as 0, 1, 2, 3 ..., 7 bits a byte, low
  bits first), in units of 2 of the 1024 box (a 512 grid: half a pixel at
  256 pixels a character).

Usage:
    python3 tools/strokes/strokes.py [--output FILE] [--check] [--report]
--check compares with the file instead of writing it (exit 1 when it
differs); exit status 77 when an input is not installed.
"""

import argparse
import bz2
import json
import os
import re
import struct
import sys
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
REPO = os.path.normpath(os.path.join(HERE, "..", ".."))
PACKAGE = "hanzi-writer-data"
SOURCE = os.path.join(HERE, "node_modules", PACKAGE)
UNIHAN_MAPPINGS = "/usr/share/unicode/Unihan_OtherMappings.txt.bz2"
DICTIONARY = os.path.join(REPO, "data", "dictionary.tsv")

MAGIC = b"VRVSTRK1"
VERSION = 1
OPS = {"M": (0, 1), "L": (1, 1), "Q": (2, 2), "C": (3, 3), "Z": (4, 0)}
MAX_UNPACKED = 65536
GRID = 2


def pinned_version():
    with open(os.path.join(HERE, "package.json"), encoding="utf-8") as f:
        return json.load(f)["dependencies"][PACKAGE]


def installed_version():
    try:
        with open(os.path.join(SOURCE, "package.json"), encoding="utf-8") as f:
            return json.load(f).get("version")
    except (OSError, ValueError):
        return None


def read_levels():
    """{char: 1, 2 or 3} from Unihan kTGH."""
    levels = {}
    with bz2.open(UNIHAN_MAPPINGS, "rt", encoding="utf-8") as f:
        for line in f:
            if not line.startswith("U+"):
                continue
            cp, field, value = line.rstrip("\n").split("\t", 2)
            if field != "kTGH":
                continue
            for v in value.split():
                if v.startswith("2013:"):
                    n = int(v[5:])
                    level = 1 if n <= 3500 else 2 if n <= 6500 else 3
                    c = chr(int(cp[2:], 16))
                    levels[c] = min(levels.get(c, 3), level)
    return levels


def quantise(v):
    return max(0, min(255, round(v * 255 / 1023)))


def median_record(medians, level):
    out = bytearray([len(medians), level])
    for line in medians:
        points = [(x, 900 - y) for x, y in line]
        if len(points) == 1:
            points = points * 2
        out.append(len(points))
        for x, y in points:
            out += bytes([quantise(x), quantise(y)])
    return bytes(out)


TOKEN = re.compile(r"[MLQCZ]|-?\d+(?:\.\d+)?")


def varint(d, out):
    z = (d << 1) ^ (d >> 31)
    while z >= 128:
        out.append((z & 127) | 128)
        z >>= 7
    out.append(z)


def outline_record(paths):
    out = bytearray()
    for path in paths:
        tokens = TOKEN.findall(path)
        ops, coords = [], []
        i = 0
        while i < len(tokens):
            op, n = OPS[tokens[i]]
            ops.append(op)
            for k in range(n):
                x = float(tokens[i + 1 + 2 * k])
                y = 900 - float(tokens[i + 2 + 2 * k])
                coords.append((x, y))
            i += 1 + 2 * n
        out += struct.pack("<H", len(ops)) + bytes(ops)
        px, py = 0, 0
        for x, y in coords:
            x, y = round(x / GRID), round(y / GRID)
            varint(x - px, out)
            varint(y - py, out)
            px, py = x, y
    if len(out) > MAX_UNPACKED:
        raise ValueError("outline record too large")
    return struct.pack(">I", len(out)) + zlib.compress(bytes(out), 9)


def build(levels):
    chars = []
    for name in os.listdir(SOURCE):
        stem, ext = os.path.splitext(name)
        if ext != ".json" or len(stem) != 1:
            continue
        with open(os.path.join(SOURCE, name), encoding="utf-8") as f:
            data = json.load(f)
        if len(data["strokes"]) != len(data["medians"]) or not data["strokes"]:
            continue
        chars.append((ord(stem), data))
    chars.sort(key=lambda c: c[0])
    medians, outlines, index = bytearray(), bytearray(), bytearray()
    for cp, data in chars:
        m = median_record(data["medians"], levels.get(chr(cp), 0))
        o = outline_record(data["strokes"])
        index += struct.pack("<IIII", cp, len(medians), len(outlines), len(o))
        medians += m
        outlines += o
    header_size = 32
    median_offset = header_size + len(index)
    outline_offset = median_offset + len(medians)
    header = MAGIC + struct.pack("<6I", VERSION, len(chars), median_offset, len(medians),
                                 outline_offset, len(outlines))
    return header + bytes(index) + bytes(medians) + bytes(outlines), chars


def report(chars, levels):
    have = {chr(cp) for cp, _ in chars}
    for level in (1, 2, 3):
        table = [c for c, v in levels.items() if v == level]
        missing = sorted(c for c in table if c not in have)
        print(f"level {level}: {len(table) - len(missing)} of {len(table)} characters"
              + (f", missing {''.join(missing[:40])}" if missing else ""))
    if os.path.exists(DICTIONARY):
        used = set()
        with open(DICTIONARY, encoding="utf-8") as f:
            for line in f:
                used.update(c for c in line.split("\t", 1)[0]
                            if 0x3400 <= ord(c) <= 0x9FFF or 0x20000 <= ord(c) <= 0x3FFFF)
        missing = sorted(used - have)
        print(f"built-in dictionary: {len(used) - len(missing)} of {len(used)} characters"
              + (f", missing {''.join(missing[:40])}" if missing else ""))


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--output", default=os.path.join(REPO, "data", "strokes.bin"))
    parser.add_argument("--check", action="store_true")
    parser.add_argument("--report", action="store_true")
    args = parser.parse_args()

    version = installed_version()
    if version is None or not os.path.exists(UNIHAN_MAPPINGS):
        print(f"{PACKAGE} or unicode-data is not installed: run tools/strokes/install-inputs.sh",
              file=sys.stderr)
        return 77
    if version != pinned_version():
        print(f"{PACKAGE} {version} is installed, {pinned_version()} is pinned: "
              "run tools/strokes/install-inputs.sh", file=sys.stderr)
        return 1
    levels = read_levels()
    data, chars = build(levels)
    if args.report:
        report(chars, levels)
    if args.check:
        try:
            with open(args.output, "rb") as f:
                same = f.read() == data
        except OSError:
            same = False
        if not same:
            print(f"{args.output} differs from what the tool makes", file=sys.stderr)
            return 1
        return 0
    tmp = args.output + ".tmp"
    with open(tmp, "wb") as f:
        f.write(data)
    os.replace(tmp, args.output)
    print(f"{args.output}: {len(chars)} characters, {len(data)} bytes")
    return 0


if __name__ == "__main__":
    sys.exit(main())
