#!/usr/bin/env python3
"""Quality checker of the built-in dictionary (data/dictionary.tsv).

Usage: python3 tools/dictdata/check_quality.py [--strict|--lenient] DICTIONARY.tsv

Each line is "headword TAB pinyin TAB gloss" (pinyin with tone marks),
optionally TAB traditional form (empty when it is the headword).
Checked for every entry:
  * 3 non-empty fields, no control characters, BMP only, headword of at
    most 7 characters, all of them Chinese; a 4th field, when there, empty
    or a traditional form of as many Chinese characters, not the headword;
  * pinyin: NFC, syllables separated by exactly one blank, each syllable
    (tones stripped, case-folded) in the Mandarin syllable inventory below,
    at most one tone mark per syllable, "r" only for the character 儿;
  * as many syllables as characters (except SYLLABLE_COUNT_EXCEPTIONS);
  * each syllable, tones aside, is a reading of its character in Unihan
    (kMandarin, kHanyuPinyin, kXHC1983, kTGHZ2013, kHanyuPinlu); "lü" is
    not "lu";
  * no duplicate (headword, pinyin) pair;
  * the gloss gives at least one French lookup key: a sense (senses are
    separated by " / ") that begins with a Latin letter;
  * no frequent English word in the gloss (whole words, any case);
  * no leading, trailing or double blanks; "/" only as " / "; no empty
    sense; balanced () and [];
  * English words are looked for outside ESTABLISHED_NAMES ("New York");
  * revision checks (violations; warnings only with --lenient): labels of
    the documented set (retired and misspelt labels, in any case, alone or
    in a list "(familier, dialectal)", "(lieu-dit)" and its variants
    "(lieu-dit, ...)", "(lieu)", "[onomatopée]", "(dans 伶俐)" for "[dans
    伶俐]", a label opening a sense are reported), place labels of the documented forms (a kind of PLACE_KINDS
    alone or followed by where: "(ville du Hubei)"; provinces named as in
    PROVINCE_NAMES), no sense repeated in a gloss, no gloss that only
    repeats the pinyin, no two readings of a headword with the same gloss;
    the spellings of style_problems ("(chengyu)" on four-character
    headwords, "(Chine impériale)" and "examen du palais" for the imperial
    examinations, "mi-automne", "Internet", "…", surname-only characters
    read with a capital).
Prints statistics, then "line N: reason" per violation.
Exit status: 0 if clean, 1 on any violation, 2 on usage error, 77 if the
Unihan database (Debian package unicode-data) is not installed.
"""

import collections
import os
import re
import sys
import unicodedata

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import common  # noqa: E402

UNIHAN_READINGS = common.UNIHAN_READINGS

# The checks of the classes that the revision work packages mended (labels,
# place labels, repeated senses, glosses that repeat the pinyin, homographs
# sharing a gloss) are violations like the others; --lenient makes them
# warnings again (for a file under revision).
STRICT = True
EXIT_SKIP = 77

