#!/usr/bin/env python3
"""A seeded random sample of dictionary entries for a review by the team.

Usage:
  python3 tools/dictdata/review_sample.py [--seed N] [--size N] [--dictionary FILE]
      print the sample: number TAB headword TAB pinyin TAB gloss TAB gloss file
  python3 tools/dictdata/review_sample.py --count REVIEW.tsv
      count the verdicts of a review file

The sample is random.Random(seed).sample() over the lines of the dictionary,
printed in dictionary order; the same dictionary and seed give the same
sample.  A review file (tools/dictdata/review_2nd_edition.tsv) has "#"
lines, then one row per sampled entry: number TAB headword TAB pinyin TAB
verdict TAB note, the verdict being "ok", "minor" (awkward, incomplete, a
label) or "wrong" (a sense that is not the word's, a wrong reading's sense);
the note says what was found and what was done.
"""

import argparse
import collections
import os
import random
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import common  # noqa: E402
import stats  # noqa: E402

SEED = 10        # the number of the issue that asked for the review
SIZE = 200
VERDICTS = ("ok", "minor", "wrong")


def sample(entries, seed=SEED, size=SIZE):
    """[(line number from 1, entry)] of size random entries, in dictionary order."""
    picked = sorted(random.Random(seed).sample(range(len(entries)), size))
    return [(i + 1, entries[i]) for i in picked]


def gloss_files():
    """{(headword, numbered pinyin): gloss file name} of data/glosses."""
    import to_tsv
    out = {}
    folder = os.path.join(common.REPO_DATA, "glosses")
    for name in sorted(os.listdir(folder)):
        if name.endswith(".tsv"):
            with open(os.path.join(folder, name), encoding="utf-8") as f:
                for line in f:
                    fields = line.rstrip("\n").split("\t")
                    if len(fields) == 3 and not line.startswith("#"):
                        out[(fields[0], to_tsv.pinyin_to_marked(fields[1]))] = name
    return out


def count(path):
    """Counter of the verdicts of a review file; raises ValueError on a bad row."""
    verdicts = collections.Counter()
    with open(path, encoding="utf-8") as f:
        for no, line in enumerate(f, 1):
            if line.startswith("#") or not line.strip():
                continue
            fields = line.rstrip("\n").split("\t")
            if len(fields) != 5 or fields[3] not in VERDICTS:
                raise ValueError(f"{path}:{no}: expected number, headword, pinyin, verdict, note")
            verdicts[fields[3]] += 1
    return verdicts


def main(argv=None):
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("--dictionary", default=stats.DICTIONARY)
    ap.add_argument("--seed", type=int, default=SEED)
    ap.add_argument("--size", type=int, default=SIZE)
    ap.add_argument("--count", metavar="REVIEW.tsv")
    args = ap.parse_args(argv)
    if args.count:
        verdicts = count(args.count)
        total = sum(verdicts.values())
        print(f"{total} entries reviewed: " + ", ".join(f"{v} {verdicts[v]}" for v in VERDICTS))
        return 0
    entries = stats.read_entries(args.dictionary)
    files = gloss_files()
    for no, (h, p, g) in sample(entries, args.seed, args.size):
        print(f"{no}\t{h}\t{p}\t{g}\t{files.get((h, p), '?')}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
