#!/usr/bin/env python3
"""Figures of the built-in dictionary, as docs/dictionary.md gives them.

Usage: python3 tools/dictdata/stats.py [--dictionary FILE] [--corpus FILE] [--no-nouns]

Each figure says how it is computed:
  * counts of data/dictionary.tsv: entries, distinct headwords, single
    characters, words by length, homograph groups (headwords of two or more
    entries), French keys (senses that begin with a Latin letter, as
    check_quality.py counts them), nouns with a classifier (entries whose
    last sense is "[classificateur : ...]");
  * HSK words covered: the distinct words of chinese-lexicon's HSK list
    (six levels) that are headwords;
  * subtitle words: the 10,000 most frequent words of chinese-lexicon's
    film-subtitle list (SUBTLEX-CH) made of Chinese characters only (as the
    selection takes them) that are headwords;
  * the 5,000 most frequent nouns of the selection (select_candidates.py,
    noun_ranking): how many have an entry whose last sense gives their
    classifiers, how many were answered "takes none" ("-"), how many have no
    entry (left out by a writer);
  * coverage of a corpus (default ../shared/corpus/public.txt) as the file
    translation cuts it (coverage.py): Chinese characters inside found
    headwords, and inside found headwords of two or more characters, against
    the targets COVERAGE_TARGET and LONG_COVERAGE_TARGET.
A part whose input is not installed (the npm packages, the corpus) is
skipped with a note.
"""

import argparse
import collections
import glob
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import check_quality  # noqa: E402
import common  # noqa: E402
import coverage as coverage_mod  # noqa: E402

DICTIONARY = os.path.join(common.REPO_DATA, "dictionary.tsv")
CORPUS = os.path.normpath(os.path.join(common.REPO, "..", "shared", "corpus", "public.txt"))
SUBTITLE_TOP = 10000
NOUN_TOP = 5000
COVERAGE_TARGET = 99.9        # % of Chinese characters inside found headwords
LONG_COVERAGE_TARGET = 72.0   # % inside found headwords of two or more characters
CLASSIFIER_PREFIX = "[classificateur : "


def read_entries(path):
    """[(headword, pinyin, gloss)] of a dictionary TSV file (3 or 4 columns)."""
    out = []
    with open(path, encoding="utf-8") as f:
        for line in f:
            fields = line.rstrip("\n").split("\t")
            if len(fields) in (3, 4):  # a 4th field: the traditional form
                out.append(tuple(fields[:3]))
    return out


def has_classifier(gloss):
    """True when the last sense gives the classifiers of a noun."""
    last = gloss.split(" / ")[-1]
    return last.startswith(CLASSIFIER_PREFIX) and last.endswith("]")


def dictionary_counts(entries):
    heads = collections.Counter(h for h, _, _ in entries)
    by_len = collections.Counter(len(h) for h, _, _ in entries)
    return {
        "entries": len(entries),
        "distinct headwords": len(heads),
        "single characters (entries)": by_len.get(1, 0),
        "single characters (distinct)": sum(1 for h in heads if len(h) == 1),
        "words by length (entries)": {n: c for n, c in sorted(by_len.items()) if n > 1},
        "homograph groups": sum(1 for c in heads.values() if c > 1),
        "French keys": sum(len(check_quality.french_senses(g)) for _, _, g in entries),
        "nouns with a classifier": sum(1 for _, _, g in entries if has_classifier(g)),
    }


def hsk_coverage(headwords, hsk):
    """(covered, total, {level: (covered, total)}) of the distinct HSK words;
    a word listed at two levels counts at its first."""
    level_of = {}
    for w, level in hsk:
        level_of.setdefault(w, level)
    per_level = collections.defaultdict(lambda: [0, 0])
    for w, level in level_of.items():
        per_level[level][1] += 1
        per_level[level][0] += w in headwords
    covered = sum(c for c, _ in per_level.values())
    return covered, len(level_of), {k: tuple(v) for k, v in sorted(per_level.items())}


def subtitle_share(headwords, subtitles, top=SUBTITLE_TOP):
    """(present, taken, missing examples) of the top most frequent subtitle words made of
    Chinese characters only."""
    words = [w for w, _ in subtitles if w and all(common.is_chinese(c) for c in w)][:top]
    missing = [w for w in words if w not in headwords]
    return len(words) - len(missing), len(words), missing