# Standard Mandarin syllables (toneless, ü written as such), plus the
# interjection syllables ê, m, n, ng, hm, hng.
SYLLABLES = frozenset("""
a ai an ang ao
ba bai ban bang bao bei ben beng bi bian biao bie bin bing bo bu
pa pai pan pang pao pei pen peng pi pian piao pie pin ping po pou pu
ma mai man mang mao me mei men meng mi mian miao mie min ming miu mo mou mu
fa fan fang fei fen feng fiao fo fou fu
da dai dan dang dao de dei den deng di dia dian diao die ding diu dong dou du duan dui dun duo
ta tai tan tang tao te tei teng ti tian tiao tie ting tong tou tu tuan tui tun tuo
na nai nan nang nao ne nei nen neng ni nian niang niao nie nin ning niu nong nou nu nuan nun nuo nü nüe
la lai lan lang lao le lei leng li lia lian liang liao lie lin ling liu lo long lou lu luan lun luo lü lüe
ga gai gan gang gao ge gei gen geng gong gou gu gua guai guan guang gui gun guo
ka kai kan kang kao ke kei ken keng kong kou ku kua kuai kuan kuang kui kun kuo
ha hai han hang hao he hei hen heng hong hou hu hua huai huan huang hui hun huo
ji jia jian jiang jiao jie jin jing jiong jiu ju juan jue jun
qi qia qian qiang qiao qie qin qing qiong qiu qu quan que qun
xi xia xian xiang xiao xie xin xing xiong xiu xu xuan xue xun
zhi zha zhai zhan zhang zhao zhe zhei zhen zheng zhong zhou zhu zhua zhuai zhuan zhuang zhui zhun zhuo
chi cha chai chan chang chao che chen cheng chong chou chu chua chuai chuan chuang chui chun chuo
shi sha shai shan shang shao she shei shen sheng shou shu shua shuai shuan shuang shui shun shuo
ri ran rang rao re ren reng rong rou ru rua ruan rui run ruo
zi za zai zan zang zao ze zei zen zeng zong zou zu zuan zui zun zuo
ci ca cai can cang cao ce cen ceng cong cou cu cuan cui cun cuo
si sa sai san sang sao se sen seng song sou su suan sui sun suo
yi ya yan yang yao ye yin ying yo yong you yu yuan yue yun
wu wa wai wan wang wei wen weng wo
e ei en eng er o ou
ê m n ng hm hng
""".split())

# Characters whose single character is read as several syllables (old
# unit characters): headword -> number of syllables.
SYLLABLE_COUNT_EXCEPTIONS = {
    "瓩": 2,  # qiān wǎ, kilowatt
    "兛": 2,  # qiān kè, kilogram
}

# Frequent English words that are not also French words.  "a", "on", "as",
# "but", "or", "son", "car", "me", "do", "go", "are", "off", "second",
# "sort", "people", "variant", "classifier"... are French too and left out.
ENGLISH_WORDS = frozenset("""
the and with of to is was were be been being which who whom whose what
when where why how this that these those from by at into onto upon about
after before between because used use using person something someone
somebody thing things it its they them their there he him his she her we
our you your my shall will would should could can cannot not no yes have
has had does did done also only other such some any each every all very
much many more most than then out up down over under just like make made
get got going goes come came take took give gave one two three first kind
way well good bad small old new see say said word words surname measure
abbr sb sth
""".split())

# Established names that contain English words and stay as they are.
ESTABLISHED_NAMES = ("New York", "New Jersey", "New Delhi", "New Hampshire", "New Mexico",
                     "New Orleans")

SURNAME_SENSE_RE = re.compile(r"\b[A-Z]\w* \(nom de famille\)")

# The label set (docs/dictionary.md).  A label stands in parentheses at the
# end of a sense.  Any other final parenthesis is a precision ("(des
# troupes)"), except the retired spellings below.
LABELS = frozenset("""
chengyu|proverbe|familier|populaire|argot|vulgaire|injurieux|péjoratif|affectueux|ironique|
figuré|littéraire|soutenu|formule de politesse|formule d'humilité|formule épistolaire|
honorifique|vieilli|Antiquité|Chine impériale|dialectal|cantonais|Taïwan|Hong Kong|
emprunt|abrégé|onomatopée|interjection|nom de famille|prénom|
informatique|internet|mathématiques|physique|chimie|biologie|botanique|zoologie|médecine|
médecine chinoise|pharmacie|anatomie|géologie|géographie|astronomie|électricité|
mécanique|architecture|agriculture|économie|finance|commerce|droit|politique|militaire|
histoire|religion|bouddhisme|taoïsme|confucianisme|christianisme|islam|philosophie|
linguistique|grammaire|phonétique|musique|théâtre|opéra chinois|cinéma|peinture|
calligraphie|littérature|sport|football|arts martiaux|échecs|jeu de go|cuisine|
marque|entreprise|ethnie
""".replace("\n", "").split("|"))

