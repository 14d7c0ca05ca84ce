#!/usr/bin/env python3
"""Writes the seeds of fuzz_cache: the compiled body of the target's source
dictionary as the program caches it, and that body damaged in each of its
parts, so that every check of the loader, and the checksum that the cache
carries, has a seed that reaches it.

    tests/fuzz/make_cache_seeds.py build/tools/verarov-data/verarov-data tests/fuzz/corpus/fuzz_cache

The layout is that of src/dictionary/compiled_p.h and indexes_p.h, in the
byte order of this machine (little-endian).
"""
import os
import struct
import subprocess
import sys
import tempfile

# The source of tests/fuzz/fuzz_cache.cpp.
SOURCE = "一\tyī\tun\n一一\tyī yī\tun par un\n下\txià\tbas / dessous\n"

HEADER = struct.Struct("<8s6I")  # magic, entries, pinyin keys, French keys, pool units, index bytes, folding
INDEX_HEADER = struct.Struct("<4I")  # nodes, groups, spellings, entry references
REF = 8
KEY_ROW = 12
NODE = 16
GROUP = 12
SPELLING = 8
FIRST_UNIT_WORDS = 0x10000 // 32


def compiled_body(tool):
    with tempfile.TemporaryDirectory() as folder:
        tsv = os.path.join(folder, "source.tsv")
        out = os.path.join(folder, "source.bin")
        with open(tsv, "w", encoding="utf-8") as f:
            f.write(SOURCE)
        subprocess.run([tool, "build", tsv, out], check=True)
        with open(out, "rb") as f:
            return bytearray(f.read())


class Layout:
    """Offsets of the parts of a compiled body."""

    def __init__(self, body):
        (_, self.entries, self.pinyin, self.french, self.pool_units, self.index_bytes,
         self.folding) = HEADER.unpack_from(body)
        self.entry_refs = HEADER.size
        self.lines = self.entry_refs + 3 * REF * self.entries
        self.pinyin_keys = self.lines + REF * self.entries
        self.french_keys = self.pinyin_keys + KEY_ROW * self.pinyin
        self.pool = self.french_keys + KEY_ROW * self.french
        self.index = self.pool + (2 * self.pool_units + 3) // 4 * 4
        self.nodes_count, self.groups_count, self.spellings_count, self.entry_refs_count = \
            INDEX_HEADER.unpack_from(body, self.index)
        self.trees = self.index + INDEX_HEADER.size
        self.first_units = self.trees + 4 * 2 * (self.entries + self.pinyin + self.french)
        self.ranks = self.first_units + 4 * FIRST_UNIT_WORDS
        self.nodes = self.ranks + 4 * FIRST_UNIT_WORDS
        self.groups = self.nodes + NODE * self.nodes_count
        self.spellings = self.groups + GROUP * self.groups_count
        self.entry_list = self.spellings + SPELLING * self.spellings_count
        self.units = self.entry_list + 4 * self.entry_refs_count


def put32(body, at, value):
    struct.pack_into("<I", body, at, value & 0xFFFFFFFF)


def seeds(body):
    at = Layout(body)
    assert at.index + at.index_bytes == len(body), "layout read wrongly"

    def changed(*changes):
        copy = bytearray(body)
        for offset, value in changes:
            put32(copy, offset, value)
        return bytes(copy)

    yield "valid-body", bytes(body)
    # Sound in structure, not what was cached: only the checksum tells.
    pool_changed = bytearray(body)
    pool_changed[at.pool] ^= 0x20
    yield "pool-byte-changed", bytes(pool_changed)
    yield "byte-added-at-the-end", bytes(body) + b"\0"
    yield "magic-only", bytes(body[:8])
    yield "truncated-body", bytes(body[:-3])
    yield "entry-count-too-large", changed((8, 0x7FFFFFFF))
    yield "text-out-of-pool", changed((at.entry_refs, at.pool_units + 1))
    yield "line-out-of-pool", changed((at.lines + 4, at.pool_units * 2))
    yield "key-entry-out-of-range", changed((at.pinyin_keys + 8, at.entries))
    # The indexes: each number that is followed, pointing outside.
    yield "no-index-section", bytes(changed((24, 0))[:at.index])
    yield "indexes-of-another-folding", changed((28, at.folding + 1))
    yield "index-section-cut-short", changed((24, at.index_bytes - 4))[:-4]
    yield "index-counts-too-large", changed((at.index, 0xFFFFFFF0))
    yield "prefix-tree-row-out-of-range", changed((at.trees + 4 * at.entries, at.entries))
    yield "prefix-tree-garbage-in-range", changed(
        *[(at.trees + 4 * i, (i * 7) % max(at.entries, 1)) for i in range(2 * at.entries)])
    # Seeds that reach the groups and spellings make node 0 (一) take the
    # general path (no folded run).
    yield "first-unit-ranks-wrong", changed((at.ranks + 4 * (0x4E00 >> 5), 0xFFFF))
    yield "node-children-out-of-range", changed((at.nodes, at.nodes_count), (at.nodes + 4, 5))
    yield "node-entry-out-of-range", changed((at.nodes + 8, at.entries))
    yield "node-group-out-of-range", changed((at.nodes + 12, 0xFFFFFF << 8))
    yield "node-run-past-the-entries", changed((at.nodes + 12, 0xFF))
    yield "group-spellings-out-of-range", changed((at.groups + 4, at.spellings_count + 1))
    yield "spelling-entries-out-of-range", changed((at.spellings + 4, at.entry_refs_count + 1))
    yield "spelling-without-entries", changed((at.spellings + 4, 0), (at.nodes + 12, 0))
    yield "entry-list-out-of-range", changed((at.entry_list, at.entries))
    yield "trie-garbage-in-range", changed(
        *[(at.nodes + NODE * n + 8, (n * 5) % at.entries) for n in range(at.nodes_count)],
        *[(at.nodes + NODE * n + 4, 0) for n in range(0, at.nodes_count, 2)])


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    tool, folder = sys.argv[1:]
    body = compiled_body(tool)
    os.makedirs(folder, exist_ok=True)
    for name, seed in seeds(body):
        with open(os.path.join(folder, name), "wb") as f:
            f.write(seed)
        print(name, len(seed))


if __name__ == "__main__":
    main()
