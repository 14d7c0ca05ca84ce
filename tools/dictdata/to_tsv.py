#!/usr/bin/env python3
"""Convert gloss files (numbered pinyin) into dictionary lines (tone marks).

Usage:
  python3 tools/dictdata/to_tsv.py [-o OUT] [--classifiers FILE]... [--traditional FILE] FILE...
  python3 tools/dictdata/to_tsv.py --self-test
The built-in dictionary is made with (docs/dictionary.md, "To reproduce"):
  python3 tools/dictdata/to_tsv.py -o data/dictionary.tsv \
      --traditional data/traditional.tsv --classifiers data/classifiers.tsv \
      --classifiers data/revisions/classifiers_NN.tsv ... data/glosses/*.tsv

Input lines: "headword TAB numbered_pinyin TAB french gloss", UTF-8, e.g.
"北京<TAB>Bei3 jing1<TAB>Pékin, Beijing (lieu-dit)".  Blank lines and lines
starting with "#" are ignored.
Output lines: "headword TAB pinyin TAB gloss", e.g. "北京<TAB>Běi jīng<TAB>…",
sorted by headword in UTF-16 code-unit order (the order the Qt side uses);
the sort is stable, so homographs keep their input order.  With
--traditional FILE (data/traditional.tsv: headword TAB numbered pinyin TAB
traditional form), every line gets a 4th column: the entry's traditional
form, empty when it is the headword itself.

Tone mark rules (the C++ importer's too: tests/data/tone_cases.tsv):
  * "a", "e" or "ê" takes the mark; in "ou" the "o" does; otherwise the
    last vowel (i o u ü);
  * "u:" is ü, "v" after a letter is ü, "e^" is ê; a capital keeps its
    mark (A1 -> Ā, E^4 -> Ề);
  * tone 5 or no number: no mark; "r5" -> "r";
  * a syllable without vowel (m2, ng3, hm5) puts the mark on its first m
    or n (ḿ, ňg); marks without a precomposed letter stay combining (m̀);
  * syllables are separated by one blank.
Our gloss files must hold syllables only; numbered_to_marked() converts
any text as the importer does.
"""

import argparse
import re
import sys
import unicodedata

COMBINING = {1: "\u0304", 2: "\u0301", 3: "\u030c", 4: "\u0300"}
VOWELS = "aeiouüê"
# A run of letters that may carry a tone number: ':' and '^' belong to it
# ("lu:4", "e^2").
RUN_RE = re.compile(r"([A-Za-zÜüÊê:^]+)([0-9]?)|(.)", re.S)


class ConvertError(ValueError):
    pass


def _mark(letters, tone):
    """Letters of one syllable (u: and e^ already replaced) with the tone mark."""
    if tone not in COMBINING:
        return letters
    low = letters.lower()
    if "a" in low:
        pos = low.index("a")
    elif "e" in low or "ê" in low:
        pos = min(i for i, c in enumerate(low) if c in "eê")
    elif "ou" in low:
        pos = low.index("ou")
    else:
        vowels = [i for i, c in enumerate(low) if c in VOWELS]
        nasals = [i for i, c in enumerate(low) if c in "mn"]
        if vowels:
            pos = vowels[-1]
        elif nasals:
            # m, n, ng, hm, hng: the first m or n carries the mark.
            pos = nasals[0]
        else:
            return letters
    return unicodedata.normalize("NFC", letters[:pos + 1] + COMBINING[tone] + letters[pos + 1:])


def _letters(run):
    """'lu:' -> 'lü', 'lv' -> 'lü', 'e^' -> 'ê'; a v that starts the run stays."""
    out = []
    i = 0
    while i < len(run):
        c = run[i]
        nxt = run[i + 1] if i + 1 < len(run) else ""
        if c in "uU" and nxt == ":":
            out.append("ü" if c == "u" else "Ü")
            i += 2
        elif c in "eE" and nxt == "^":
            out.append("ê" if c == "e" else "Ê")
            i += 2
        elif c in "vV" and out and out[-1].isalpha():
            out.append("ü" if c == "v" else "Ü")
            i += 1
        else:
            out.append(c)
            i += 1
    return "".join(out)


def numbered_to_marked(numbered):
    """Numbered pinyin to tone marks, as the importer does it: any text is
    accepted.  Blank-separated tokens; in a token, each run of letters
    followed by a digit 1-5 is a syllable with that tone (5: none); other
    digits and characters stay.  "Lu:4 e^2 ng3 10shi4" -> "Lǜ ế ňg 10shì"."""
    tokens = []
    for token in numbered.split():
        out = []
        for m in RUN_RE.finditer(token):
            if m.group(3) is not None:
                out.append(m.group(3))
                continue
            letters, digit = _letters(m.group(1)), m.group(2)
            if digit in ("1", "2", "3", "4", "5"):
                out.append(_mark(letters, int(digit)))
            else:
                out.append(letters + digit)
        tokens.append("".join(out))
    return " ".join(tokens)