# Kinds of place for the place labels: "(pays)", "(province)", "(fleuve)",
# or a kind and where it is: "(ville du Hubei)", "(district de Pékin)".
PLACE_KINDS = frozenset("""
pays|État|province|région autonome|municipalité|région administrative spéciale|région|
continent|océan|mer|fleuve|rivière|lac|montagne|montagnes|massif|île|îles|archipel|
péninsule|désert|plateau|plaine|bassin|détroit|golfe|baie|cap|col|canal|cascade|gorges|
ville|capitale|ancienne capitale|district|arrondissement|quartier|préfecture|
préfecture autonome|comté|
bourg|village|site|site historique|temple|palais|parc|place|rue|porte|monument|
université|gare|port|barrage|grotte|ancien État|ancien royaume|ancienne province|
ancien nom
""".replace("\n", "").split("|"))

# A place label is a kind alone, or a kind and where it is, introduced by
# one of these words: "(ville du Hubei)", "(fleuve d'Asie)", "(île en mer
# de Chine)", "(rivière entre la Chine et la Russie)".
PLACE_WHERE_RE = re.compile(r"^ (?:(?:de la|du|des|de|en|au|aux|à|entre) (?=\S)|de l'(?=\S)|d'(?=\S))")
PLACE_KIND_RE = re.compile(r"^(" + "|".join(sorted(map(re.escape, PLACE_KINDS), key=len, reverse=True))
                           + r")(?![\w'-])")
# First words of a parenthesis that name a place without a documented kind.
UNDOCUMENTED_PLACE_RE = re.compile(r"^(lieu|lieux|localité|endroit|chef-lieu|cité|"
                                   r"ancien(?:ne)? (?:" + "|".join(sorted(
                                       map(re.escape, PLACE_KINDS), key=len, reverse=True)) + r"))(?![\w'-])")
# Provinces, regions and municipalities as a place label names them after
# "de": the article each takes (docs/dictionary.md, "Places").
PROVINCE_NAMES = {
    "du": "Hubei Hunan Henan Hebei Shandong Shanxi Shaanxi Guangdong Guangxi Fujian Zhejiang "
          "Jiangsu Jiangxi Sichuan Yunnan Guizhou Gansu Qinghai Ningxia Xinjiang Tibet Liaoning "
          "Jilin Heilongjiang".split(),
    "de l'": ["Anhui"],
    "de la": ["Mongolie-Intérieure"],
    "de": "Hainan Taïwan Pékin Shanghai Tianjin Chongqing".split() + ["Hong Kong", "Macao"],
}
PROVINCE_FORM = {name: ("de l'" if art == "de l'" else art + " ") + name
                 for art, names in PROVINCE_NAMES.items() for name in names}
PROVINCE_AFTER_DE_RE = re.compile(r"\b(?:de la |de l'|du |des |de |d')(" + "|".join(
    sorted(map(re.escape, PROVINCE_FORM), key=len, reverse=True)) + r"|Taiwan)\b")

# Retired spellings a script can mend: label -> the label to write.
RENAMED_LABELS = {
    "abréviation": "abrégé", "mathématique": "mathématiques", "injure": "injurieux",
    "dans l'Antiquité": "Antiquité", "antiquité": "Antiquité", "Taiwan": "Taïwan",
}
# Retired labels a writer must replace (docs/dictionary.md says with what).
RETIRED_LABELS = frozenset(["lieu-dit", "ancien", "ancienne", "ancienne Chine", "nom propre",
                            "Chine ancienne"])
# Headwords that name an administrative place by their last character.
ADMIN_SUFFIXES = "省市县区州国"
FINAL_PAREN_RE = re.compile(r"\(([^()]*)\)\s*$")
GROUP_RE = re.compile(r"\([^()]*\)|\[[^\[\]]*\]")


CONTROL_RE = re.compile(r"[\x00-\x1f\x7f-\x9f]")
# Whole words, accented letters included: "allé" must not yield "all".
WORD_RE = re.compile(r"[^\W\d_]+")
TONE_MARKS = "".join(common.TONE_MARKS)

strip_tones = common.strip_tones
is_chinese = common.is_chinese


