#!/usr/bin/env python3
"""Convert gloss files (numbered pinyin) into dictionary lines (tone marks).

Usage:
  python3 tools/dictdata/to_tsv.py [-o OUT] FILE...   (default OUT: stdout)
  python3 tools/dictdata/to_tsv.py --self-test

Input lines: "headword TAB numbered_pinyin TAB french gloss", UTF-8, e.g.
"北京<TAB>Bei3 jing1<TAB>Pékin, Beijing (lieu-dit)".  Blank lines and lines
starting with "#" are ignored.
Output lines: "headword TAB pinyin TAB gloss", e.g. "北京<TAB>Běi jīng<TAB>…",
sorted by headword in UTF-16 code-unit order (the order the Qt side uses);
the sort is stable, so homographs keep their input order.

Tone mark rules (shared with the C++ importer):
  * "a" or "e" takes the mark; in "ou" the "o" does; otherwise the last
    vowel (a e i o u ü);
  * "u:" and "v" are ü; a capital keeps its mark (A1 -> Ā);
  * tone 5 or no number: no mark; "r5" -> "r";
  * a syllable without vowel (m2, ng4, hm5) puts the mark on its m or n;
  * syllables are separated by one blank.
"""

import argparse
import re
import sys
import unicodedata

COMBINING = {1: "\u0304", 2: "\u0301", 3: "\u030c", 4: "\u0300"}
VOWELS = "aeiouüê"


class ConvertError(ValueError):
    pass


def syllable_to_marked(syl):
    """'lu:4' -> 'lǜ', 'Bei3' -> 'Běi', 'r5' -> 'r', 'ma' -> 'ma'."""
    m = re.fullmatch(r"([A-Za-zÜüÊê:^]+)([1-5]?)", syl)
    if not m:
        raise ConvertError(f"bad pinyin syllable '{syl}'")
    letters, tone = m.group(1), int(m.group(2) or 5)
    letters = (letters.replace("u:", "ü").replace("U:", "Ü").replace("v", "ü").replace("V", "Ü")
               .replace("e^", "ê").replace("E^", "Ê"))
    if ":" in letters or "^" in letters:
        raise ConvertError(f"bad pinyin syllable '{syl}'")
    if tone == 5:
        return letters
    low = letters.lower()
    if "a" in low:
        pos = low.index("a")
    elif "e" in low or "ê" in low:
        pos = low.index("e") if "e" in low else low.index("ê")
    elif "ou" in low:
        pos = low.index("ou")
    else:
        vowel_pos = [i for i, c in enumerate(low) if c in VOWELS]
        if vowel_pos:
            pos = vowel_pos[-1]
        else:
            # m, n, ng, hm, hng: the nasal carries the mark.
            nasal = [i for i, c in enumerate(low) if c in "mn"]
            if not nasal:
                raise ConvertError(f"no vowel to mark in '{syl}'")
            pos = nasal[0] if low != "hm" else 1
    marked = letters[:pos + 1] + COMBINING[tone] + letters[pos + 1:]
    return unicodedata.normalize("NFC", marked)


def pinyin_to_marked(numbered):
    syls = numbered.split()
    if not syls:
        raise ConvertError("empty pinyin")
    return " ".join(syllable_to_marked(s) for s in syls)


def utf16_key(text):
    """Sort key comparing UTF-16 code units (big-endian bytes compare alike)."""
    return text.encode("utf-16-be")


def convert(lines, source="<input>"):
    """Return (entries, errors); entries are (headword, marked pinyin, gloss)."""
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
    ap.add_argument("--self-test", action="store_true", help="run the built-in checks")
    args = ap.parse_args()
    if args.self_test:
        return self_test()
    if not args.files:
        ap.error("no input file")
    entries, errors = [], []
    for path in args.files:
        with open(path, encoding="utf-8") as f:
            e, err = convert(f, path)
        entries.extend(e)
        errors.extend(err)
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