def syllable_to_marked(syl):
    """One syllable of our own data: 'lu:4' -> 'lǜ', 'Bei3' -> 'Běi', 'r5' -> 'r';
    anything that is not letters with an optional tone 1-5 is refused."""
    m = re.fullmatch(r"([A-Za-zÜüÊê:^]+)([1-5]?)", syl)
    if not m:
        raise ConvertError(f"bad pinyin syllable '{syl}'")
    letters = _letters(m.group(1))
    if ":" in letters or "^" in letters:
        raise ConvertError(f"bad pinyin syllable '{syl}'")
    tone = int(m.group(2) or 5)
    marked = _mark(letters, tone)
    if tone != 5 and marked == letters:
        raise ConvertError(f"no vowel to mark in '{syl}'")
    return marked


def pinyin_to_marked(numbered):
    syls = numbered.split()
    if not syls:
        raise ConvertError("empty pinyin")
    return " ".join(syllable_to_marked(s) for s in syls)


CLASSIFIER_SENSE = "[classificateur : {}]"
# The sense that to_tsv adds: Chinese classifiers only ("[classificateur :
# 本, 部]"); "[classificateur : sorte]" explains a classifier's own meaning.
CLASSIFIER_SENSE_RE = re.compile(r"\[classificateur : [\u4e00-\u9fff]+(, [\u4e00-\u9fff]+)*\]")
NO_CLASSIFIER = "-"


def read_classifiers(paths):
    """{(headword, numbered pinyin): [classifier, ...]} from classifier files.

    A row is "headword TAB numbered pinyin TAB classifiers" (", " between
    them), or a work-package row whose last column is the writer's answer:
    classifiers, "-" for none, empty when not decided yet (ignored).  Later
    files override earlier ones."""
    table = {}
    for path in paths:
        with open(path, encoding="utf-8") as f:
            for line in f:
                line = line.rstrip("\r\n")
                if not line.strip() or line.startswith("#"):
                    continue
                fields = line.split("\t")
                answer = fields[-1].strip() if len(fields) >= 3 else ""
                if not answer:
                    continue
                key = (fields[0].strip(), fields[1].strip())
                table[key] = [] if answer == NO_CLASSIFIER else [c.strip() for c in answer.split(",")]
    return table


def add_classifiers(entries, numbered, table):
    """Append the classifier sense to the glosses that have one; return errors."""
    errors = []
    for i, (head, marked, gloss) in enumerate(entries):
        cls = table.get((head, numbered[i]))
        if CLASSIFIER_SENSE_RE.search(gloss):
            errors.append(f"{head} {numbered[i]}: classifier written in the gloss; "
                          "it comes from the classifier files")
        elif cls:
            entries[i] = (head, marked, gloss + " / " + CLASSIFIER_SENSE.format(", ".join(cls)))
    return errors


def read_traditional(path):
    """{(headword, numbered pinyin): traditional form} of a traditional-form file;
    raises ConvertError on a row that is not three fields or not as long as its headword."""
    table = {}
    with open(path, encoding="utf-8") as f:
        for no, line in enumerate(f, 1):
            line = line.rstrip("\r\n")
            if not line.strip() or line.startswith("#"):
                continue
            fields = line.split("\t")
            if len(fields) != 3 or len(fields[2]) != len(fields[0]):
                raise ConvertError(f"{path}:{no}: expected headword, pinyin and a traditional "
                                   "form as long as the headword")
            table[(fields[0], fields[1])] = fields[2]
    return table


def add_traditional(entries, numbered, table):
    """Give each entry a 4th field: its traditional form, or "" when the same."""
    for i, entry in enumerate(entries):
        trad = table.get((entry[0], numbered[i]), "")
        entries[i] = entry + ("" if trad == entry[0] else trad,)


def utf16_key(text):
    """Sort key comparing UTF-16 code units (big-endian bytes compare alike)."""
    return text.encode("utf-16-be")