def tone_mark_count(syl):
    return sum(1 for c in unicodedata.normalize("NFD", syl) if c in TONE_MARKS)


def is_latin_letter(ch):
    return ch.isalpha() and "LATIN" in unicodedata.name(ch, "")


def load_unihan_readings():
    """char -> set of toneless readings from Unihan's Mandarin fields."""
    return common.toneless_readings()


def check_pinyin(head, pinyin, readings):
    """Return the list of problems of a pinyin field."""
    errs = []
    if unicodedata.normalize("NFC", pinyin) != pinyin:
        errs.append("pinyin not in NFC (tone marks must be precomposed)")
    syls = pinyin.split(" ")
    if any(s == "" for s in syls):
        errs.append("pinyin syllables must be separated by exactly one blank")
        syls = [s for s in syls if s]
    expected = SYLLABLE_COUNT_EXCEPTIONS.get(head, len(head))
    if len(syls) != expected:
        errs.append(f"{len(syls)} syllables for {len(head)} characters")
    for i, syl in enumerate(syls):
        base = strip_tones(syl)
        if tone_mark_count(syl) > 1:
            errs.append(f"several tone marks in '{syl}'")
        if syl[1:] != syl[1:].lower():
            errs.append(f"capital inside syllable '{syl}'")
        ch = head[i] if len(syls) == len(head) else None
        if base == "r":
            if ch is not None and ch != "儿":
                errs.append(f"erhua syllable 'r' for {ch}, not 儿")
            elif tone_mark_count(syl):
                errs.append("erhua syllable 'r' takes no tone")
            continue
        if base not in SYLLABLES:
            errs.append(f"'{syl}' is not a Mandarin syllable")
            continue
        if ch is not None and readings is not None and base not in readings.get(ch, ()):
            known = ", ".join(sorted(readings.get(ch, ()))) or "none"
            errs.append(f"'{syl}' is not a reading of {ch} (Unihan: {known})")
    return errs


def french_senses(gloss):
    """Senses of a gloss that can serve as French lookup keys."""
    return [s.strip() for s in gloss.split(" / ") if s.strip() and is_latin_letter(s.strip()[0])]


def check_gloss(gloss):
    errs = []
    if gloss != gloss.strip():
        errs.append("gloss has leading or trailing blanks")
    if "  " in gloss:
        errs.append("gloss has double blanks")
    if re.search(r"(?<! )/|/(?! )", gloss):
        errs.append("'/' must be written ' / '")
    if any(not s.strip() for s in gloss.split(" / ")):
        errs.append("empty sense")
    for o, c in ("()", "[]"):
        depth = 0
        for ch in gloss:
            depth += (ch == o) - (ch == c)
            if depth < 0:
                break
        if depth != 0:
            errs.append(f"unbalanced '{o}{c}'")
    if not french_senses(gloss):
        errs.append("no sense begins with a letter (no French key)")
    plain = gloss
    for name in ESTABLISHED_NAMES:
        plain = plain.replace(name, "")
    # A surname is a name, whatever English word it spells ("He").
    plain = SURNAME_SENSE_RE.sub("", plain)
    english = sorted({w.lower() for w in WORD_RE.findall(plain) if w.lower() in ENGLISH_WORDS})
    if english:
        errs.append("English word(s) in gloss: " + ", ".join(english))
    return errs


LABELS_BY_CASE = {label.casefold(): label for label in LABELS}


def label_part_problem(part):
    """The problem of one label of a final parenthesis, or None."""
    if part in LABELS:
        return None
    if part in RENAMED_LABELS:
        return f"label '({part})': write '({RENAMED_LABELS[part]})'"
    if part in RETIRED_LABELS:
        return f"label '({part})' is retired: see the label set"
    if part.casefold() in LABELS_BY_CASE:
        return f"label '({part})': write '({LABELS_BY_CASE[part.casefold()]})'"
    return None