def noun_classifiers(entries):
    """Of the NOUN_TOP most frequent nouns of the selection: counts of those with
    classifiers, answered '-', and without entry."""
    import select_candidates
    import to_tsv
    inp = select_candidates.Inputs()
    rows = []
    with open(os.path.join(common.REPO_DATA, "candidates.tsv"), encoding="utf-8") as f:
        for line in f:
            if not line.startswith("#"):
                _, h, p, source, _ = line.rstrip("\n").split("\t")
                rows.append((h, p, source))
    top = select_candidates.noun_ranking(rows, inp)[:NOUN_TOP]
    gloss_of = {(h, p): g for h, p, g in entries}
    answers = to_tsv.read_classifiers([os.path.join(common.REPO_DATA, "classifiers.tsv")] + sorted(
        glob.glob(os.path.join(common.REPO_DATA, "revisions", "classifiers_*.tsv"))))
    counts = collections.Counter()
    for h, p, _ in top:
        gloss = gloss_of.get((h, to_tsv.pinyin_to_marked(p)))
        if gloss is None:
            counts["no entry (left out)"] += 1
        elif has_classifier(gloss):
            counts["with classifiers"] += 1
        elif answers.get((h, p)) == []:
            counts["answered: takes none"] += 1
        else:
            counts["no answer"] += 1
    return len(top), counts


def percent(part, whole):
    return 100.0 * part / max(whole, 1)


def main(argv=None):
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("--dictionary", default=DICTIONARY)
    ap.add_argument("--corpus", default=CORPUS)
    ap.add_argument("--no-nouns", action="store_true",
                    help="skip the nouns of the selection (loads every input, some 20 seconds)")
    args = ap.parse_args(argv)

    entries = read_entries(args.dictionary)
    headwords = {h for h, _, _ in entries}
    for key, value in dictionary_counts(entries).items():
        if isinstance(value, dict):
            value = ", ".join(f"{n} chars: {c}" for n, c in value.items())
        print(f"{key}: {value}")

    if os.path.exists(common.HSK_JS):
        covered, total, levels = hsk_coverage(headwords, common.load_hsk())
        print(f"HSK words covered: {covered} of {total} ({percent(covered, total):.2f}%); by level: "
              + ", ".join(f"{lv}: {c}/{t}" for lv, (c, t) in levels.items()))
    else:
        print("HSK words covered: skipped (tools/dictdata/install-inputs.sh)")
    if os.path.exists(common.SUBTITLE_JS):
        present, taken, missing = subtitle_share(headwords, common.load_subtitle_frequencies())
        print(f"{taken} most frequent subtitle words present: {present} ({percent(present, taken):.2f}%);"
              f" missing e.g. {' '.join(missing[:15])}")
    else:
        print("subtitle words: skipped (tools/dictdata/install-inputs.sh)")
    inputs = [common.CEDICT, common.JIEBA_DICT, common.UNIHAN_READINGS, common.SUBTITLE_JS, common.BOOK_JS]
    if args.no_nouns:
        pass
    elif all(os.path.exists(p) for p in inputs):
        total, counts = noun_classifiers(entries)
        print(f"{total} most frequent nouns: " + ", ".join(f"{k} {v}" for k, v in sorted(counts.items())))
    else:
        print("most frequent nouns: skipped (inputs not installed)")

    if os.path.exists(args.corpus):
        with open(args.corpus, encoding="utf-8") as f:
            c = coverage_mod.coverage({h.lower() for h in headwords}, f.read())
        for name, key, target in (("inside found headwords", "in_words", COVERAGE_TARGET),
                                  ("inside found headwords of 2+ characters", "in_long_words",
                                   LONG_COVERAGE_TARGET)):
            share = percent(c[key], c["han"])
            verdict = "reached" if share >= target else f"{target - share:.2f} points short"
            print(f"corpus {os.path.basename(args.corpus)}, {name}: {share:.2f}% of {c['han']} Chinese "
                  f"characters (target {target}%: {verdict})")
    else:
        print(f"corpus coverage: skipped ({args.corpus} not found)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