def convert(lines, source="<input>", numbered=None):
    """Return (entries, errors); entries are (headword, marked pinyin, gloss).
    The numbered pinyin of each entry is appended to numbered when given."""
    entries, errors = [], []
    for no, line in enumerate(lines, 1):
        line = line.rstrip("\r\n")
        if not line.strip() or line.startswith("#"):
            continue
        fields = line.split("\t")
        if len(fields) != 3:
            errors.append(f"{source}:{no}: {len(fields)} fields instead of 3")
            continue
        head, pinyin, gloss = (f.strip() for f in fields)
        try:
            entries.append((head, pinyin_to_marked(pinyin), gloss))
            if numbered is not None:
                numbered.append(pinyin)
        except ConvertError as e:
            errors.append(f"{source}:{no}: {e}")
    return entries, errors


def self_test():
    cases = {
        "yi1": "yī", "hao3": "hǎo", "lu:4": "lǜ", "nv3": "nǚ", "Lu:3": "Lǚ",
        "lüe4": "lüè", "nu:e4": "nüè", "gou3": "gǒu", "liu2": "liú", "gui4": "guì",
        "hui4": "huì", "xue2": "xué", "zhuang4": "zhuàng", "Bei3": "Běi",
        "A1": "Ā", "E2": "É", "Ou1": "Ōu", "ai4": "ài", "er2": "ér", "r5": "r",
        "de5": "de", "ma": "ma", "m2": "ḿ", "ng3": "ňg", "n4": "ǹ", "e^2": "ế",
        "jiong3": "jiǒng", "qiu1": "qiū", "yue4": "yuè", "shui3": "shuǐ",
    }
    failures = [(i, syllable_to_marked(i), o) for i, o in cases.items() if syllable_to_marked(i) != o]
    phrase_cases = {"yi1 ge4 jin4 r5": "yī gè jìn r", "Bei3 jing1": "Běi jīng",
                    "yi1  hui4 r5": "yī huì r"}
    failures += [(i, pinyin_to_marked(i), o) for i, o in phrase_cases.items() if pinyin_to_marked(i) != o]
    for bad in ("hao6", "xx:1", "", "ha-o3", "sh4"):
        try:
            pinyin_to_marked(bad)
            failures.append((bad, "accepted", "error"))
        except ConvertError:
            pass
    # UTF-16 order puts U+FF21 after U+20000 (a surrogate pair), unlike
    # code-point order.
    entries, errors = convert(["行\txing2\tmarcher", "\uff21\ta1\tx", "乐\tle4\tjoyeux",
                               "行\thang2\trangée", "\U00020000\tyi1\tx", "一\tyi1\tun, une",
                               "bad line"])
    entries.sort(key=lambda e: utf16_key(e[0]))
    order = [(h, p) for h, p, _ in entries]
    want = [("一", "yī"), ("乐", "lè"), ("行", "xíng"), ("行", "háng"), ("\U00020000", "yī"),
            ("\uff21", "ā")]
    if order != want:
        failures.append(("sort", order, want))
    if len(errors) != 1:
        failures.append(("errors", errors, "1 error"))
    for f in failures:
        print("FAIL: %r -> %r, expected %r" % f)
    print(f"{len(failures)} failed" if failures else "self-test passed")
    return 1 if failures else 0


def main():
    ap = argparse.ArgumentParser(description="Convert gloss files into dictionary TSV lines.")
    ap.add_argument("files", nargs="*")
    ap.add_argument("-o", "--output", help="output file (default: stdout)")
    ap.add_argument("--classifiers", action="append", default=[], metavar="FILE",
                    help="classifier file; its classifiers become the last sense")
    ap.add_argument("--traditional", metavar="FILE",
                    help="traditional-form file; its forms become a 4th column")
    ap.add_argument("--self-test", action="store_true", help="run the built-in checks")
    args = ap.parse_args()
    if args.self_test:
        return self_test()
    if not args.files:
        ap.error("no input file")
    entries, errors, numbered = [], [], []
    for path in args.files:
        with open(path, encoding="utf-8") as f:
            e, err = convert(f, path, numbered)
        entries.extend(e)
        errors.extend(err)
    if args.classifiers:
        errors.extend(add_classifiers(entries, numbered, read_classifiers(args.classifiers)))
    if args.traditional:
        try:
            add_traditional(entries, numbered, read_traditional(args.traditional))
        except (ConvertError, OSError) as e:
            errors.append(str(e))
    for err in errors:
        print(err, file=sys.stderr)
    if errors:
        return 1
    # Sorted on a key of the headword only: stable, so homographs keep
    # their input order.
    entries.sort(key=lambda e: utf16_key(e[0]))
    out = open(args.output, "w", encoding="utf-8", newline="\n") if args.output else sys.stdout
    try:
        for entry in entries:
            out.write("\t".join(entry) + "\n")
    finally:
        if args.output:
            out.close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