def place_label_problem(label):
    """The problem of a final parenthesis that names a place, or None.

    A place label is a documented kind, alone or followed by where the
    place is: "(pays)", "(ville du Hubei)", "(district de Kaohsiung,
    Taïwan)"; a province is named as in PROVINCE_NAMES ("du Hubei",
    "de Hainan")."""
    m = PLACE_KIND_RE.match(label)
    if not m:
        if UNDOCUMENTED_PLACE_RE.match(label):
            return (f"place label '({label})': not a documented kind of place "
                    "(docs/dictionary.md, 'Places')")
        return None
    rest = label[m.end():]
    if rest and not PLACE_WHERE_RE.match(rest):
        return (f"place label '({label})': write the kind alone or followed by where it is "
                "('(ville du Hubei)', '(fleuve d'Asie)')")
    for found in PROVINCE_AFTER_DE_RE.finditer(label):
        name = "Taïwan" if found.group(1) == "Taiwan" else found.group(1)
        if found.group(0) != PROVINCE_FORM[name]:
            return f"place label '({label})': write '{PROVINCE_FORM[name]}'"
    return None


def label_problems(head, gloss):
    """Problems of the labels of a gloss: retired or misspelt labels (alone or
    in a list "(familier, dialectal)"), "(lieu-dit)" in any form, a label
    opening a sense, place labels of an undocumented form, onomatopoeia in
    brackets."""
    errs = []
    for sense in gloss.split(" / "):
        m = FINAL_PAREN_RE.search(sense)
        label = m.group(1) if m else None
        groups = [g[1:-1] for g in re.findall(r"\([^()]*\)", sense)]
        if any(re.match(r"lieu-dit\b", g, re.I) for g in groups):
            if label is not None and label.startswith("lieu-dit") and (
                    head[-1] in ADMIN_SUFFIXES or re.search(
                        r"\b(pays|province|ville|capitale|district|fleuve|rivière)\b", sense)):
                errs.append("'(lieu-dit)' for an administrative place or a river: use a place label")
            else:
                errs.append("'(lieu-dit)' is retired: describe the place with a place label")
        elif label is not None:
            parts = [p.strip() for p in label.split(",")]
            problems = [label_part_problem(p) for p in ([label] if label in LABELS else parts)]
            problems = [p for p in problems if p]
            if problems:
                errs.extend(problems)
            else:
                place = place_label_problem(label)
                if place:
                    errs.append(place)
        for g in groups if m is None else groups[:-1]:
            if g in RETIRED_LABELS:
                errs.append(f"label '({g})' is retired: see the label set")
        opening = re.match(r"\(([^()]*)\)", sense.strip())
        if opening and opening.group(1) in LABELS:
            errs.append(f"label '({opening.group(1)})' opens a sense: a label ends the sense it qualifies")
        if re.search(r"\[onomatopée\]", sense):
            errs.append("write '(onomatopée)', not '[onomatopée]'")
        if re.search(r"\((?:[^()]*, )?dans [^()]*[\u4e00-\u9fff]", sense):
            errs.append("a word the sense is found in is a grammar note: write '[dans 伶俐]'")
    return errs


# Style rules of the third edition, checked so that new rows keep them.
# Titles and examinations of imperial China, labelled "(Chine impériale)".
IMPERIAL_HEADWORDS = frozenset("状元 榜眼 探花 殿试 会试 乡试 举人 进士".split())
# One rendering of 殿试 and the titles derived from it.
PALACE_EXAM_RE = re.compile(r"\b(?:examen|concours) (?:impérial )?(?:au|du) palais\b|\bconcours impérial du palais\b")
MID_AUTUMN_RE = re.compile(r"\bmi[- ]?automne\b", re.I)
CHENGYU = "chengyu"
SURNAME = "(nom de famille)"


def label_parts(sense):
    """The labels of a sense's final parenthesis when all its parts are labels, else []."""
    m = FINAL_PAREN_RE.search(sense)
    if not m:
        return []
    parts = [p.strip() for p in m.group(1).split(",")]
    return parts if all(p in LABELS for p in parts) else []


