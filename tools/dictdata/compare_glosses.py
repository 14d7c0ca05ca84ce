#!/usr/bin/env python3
"""Count our senses that are word for word those of a comparison dictionary.

Usage: python3 tools/dictdata/compare_glosses.py [--dictionary FILE] [--list] [COMPARISON.u8]

The comparison dictionary (default ../shared/data/cfdict.u8, a third-party
French dictionary in the CC-CEDICT line format "TRAD SIMP [pin1 yin1]
/sense/sense/") is read at run time and never copied: only counts are
printed.  A sense of ours is identical when, case, blanks and a final
period aside, it equals a sense of an entry of the same simplified headword
(any reading); a passage is a sense or one of its parts (the sense without
its final label, or one of its comma-separated items); the classifier sense
added by to_tsv.py is left out.
Figures: entries compared (headword in both), entries with an identical
sense, entries whose every sense is identical, identical senses, and
identical passages (senses or parts) of LONG_WORDS words or more (those
must be reworded).
--list also prints the headword and reading of each entry with a long
identical sense (our own data, for the writers).
Exit status: 0, or 77 when the comparison dictionary is not there.
"""

import argparse
import os
import re
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import common  # noqa: E402
import stats  # noqa: E402

COMPARISON = os.path.normpath(os.path.join(common.REPO, "..", "shared", "data", "cfdict.u8"))
LONG_WORDS = 5
LINE_RE = re.compile(r"^(\S+) (\S+) \[[^\]]*\] /(.*)/\s*$")
EXIT_SKIP = 77


def normalise(sense):
    return re.sub(r"\s+", " ", sense).strip().rstrip(".").strip().casefold()


def read_comparison(path):
    """{simplified headword: set of normalised senses}."""
    out = {}
    with open(path, encoding="utf-8", errors="replace") as f:
        for line in f:
            m = LINE_RE.match(line)
            if not m:
                continue
            senses = out.setdefault(m.group(2), set())
            senses.update(normalise(s) for s in m.group(3).split("/") if s.strip())
    return out


def parts(sense):
    """The sense, the sense without its final parenthesis, and its comma-separated items."""
    bare = re.sub(r"\s*\([^()]*\)\s*$", "", sense)
    return {sense, bare} | {item for item in bare.split(", ") if item.strip()}


def words(sense):
    return len(re.findall(r"[^\W\d_]+", sense))


def compare(entries, theirs):
    long_key = f"identical passages of {LONG_WORDS} words or more"
    figures = dict.fromkeys(("entries compared", "entries with an identical sense",
                             "entries identical as a whole", "identical senses", long_key), 0)
    long_entries = []
    for head, pinyin, gloss in entries:
        other = theirs.get(head)
        if not other:
            continue
        figures["entries compared"] += 1
        senses = [s for s in gloss.split(" / ") if not s.startswith(stats.CLASSIFIER_PREFIX)]
        same = [s for s in senses if normalise(s) in other]
        if same:
            figures["entries with an identical sense"] += 1
        if same and len(same) == len(senses):
            figures["entries identical as a whole"] += 1
        figures["identical senses"] += len(same)
        long = [p for p in dict.fromkeys(p for s in senses for p in parts(s))
                if words(p) >= LONG_WORDS and normalise(p) in other]
        figures[long_key] += len(long)
        if long:
            long_entries.append((head, pinyin, long))
    return figures, long_entries


def main(argv=None):
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("comparison", nargs="?", default=COMPARISON)
    ap.add_argument("--dictionary", default=stats.DICTIONARY)
    ap.add_argument("--list", action="store_true")
    args = ap.parse_args(argv)
    if not os.path.exists(args.comparison):
        print(f"skipped: {args.comparison} not found", file=sys.stderr)
        return EXIT_SKIP
    figures, long_entries = compare(stats.read_entries(args.dictionary), read_comparison(args.comparison))
    for k, v in figures.items():
        print(f"{k}: {v}")
    if args.list:
        for head, pinyin, long in long_entries:
            print(f"long identical sense\t{head}\t{pinyin}\t{' / '.join(long)}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