def style_problems(head, pinyin, gloss):
    """Departures from the spellings the dictionary settled on: "(chengyu)"
    on four-character headwords only; "(Chine impériale)" on the imperial
    examinations and titles, and "examen du palais" for 殿试; "mi-automne";
    "Internet" in the text ("(internet)" is the label); "…" for an
    ellipsis; a character that is only a surname read with a capital."""
    errs = []
    senses = gloss.split(" / ")
    if any(CHENGYU in label_parts(s) for s in senses) and len(head) != 4:
        errs.append("'(chengyu)' labels a four-character idiom only")
    if head in IMPERIAL_HEADWORDS and "(Chine impériale)" not in gloss:
        errs.append("an institution or title of imperial China: label it '(Chine impériale)'")
    for m in PALACE_EXAM_RE.finditer(gloss):
        if m.group(0) != "examen du palais":
            errs.append(f"'{m.group(0)}': write 'examen du palais' (殿试)")
    for m in MID_AUTUMN_RE.finditer(gloss):
        if m.group(0) != "mi-automne":
            errs.append(f"'{m.group(0)}': write 'mi-automne'")
    for sense in senses:
        text = FINAL_PAREN_RE.sub("", sense) if label_parts(sense) else sense
        if re.search(r"\binternet\b", text):
            errs.append("write 'Internet' in the text: '(internet)' is the label only")
            break
    if "..." in gloss:
        errs.append("write the ellipsis '…', not '...'")
    if len(head) == 1 and pinyin[:1].islower() and all(s.endswith(SURNAME) for s in senses):
        errs.append("a character that is only a surname is read with a capital (刘 Liú)")
    return errs


def bare_pinyin(pinyin):
    """'Dōng shān' -> 'dongshan': the pinyin as a word, tones and blanks removed."""
    return re.sub(r"[\s'’-]", "", unicodedata.normalize("NFD", strip_tones(pinyin)).replace("\u0308", ""))


# Final parentheses that say nothing of what a proper noun names.
EMPTY_LABELS = frozenset(["lieu-dit", "nom propre"])


def without_label(sense):
    """A sense without its final parenthesis: "Dongshan (lieu-dit)" -> "Dongshan"."""
    return FINAL_PAREN_RE.sub("", sense).strip()


def repeats_pinyin(pinyin, gloss):
    """True for a proper noun whose senses say no more than the pinyin: every sense, without a
    final "(lieu-dit)" or "(nom propre)", is a list of items each spelling
    the pinyin ("Dongshan (lieu-dit)", "Huxi, Huxi").  "Sanya (ville du
    Hainan)" says what Sanya is."""
    if not pinyin[:1].isupper():
        return False  # a common noun may be spelt like its pinyin: "lama"
    target = bare_pinyin(pinyin)
    for sense in gloss.split(" / "):
        m = FINAL_PAREN_RE.search(sense)
        text = without_label(sense) if m and m.group(1) in EMPTY_LABELS else sense.strip()
        items = [i.strip() for i in text.split(",") if i.strip()]
        if not items:
            continue
        if not all(bare_pinyin(unicodedata.normalize("NFD", i)) == target for i in items):
            return False
    return True


def repeated_senses(gloss):
    seen = set()
    out = []
    for sense in gloss.split(" / "):
        key = sense.strip().casefold()
        if key in seen:
            out.append(sense.strip())
        seen.add(key)
    return out


def check_lines(lines, readings, strict=True):
    """Check an iterable of lines; return (stats dict, [(line_no, reason)])."""
    violations = []
    warnings = []
    glosses_of = {}
    seen = {}
    heads = collections.Counter()
    by_len = collections.Counter()
    n_entries = n_keys = n_nokey = 0
    for no, raw in enumerate(lines, 1):
        line = raw.rstrip("\n")
        if line.endswith("\r"):
            violations.append((no, "carriage return"))
            line = line[:-1]
        fields = line.split("\t")
        if len(fields) not in (3, 4):
            violations.append((no, f"{len(fields)} fields instead of 3 (or 4, the traditional form)"))
            continue
        n_entries += 1
        head, pinyin, gloss = fields[:3]
        errs = []
        if len(fields) == 4 and fields[3]:
            trad = fields[3]
            if trad == head:
                errs.append("traditional form equal to the headword: leave the 4th field empty")
            elif len(trad) != len(head) or not all(is_chinese(c) for c in trad):
                errs.append("traditional form: as many Chinese characters as the headword")
        if not head or not pinyin or not gloss:
            errs.append("empty field")
        if CONTROL_RE.search(line.replace("\t", "")):
            errs.append("control character")
        if any(ord(c) > 0xFFFF for c in line):
            errs.append("character outside the BMP")
        if len(head) > 7:
            errs.append(f"headword of {len(head)} characters (max 7)")
        if head and not all(is_chinese(c) for c in head):
            errs.append("headword has non-Chinese characters")
        if head and pinyin:
            errs.extend(check_pinyin(head, pinyin, readings))
        if gloss:
            errs.extend(check_gloss(gloss))
            rev = label_problems(head, gloss)
            rev += [f"sense repeated: '{r}'" for r in repeated_senses(gloss)]
            rev += style_problems(head, pinyin, gloss)
            if pinyin and repeats_pinyin(pinyin, gloss):
                rev.append("gloss only repeats the pinyin: say what it is")
            senses = {without_label(x).casefold() for x in gloss.split(" / ")}
            for other, other_gloss in glosses_of.get(head, {}).items():
                others = {without_label(x).casefold() for x in other_gloss.split(" / ")}
                if other != pinyin and (senses <= others or others <= senses):
                    rev.append(f"same senses as the reading '{other}': each reading has its own")
                    break
            glosses_of.setdefault(head, {})[pinyin] = gloss
            if strict:
                errs.extend(rev)
            else:
                warnings.extend((no, w) for w in rev)
        key = (head, pinyin)
        if key in seen:
            errs.append(f"duplicate of line {seen[key]}")
        else:
            seen[key] = no
        keys = len(french_senses(gloss))
        n_keys += keys
        n_nokey += keys == 0
        heads[head] += 1
        by_len[len(head)] += 1
        violations.extend((no, e) for e in errs)
    stats = {
        "entries": n_entries,
        "distinct headwords": len(heads),
        "single characters": by_len.get(1, 0),
        "words by length": dict(sorted((k, v) for k, v in by_len.items() if k > 1)),
        "homograph groups": sum(1 for v in heads.values() if v > 1),
        "French keys": n_keys,
        "entries without French key": n_nokey,
    }
    if not strict:
        stats["revision warnings"] = warnings
    return stats, violations


def main(argv):
    strict = STRICT
    args = [a for a in argv[1:] if a not in ("--strict", "--lenient")]
    if "--strict" in argv:
        strict = True
    elif "--lenient" in argv:
        strict = False
    if len(args) != 1:
        print(__doc__.strip().split("\n")[2], file=sys.stderr)
        return 2
    argv = [argv[0]] + args
    if not os.path.exists(UNIHAN_READINGS):
        print(f"skipped: {UNIHAN_READINGS} not found (apt-get install unicode-data)", file=sys.stderr)
        return EXIT_SKIP
    readings = load_unihan_readings()
    with open(argv[1], encoding="utf-8", newline="") as f:
        try:
            lines = f.read().split("\n")
        except UnicodeDecodeError as e:
            print(f"{argv[1]}: not UTF-8: {e}")
            return 1
    if lines and lines[-1] == "":
        lines.pop()
    stats, violations = check_lines(lines, readings, strict)
    warnings = stats.pop("revision warnings", [])
    for k, v in stats.items():
        if isinstance(v, dict):
            v = ", ".join(f"{n} chars: {c}" for n, c in v.items())
        print(f"{k}: {v}")
    print(f"violations: {len(violations)}")
    for no, reason in violations:
        print(f"line {no}: {reason}")
    if warnings:
        print(f"revision warnings (errors with --strict): {len(warnings)}")
        for no, reason in warnings:
            print(f"warning: line {no}: {reason}")
    return 1 if violations else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
